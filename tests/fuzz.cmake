# Fuzzing of the readers: libFuzzer binaries in a clang build, seed-corpus replays in every build.
#   CC=clang CXX=clang++ cmake -S . -B build-fuzz -DMORAVEL_FUZZ=ON
#   cmake --build build-fuzz --target fuzz_tga
#   build-fuzz/tests/fuzz/fuzz_tga -max_total_time=600 new-inputs/ tests/fuzz/corpus/fuzz_tga
# tests/fuzz/CMakeLists.txt says how to add a target.
option(MORAVEL_FUZZ "Build the libFuzzer targets (needs clang)" OFF)
if(MORAVEL_FUZZ AND NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "MORAVEL_FUZZ needs clang: configure a separate build with CC=clang CXX=clang++")
endif()
add_subdirectory(fuzz)
