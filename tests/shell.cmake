# The shell: frame loop, window procedure, window creation and teardown (fake platform),
# ResizeScene on real Mesa, and the real demo under Xvfb.
moravel_unit_test(frame_loop_test frame_loop_test.cpp shell_fixture.cpp)
moravel_unit_test(main_window_test main_window_test.cpp shell_fixture.cpp)
moravel_unit_test(entry_test entry_test.cpp shell_fixture.cpp)
moravel_gl_test(resize_scene_test resize_scene_test.cpp)

pkg_check_modules(X11 REQUIRED IMPORTED_TARGET x11)
add_executable(close_window e2e/close_window.c)
target_link_libraries(close_window PRIVATE PkgConfig::X11)

add_test(NAME demo_end_to_end
         COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/e2e/demo_e2e.sh ${CMAKE_BINARY_DIR}/dist $<TARGET_FILE:close_window>
                 $<TARGET_FILE:audio_probe>)
set_tests_properties(demo_end_to_end PROPERTIES LABELS e2e TIMEOUT 400 RUN_SERIAL TRUE)

add_test(NAME demo_full_run COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/e2e/full_run_e2e.sh ${CMAKE_BINARY_DIR}/dist
                                    $<TARGET_FILE:audio_probe>)
set_tests_properties(demo_full_run PROPERTIES LABELS e2e TIMEOUT 400 RUN_SERIAL TRUE)

# Where users run it: another working folder, an ordinary user and a read-only release folder, a
# window destroyed by another client, no display.
add_test(NAME demo_where_users_run_it
         COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/e2e/where_users_run_it.sh ${CMAKE_BINARY_DIR}/dist)
set_tests_properties(demo_where_users_run_it PROPERTIES LABELS e2e TIMEOUT 400 RUN_SERIAL TRUE)

# Stopped for 5 s mid-run: the music follows the picture again (SDL's disk driver; the script takes
# "dummy" as a third argument for the other driver without a sound card).
add_test(NAME demo_stall COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/e2e/stall_e2e.sh ${CMAKE_BINARY_DIR}/dist
                                 $<TARGET_FILE:audio_probe>)
set_tests_properties(demo_stall PROPERTIES LABELS e2e TIMEOUT 400 RUN_SERIAL TRUE)

add_test(NAME demo_desktop COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/e2e/desktop_e2e.sh ${CMAKE_BINARY_DIR}/dist)
set_tests_properties(demo_desktop PROPERTIES LABELS e2e TIMEOUT 300 RUN_SERIAL TRUE)

# The player's options on real displays (Xvfb with and without a window manager, weston), and --loop
# through the whole run.
add_test(NAME player_options COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/e2e/player_e2e.sh ${CMAKE_BINARY_DIR}/dist)
set_tests_properties(player_options PROPERTIES LABELS e2e TIMEOUT 400 RUN_SERIAL TRUE)
add_test(NAME player_loop COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/e2e/loop_e2e.sh ${CMAKE_BINARY_DIR}/dist)
set_tests_properties(player_loop PROPERTIES LABELS e2e TIMEOUT 400 RUN_SERIAL TRUE)
moravel_unit_test(player_test player_test.cpp shell_fixture.cpp)
add_executable(picture_area_test picture_area_test.cpp ${CMAKE_SOURCE_DIR}/platform/sdl_picture.cpp)
target_link_libraries(picture_area_test PRIVATE moravel_platform_api PkgConfig::SDL2 OpenGL::GL GTest::gtest_main)
gtest_discover_tests(picture_area_test DISCOVERY_TIMEOUT 60 PROPERTIES LABELS unit)
