# Cross-compiling for Windows with mingw-w64, the part both toolchain files share. They set
# CMAKE_SYSTEM_PROCESSOR and MORAVEL_MINGW_TRIPLET, then include this: the posix thread model, so
# std::thread works, and every library linked in statically.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${MORAVEL_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MORAVEL_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${MORAVEL_MINGW_TRIPLET}-windres)
set(CMAKE_ASM_NASM_COMPILER nasm)

# Libraries and headers come from the cross tools and from the folder the dependencies were
# built into (given as CMAKE_PREFIX_PATH); programs from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${MORAVEL_MINGW_TRIPLET} ${CMAKE_PREFIX_PATH})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
