# Cross-compiling for Windows with mingw-w64: the 32-bit release.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(MORAVEL_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw_toolchain.cmake)
