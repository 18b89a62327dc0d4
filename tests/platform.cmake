# The platform layer's own calls: what the Linux backends share.
moravel_unit_test(platform_calls_test ${CMAKE_CURRENT_LIST_DIR}/platform_calls_test.cpp)
