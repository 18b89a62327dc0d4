# The generated music track: its shape in time, its level and a decodable, repeatable file.
file(GLOB music_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/assetgen/music*.cpp)
add_executable(music_test ${CMAKE_CURRENT_SOURCE_DIR}/music_test.cpp ${music_sources})
target_include_directories(music_test PRIVATE ${CMAKE_SOURCE_DIR}/tools/assetgen)
target_link_libraries(music_test PRIVATE PkgConfig::VORBIS GTest::gtest_main)
gtest_discover_tests(music_test DISCOVERY_TIMEOUT 60 PROPERTIES LABELS unit)
