# The archive reader that vfs.dll trusts with whatever lies beside it.
moravel_fuzz_target(fuzz_archive SOURCES ${CMAKE_SOURCE_DIR}/tools/vfs/archive.cpp LIBRARIES ZLIB::ZLIB)
