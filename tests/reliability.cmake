# Reliability: the extractor under faults, the production against damaged data, and the display
# mode restored under a real X server however the run ends.
add_executable(extractor_faults_test extractor_faults_test.cpp)
target_include_directories(extractor_faults_test PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(extractor_faults_test PRIVATE moravel_vfs GTest::gtest_main)
target_compile_definitions(extractor_faults_test PRIVATE VFS_TOOL="$<TARGET_FILE:vfs_extractor>")
add_dependencies(extractor_faults_test vfs_extractor)
gtest_discover_tests(extractor_faults_test DISCOVERY_TIMEOUT 60 PROPERTIES LABELS unit TIMEOUT 300)

# Every data file damaged five ways, each case a headless run of the production (label baddata).
add_test(NAME bad_data_matrix
         COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/bad_data_matrix.sh $<TARGET_FILE:moravel-capture> ${CMAKE_BINARY_DIR}/dist
                 ${CMAKE_BINARY_DIR}/bad-data-matrix.md)
set_tests_properties(bad_data_matrix PROPERTIES LABELS baddata TIMEOUT 1500 RUN_SERIAL TRUE
                     ENVIRONMENT "EGL_PLATFORM=surfaceless")

# Xorg with the dummy driver, which can really switch modes; skipped where Xorg cannot be started.
add_test(NAME display_restore
         COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/e2e/display_restore.sh ${CMAKE_BINARY_DIR}/dist $<TARGET_FILE:close_window>)
set_tests_properties(display_restore PROPERTIES LABELS "e2e;display" TIMEOUT 400 RUN_SERIAL TRUE SKIP_RETURN_CODE 77)

# Resident memory after start-up against the end of a whole run (skipped in a sanitized build).
add_test(NAME memory_growth
         COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/memory_growth.sh $<TARGET_FILE:moravel-capture> ${CMAKE_BINARY_DIR}/dist)
set_tests_properties(memory_growth PROPERTIES LABELS memory TIMEOUT 600 RUN_SERIAL TRUE SKIP_RETURN_CODE 77
                     ENVIRONMENT "EGL_PLATFORM=surfaceless")
