# The timeline: the schedule table (unit) and the timeline's own scenes on real Mesa (gl).
moravel_unit_test(schedule_table_test ${CMAKE_CURRENT_LIST_DIR}/schedule_table_test.cpp)
moravel_gl_test(timeline_scenes_test ${CMAKE_CURRENT_LIST_DIR}/timeline_scenes_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/effects_gl_support.cpp)
