# The platform layer's own calls: what the Linux backends share, and the SDL backend's sync trace
# under Xvfb.
moravel_unit_test(platform_calls_test ${CMAKE_CURRENT_LIST_DIR}/platform_calls_test.cpp)

add_executable(sync_trace_probe ${CMAKE_CURRENT_LIST_DIR}/sync_trace_probe.cpp)
target_link_libraries(sync_trace_probe PRIVATE moravel_platform_sdl)
add_test(NAME sdl_sync_trace COMMAND ${CMAKE_CURRENT_LIST_DIR}/e2e/sync_trace.sh $<TARGET_FILE:sync_trace_probe>)
set_tests_properties(sdl_sync_trace PROPERTIES LABELS e2e TIMEOUT 60)
