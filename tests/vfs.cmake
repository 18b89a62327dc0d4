# The archive reader and the real vfs.dll, run as the production runs it.
add_executable(vfs_test vfs_test.cpp)
target_include_directories(vfs_test PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(vfs_test PRIVATE moravel_vfs GTest::gtest_main)
target_compile_definitions(vfs_test PRIVATE VFS_TOOL="$<TARGET_FILE:vfs_extractor>" MORAVEL_VERSION="${PROJECT_VERSION}")
add_dependencies(vfs_test vfs_extractor)
gtest_discover_tests(vfs_test DISCOVERY_TIMEOUT 60 PROPERTIES LABELS unit)
