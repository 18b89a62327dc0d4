# The point-model reader, on its bytes alone; the fake platform stands in for the file and message calls it never makes here.
moravel_fuzz_target(fuzz_model SOURCES ${CMAKE_SOURCE_DIR}/textures/point_model.cpp LIBRARIES moravel_platform_fake)
