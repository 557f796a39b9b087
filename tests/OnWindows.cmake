# On Windows: the win32 stand-in's behaviour tests, held against the system
# itself (run under Wine by scripts/windows.sh). GoogleTest comes from
# Debian's sources, built with the same toolchain.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
add_executable(tests_win32 win32/WindowTest.cpp win32/KernelMessageTest.cpp interop/BstrTest.cpp interop/GuidTest.cpp
  interop/ObjectModelTest.cpp support/TestSupport.cpp support/FreshRegistry.cpp
  win32/RegistryTest.cpp win32/GdiTest.cpp
  win32/ComIdentifierTest.cpp)
target_link_libraries(tests_win32 PRIVATE gtest_main interop win32)
