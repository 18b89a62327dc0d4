# Cross-compiling for Windows with mingw-w64: the 64-bit build the Wine tests run.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(MORAVEL_MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw_toolchain.cmake)
