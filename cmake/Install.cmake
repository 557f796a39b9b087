# `cmake --install` lays out a self-contained SDK under the prefix:
#   include/talvix/  the package SDK (interop/, with TalvixBds.idl), the Win32 subset's headers
#                    (host/win32/c for packages in C) and, when widl built it, idl/TalvixBds.h
#   share/talvix/    the example package list and, when widl built it, TalvixBds.tlb
#   lib/             the win32 stand-in and the IDE stand-in
#   bin/             talvix-sim and the wizard library it loads from beside it
#   lib/cmake/TalvixSDK/, lib/pkgconfig/talvix-sdk.pc  for package builds
# and, for a package's tests that run the simulated IDE in their own
# process, the simulator's library (Talvix::Simulator) with its headers.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

install(DIRECTORY interop/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/talvix/interop FILES_MATCHING PATTERN "*.h")
install(DIRECTORY host/win32/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/talvix/host/win32 FILES_MATCHING PATTERN "*.h"
        PATTERN src EXCLUDE PATTERN windows EXCLUDE)
install(FILES examples/packages.reg DESTINATION ${CMAKE_INSTALL_DATADIR}/talvix)
install(FILES interop/TalvixBds.idl DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/talvix/interop)
if(TARGET talvix_idl)
  install(FILES ${CMAKE_BINARY_DIR}/idl/TalvixBds.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/talvix/idl)
  install(FILES ${CMAKE_BINARY_DIR}/idl/TalvixBds.tlb DESTINATION ${CMAKE_INSTALL_DATADIR}/talvix)
endif()
foreach(folder sim host/ide host/vcl)
  install(DIRECTORY ${folder}/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/talvix/${folder} FILES_MATCHING PATTERN "*.h")
endforeach()
set_target_properties(simulator PROPERTIES OUTPUT_NAME talvix-simulator)
install(TARGETS simulator ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})

# Installed programs find the libraries beside them or in ../lib.
set_target_properties(win32 ide talvix-sim wizard PROPERTIES INSTALL_RPATH "$ORIGIN:$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")
install(TARGETS win32 ide LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(TARGETS talvix-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS wizard LIBRARY DESTINATION ${CMAKE_INSTALL_BINDIR})

set(TVX_SDK_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/TalvixSDK)
configure_package_config_file(cmake/TalvixSDKConfig.cmake.in ${CMAKE_BINARY_DIR}/sdk/TalvixSDKConfig.cmake
                              INSTALL_DESTINATION ${TVX_SDK_CMAKE_DIR}
                              PATH_VARS CMAKE_INSTALL_INCLUDEDIR CMAKE_INSTALL_LIBDIR CMAKE_INSTALL_BINDIR)
write_basic_package_version_file(${CMAKE_BINARY_DIR}/sdk/TalvixSDKConfigVersion.cmake
                                 COMPATIBILITY SameMinorVersion)
install(FILES ${CMAKE_BINARY_DIR}/sdk/TalvixSDKConfig.cmake ${CMAKE_BINARY_DIR}/sdk/TalvixSDKConfigVersion.cmake
        DESTINATION ${TVX_SDK_CMAKE_DIR})
configure_file(cmake/talvix-sdk.pc.in ${CMAKE_BINARY_DIR}/sdk/talvix-sdk.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/sdk/talvix-sdk.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
