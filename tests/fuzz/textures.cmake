# The three image decoders, each on its own sources.
moravel_fuzz_target(fuzz_tga SOURCES ${CMAKE_SOURCE_DIR}/textures/tga_reader.cpp)
moravel_fuzz_target(fuzz_jpeg SOURCES ${CMAKE_SOURCE_DIR}/textures/jpeg_reader.cpp LIBRARIES JPEG::JPEG)
moravel_fuzz_target(fuzz_bmp SOURCES ${CMAKE_SOURCE_DIR}/textures/bmp_reader.cpp)
