# The Windows release: dravik-<version>-win64.zip in the build folder, holding a stripped dravik.exe and
# README.txt with Windows line ends, in a folder of the same name. scripts/package-windows.sh makes it.
configure_file(${PROJECT_SOURCE_DIR}/docs/windows-release-readme.txt.in ${PROJECT_BINARY_DIR}/README.txt @ONLY
               NEWLINE_STYLE CRLF)
install(FILES ${PROJECT_BINARY_DIR}/README.txt DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Dravik)
set(CPACK_PACKAGE_FILE_NAME dravik-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR})
set(CPACK_STRIP_FILES ON)
set(zip ${PROJECT_BINARY_DIR}/${CPACK_PACKAGE_FILE_NAME}.zip)
include(CPack)

if(DRAVIK_BUILD_TESTS)
  add_test(NAME release_zip COMMAND ${CMAKE_CPACK_COMMAND} --config ${PROJECT_BINARY_DIR}/CPackConfig.cmake)
  set_tests_properties(release_zip PROPERTIES FIXTURES_SETUP release_zip)
  add_test(NAME release_zip_contents COMMAND ${PROJECT_SOURCE_DIR}/scripts/check-release.sh ${zip})
  add_test(NAME dravik_release_end_to_end COMMAND ${PROJECT_SOURCE_DIR}/tests/e2e/end_to_end_test.sh --wine ${zip})
  set_tests_properties(release_zip_contents dravik_release_end_to_end PROPERTIES FIXTURES_REQUIRED release_zip)
  set_tests_properties(dravik_release_end_to_end PROPERTIES TIMEOUT 300)
endif()
