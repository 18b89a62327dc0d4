# The libraries of the Windows build: the system's OpenGL and GLU, and libjpeg-turbo, libvorbisfile
# and zlib as cross-built static libraries under CMAKE_PREFIX_PATH.
find_package(OpenGL REQUIRED COMPONENTS OpenGL)
find_package(JPEG REQUIRED)
find_package(ZLIB REQUIRED)
find_package(Threads REQUIRED)

find_path(VORBIS_INCLUDE_DIR vorbis/vorbisfile.h REQUIRED)
find_library(VORBISFILE_LIBRARY vorbisfile REQUIRED)
find_library(VORBIS_LIBRARY vorbis REQUIRED)
find_library(OGG_LIBRARY ogg REQUIRED)
add_library(Moravel::Vorbis INTERFACE IMPORTED)
set_target_properties(Moravel::Vorbis PROPERTIES
  INTERFACE_INCLUDE_DIRECTORIES ${VORBIS_INCLUDE_DIR}
  INTERFACE_LINK_LIBRARIES "${VORBISFILE_LIBRARY};${VORBIS_LIBRARY};${OGG_LIBRARY}")

