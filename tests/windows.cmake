# The Windows release's JPEG check: one program, built by the Linux build and by the Windows build,
# prints what the production's decoder makes of each picture (scripts/windows-tests.sh compares).
add_executable(jpeg_pixels ${CMAKE_CURRENT_LIST_DIR}/windows/jpeg_pixels.cpp)
if(MORAVEL_WINDOWS)
  target_link_libraries(jpeg_pixels PRIVATE ${MORAVEL_PRODUCTION} moravel_platform_win32)
else()
  target_link_libraries(jpeg_pixels PRIVATE ${MORAVEL_PRODUCTION} moravel_platform_fake)
endif()
