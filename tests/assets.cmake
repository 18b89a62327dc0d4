# The generated data: two runs of moravel-assetgen give the same bytes, and everything they write loads
# through the production's readers.
set(assets_dir ${CMAKE_CURRENT_BINARY_DIR}/generated-assets)
file(MAKE_DIRECTORY ${assets_dir}/first ${assets_dir}/second)

add_test(NAME assets_generate
  COMMAND ${CMAKE_COMMAND} -DTOOL=$<TARGET_FILE:moravel-assetgen> -DOUT=${assets_dir}/first/data
          -P ${CMAKE_CURRENT_LIST_DIR}/assets/generate.cmake)
add_test(NAME assets_generate_again
  COMMAND ${CMAKE_COMMAND} -DTOOL=$<TARGET_FILE:moravel-assetgen> -DOUT=${assets_dir}/second/data
          -P ${CMAKE_CURRENT_LIST_DIR}/assets/generate.cmake)
set_tests_properties(assets_generate PROPERTIES FIXTURES_SETUP moravel_assets LABELS unit)
set_tests_properties(assets_generate_again PROPERTIES FIXTURES_SETUP moravel_assets_again LABELS unit)

add_test(NAME assets_deterministic
  COMMAND ${CMAKE_COMMAND} -DFIRST=${assets_dir}/first/data -DSECOND=${assets_dir}/second/data
          -P ${CMAKE_CURRENT_LIST_DIR}/assets/compare.cmake)
set_tests_properties(assets_deterministic PROPERTIES FIXTURES_REQUIRED "moravel_assets;moravel_assets_again"
  LABELS unit)

add_executable(assets_test assets_test.cpp catalogue_files.cpp)
target_link_libraries(assets_test PRIVATE ${MORAVEL_PRODUCTION} moravel_platform_headless moravel_sound_silent GTest::gtest_main)
target_compile_definitions(assets_test PRIVATE MORAVEL_ASSET_DIR="${assets_dir}/first")
add_dependencies(assets_test moravel-assetgen)
gtest_discover_tests(assets_test DISCOVERY_TIMEOUT 60 TEST_PREFIX assets.
  PROPERTIES LABELS gl ENVIRONMENT EGL_PLATFORM=surfaceless FIXTURES_REQUIRED moravel_assets)

# The generator's parts on their own: noise, text, file writers and model meshes.
moravel_unit_test(assetgen_test assetgen_test.cpp
  ${CMAKE_SOURCE_DIR}/tools/assetgen/canvas.cpp
  ${CMAKE_SOURCE_DIR}/tools/assetgen/noise.cpp
  ${CMAKE_SOURCE_DIR}/tools/assetgen/text.cpp
  ${CMAKE_SOURCE_DIR}/tools/assetgen/image_files.cpp
  ${CMAKE_SOURCE_DIR}/tools/assetgen/models.cpp
  ${CMAKE_SOURCE_DIR}/tools/assetgen/starfish.cpp
  ${CMAKE_SOURCE_DIR}/tools/assetgen/rose.cpp)
target_link_libraries(assetgen_test PRIVATE Freetype::Freetype)

# Every generated TGA file opens in Pillow with the pixels our loader gives. Pillow is a Debian package
# for Debian's own interpreter, which a python3 earlier on PATH may not see.
add_test(NAME assets_open_in_pillow
  COMMAND /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/assets/open_in_pillow.py $<TARGET_FILE:moravel-inspect>
          ${assets_dir}/first/data)
set_tests_properties(assets_open_in_pillow PROPERTIES FIXTURES_REQUIRED moravel_assets LABELS gl SKIP_RETURN_CODE 77
  ENVIRONMENT "EGL_PLATFORM=surfaceless")
