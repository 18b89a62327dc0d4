# Start-up: the model reader (unit), the texture catalogue, the cube star and InitScene on real Mesa (gl),
# and the inspector's model command run as a program.
moravel_unit_test(model_parser_test
  ${CMAKE_CURRENT_LIST_DIR}/model_parser_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/startup_fixtures.cpp)

moravel_gl_test(startup_gl_test
  ${CMAKE_CURRENT_LIST_DIR}/catalogue_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/init_scene_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cube_star_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/catalogue_files.cpp
  ${CMAKE_CURRENT_LIST_DIR}/startup_fixtures.cpp)

moravel_unit_test(inspect_model_test
  ${CMAKE_CURRENT_LIST_DIR}/inspect_model_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/startup_fixtures.cpp)
target_compile_definitions(inspect_model_test PRIVATE MORAVEL_INSPECT="$<TARGET_FILE:moravel-inspect>"
  MORAVEL_VERSION="${PROJECT_VERSION}")
add_dependencies(inspect_model_test moravel-inspect)
