# The texture unit: decoders on bytes (unit), uploads and loads on Mesa (gl), the inspector from outside.
# The web build's reader of the models' numbers against std::from_chars.
moravel_unit_test(decimal_number_test decimal_number_test.cpp)

moravel_unit_test(texture_readers_test
  tga_reader_test.cpp
  jpeg_reader_test.cpp
  bmp_reader_test.cpp
  texture_test_files.cpp)

moravel_gl_test(texture_upload_test
  texture_upload_test.cpp
  texture_test_files.cpp)

# Files written by ImageMagick and libjpeg's cjpeg, through the inspector; skipped (77) without those programs.
add_test(NAME inspect_texture_test
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/inspect_texture_test.sh $<TARGET_FILE:moravel-inspect>)
set_tests_properties(inspect_texture_test PROPERTIES LABELS gl SKIP_RETURN_CODE 77
  ENVIRONMENT "EGL_PLATFORM=surfaceless")

moravel_gl_test(texture_prefetch_test
  texture_prefetch_test.cpp
  texture_test_files.cpp)
