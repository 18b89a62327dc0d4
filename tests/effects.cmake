# GL tests of the effect renderers, on real Mesa without a window system.
moravel_gl_test(effects_gl_test
  ${CMAKE_CURRENT_LIST_DIR}/effects_gl_support.cpp
  ${CMAKE_CURRENT_LIST_DIR}/wide_angle_cube_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/spinners_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pictures_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/model_meshes_test.cpp)
