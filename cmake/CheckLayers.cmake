# The product's folders form layers: a folder may include its own headers,
# those of the layers below it, the host stand-ins and the standard library,
# never a folder beside or above it. Checked when the build is configured,
# so that a change which breaks the order fails before anything compiles.
set(TVX_LAYERS "interop" "core" "menus toolbars windows toolsapi" "services" "loader")

function(tvx_check_layers)
  set(below "")
  set(problems "")
  foreach(layer IN LISTS TVX_LAYERS)
    string(REPLACE " " ";" folders "${layer}")
    foreach(folder IN LISTS folders)
      file(GLOB files CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${folder}/*.h ${PROJECT_SOURCE_DIR}/${folder}/*.cpp)
      foreach(file IN LISTS files)
        file(STRINGS ${file} includes REGEX "^#include \"[^/\"]+/")
        foreach(line IN LISTS includes)
          string(REGEX REPLACE "^#include \"([^/\"]+)/.*" "\\1" target "${line}")
          if(target STREQUAL folder OR target STREQUAL "host" OR target IN_LIST below)
            continue()
          endif()
          file(RELATIVE_PATH relative ${PROJECT_SOURCE_DIR} ${file})
          string(APPEND problems "\n  ${relative}: ${line}")
        endforeach()
      endforeach()
    endforeach()
    list(APPEND below ${folders})
  endforeach()
  if(problems)
    message(FATAL_ERROR "A product folder includes a folder beside or above its layer "
                        "(interop -> core -> menus, toolbars, windows, toolsapi -> services -> loader):${problems}")
  endif()
endfunction()
