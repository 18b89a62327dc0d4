# What the web build takes from outside the project: libjpeg and zlib, built for WebAssembly from
# Debian's own sources by scripts/build-web-deps.sh into MORAVEL_WEB_DEPS (./web.sh does both).
set(MORAVEL_WEB_DEPS "" CACHE PATH "Folder with include/ and lib/ of libjpeg and zlib built for WebAssembly")
foreach(library jpeg z)
  if(NOT EXISTS "${MORAVEL_WEB_DEPS}/lib/lib${library}.a")
    message(FATAL_ERROR "No lib${library}.a in MORAVEL_WEB_DEPS (${MORAVEL_WEB_DEPS}): run ./web.sh, which builds it")
  endif()
endforeach()
add_library(JPEG::JPEG STATIC IMPORTED)
set_target_properties(JPEG::JPEG PROPERTIES IMPORTED_LOCATION "${MORAVEL_WEB_DEPS}/lib/libjpeg.a"
                      INTERFACE_INCLUDE_DIRECTORIES "${MORAVEL_WEB_DEPS}/include")
add_library(ZLIB::ZLIB STATIC IMPORTED)
set_target_properties(ZLIB::ZLIB PROPERTIES IMPORTED_LOCATION "${MORAVEL_WEB_DEPS}/lib/libz.a"
                      INTERFACE_INCLUDE_DIRECTORIES "${MORAVEL_WEB_DEPS}/include")

# The production's <GL/gl.h> and <GL/glu.h> in the web build: the calls of the layer over WebGL 2.
add_library(moravel_fixed_gl INTERFACE)
target_include_directories(moravel_fixed_gl INTERFACE ${CMAKE_SOURCE_DIR}/platform/web_gl)
