# The Debian package: built with CPack, checked by lintian, unpacked under a temporary root and
# played from there by an ordinary user under Xvfb.
add_test(NAME debian_package COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/e2e/package_e2e.sh ${CMAKE_BINARY_DIR}
                                     ${PROJECT_VERSION} ${CMAKE_CPACK_COMMAND})
set_tests_properties(debian_package PROPERTIES LABELS e2e TIMEOUT 600 RUN_SERIAL TRUE)
