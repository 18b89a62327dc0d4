# Sound: the three backends of the sound library and the shell's sound set-up.

# Test music made with libvorbisenc, decoded with libvorbisfile.
add_library(moravel_vorbis_fixture STATIC ${CMAKE_CURRENT_LIST_DIR}/vorbis_fixture.cpp)
target_include_directories(moravel_vorbis_fixture PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(moravel_vorbis_fixture PUBLIC PkgConfig::VORBIS)

add_executable(sound_silent_test ${CMAKE_CURRENT_LIST_DIR}/sound_silent_test.cpp)
target_link_libraries(sound_silent_test PRIVATE moravel_sound_silent moravel_vorbis_fixture GTest::gtest_main)
gtest_discover_tests(sound_silent_test DISCOVERY_TIMEOUT 60 PROPERTIES LABELS unit)

# The real backend on SDL's disk driver (the test sets SDL_AUDIODRIVER itself); label "sound".
add_executable(sound_sdl_test ${CMAKE_CURRENT_LIST_DIR}/sound_sdl_test.cpp)
target_link_libraries(sound_sdl_test PRIVATE moravel_sound_sdl moravel_vorbis_fixture GTest::gtest_main)
gtest_discover_tests(sound_sdl_test DISCOVERY_TIMEOUT 60 PROPERTIES LABELS sound)

# The shell's sound set-up and the music over a whole run, on the fake platform.
moravel_unit_test(sound_setup_test sound_setup_test.cpp shell_fixture.cpp)

# For the end-to-end run: where the sound in a disk-driver file starts, and whether it is the music.
add_executable(audio_probe ${CMAKE_CURRENT_LIST_DIR}/audio_probe.cpp)
target_link_libraries(audio_probe PRIVATE moravel_vorbis_fixture)
