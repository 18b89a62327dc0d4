# moravel-capture from the outside, and the reviewed reference frames of the whole production.
add_executable(capture_test capture_test.cpp capture_run.cpp ${CMAKE_SOURCE_DIR}/tools/capture/capture_options.cpp)
target_link_libraries(capture_test PRIVATE GTest::gtest_main)
target_include_directories(capture_test PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_definitions(capture_test PRIVATE
  MORAVEL_CAPTURE="$<TARGET_FILE:moravel-capture>" MORAVEL_DIST="${CMAKE_BINARY_DIR}/dist"
  MORAVEL_VERSION="${PROJECT_VERSION}")
gtest_discover_tests(capture_test DISCOVERY_TIMEOUT 60 PROPERTIES LABELS capture RUN_SERIAL TRUE TIMEOUT 600)

add_executable(reference_frames_test reference_frames_test.cpp capture_run.cpp ${CMAKE_SOURCE_DIR}/tools/capture/png_file.cpp)
target_link_libraries(reference_frames_test PRIVATE GTest::gtest_main PNG::PNG)
target_include_directories(reference_frames_test PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_definitions(reference_frames_test PRIVATE
  MORAVEL_CAPTURE="$<TARGET_FILE:moravel-capture>" MORAVEL_DIST="${CMAKE_BINARY_DIR}/dist"
  MORAVEL_REFERENCES="${CMAKE_CURRENT_SOURCE_DIR}/reference" MORAVEL_DIFFS="${CMAKE_BINARY_DIR}/reference-diffs")
gtest_discover_tests(reference_frames_test DISCOVERY_TIMEOUT 60 PROPERTIES LABELS "capture;gl" RUN_SERIAL TRUE TIMEOUT 900)
