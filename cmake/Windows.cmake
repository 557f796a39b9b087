# What a Windows build (mingw-w64) needs beyond the sources: the build tools
# compiled for the build machine, the header-only libraries from the build
# machine's include folder, the compiler's runtime DLLs beside the programs,
# and GoogleTest built from Debian's sources with the same toolchain.

# tvx-form-resources runs during the build, so it is built for the build
# machine, with its compiler, as a project of its own.
include(ExternalProject)
set(TVX_HOST_TOOLS_DIR ${CMAKE_BINARY_DIR}/host-tools)
ExternalProject_Add(host_tools
  SOURCE_DIR ${PROJECT_SOURCE_DIR}/tools
  BINARY_DIR ${TVX_HOST_TOOLS_DIR}
  CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=g++
  BUILD_ALWAYS ON
  INSTALL_COMMAND ""
  BUILD_BYPRODUCTS ${TVX_HOST_TOOLS_DIR}/tvx-form-resources)
set(TVX_FORM_RESOURCE_TOOL ${TVX_HOST_TOOLS_DIR}/tvx-form-resources)
set(TVX_FORM_RESOURCE_TOOL_TARGET host_tools)

# nlohmann/json and CLI11 are headers only; the build machine's copies serve,
# seen through a folder that holds nothing else of /usr/include.
set(tvx_headers ${CMAKE_BINARY_DIR}/host-headers)
file(MAKE_DIRECTORY ${tvx_headers})
foreach(dir nlohmann CLI)
  if(NOT EXISTS ${tvx_headers}/${dir})
    file(CREATE_LINK /usr/include/${dir} ${tvx_headers}/${dir} SYMBOLIC)
  endif()
endforeach()
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED GLOBAL)
set_target_properties(nlohmann_json::nlohmann_json PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${tvx_headers})
add_library(CLI11::CLI11 INTERFACE IMPORTED GLOBAL)
set_target_properties(CLI11::CLI11 PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${tvx_headers})

# The programs and the IDE stand-in share one C++ runtime, as the modules of
# one process should; it goes beside them. Packages link it in (tvx_package).
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libgcc_s_dw2-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll} OUTPUT_VARIABLE path
                  OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT EXISTS ${path})
    set(path ${CMAKE_FIND_ROOT_PATH}/lib/${dll})
  endif()
  if(EXISTS ${path})
    file(COPY ${path} DESTINATION ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
  endif()
endforeach()

# 32-bit stdcall exports keep their plain names (DllGetClassObject, not
# _DllGetClassObject@12), as the IDE and COM look them up.
function(tvx_plain_exports target)
  target_link_options(${target} PRIVATE -Wl,--kill-at)
endfunction()

# A package is one DLL that brings its C++ runtime along: regsvr32 and COM
# load it from wherever it lies, not from the simulator's folder.
function(tvx_windows_package target)
  tvx_plain_exports(${target})
  target_link_options(${target} PRIVATE -static)
endfunction()
