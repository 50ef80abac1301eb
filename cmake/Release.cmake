# The release a user downloads, made by the `release` target (part of every Release and MinSizeRel
# build): one archive in the build folder holding a folder of its own name with the stripped program and
# its README.txt. Windows: dravik-<version>-win64.zip; Linux: dravik-<version>-linux-x86_64.tar.gz.
if(WIN32)
  set(DRAVIK_RELEASE_NAME dravik-${PROJECT_VERSION}-win64)
  set(DRAVIK_RELEASE_ARCHIVE ${PROJECT_BINARY_DIR}/${DRAVIK_RELEASE_NAME}.zip)
  set(readme_template ${PROJECT_SOURCE_DIR}/docs/windows-release-readme.txt.in)
  set(readme_newlines CRLF)  # Notepad's
else()
  set(DRAVIK_RELEASE_NAME dravik-${PROJECT_VERSION}-linux-${CMAKE_SYSTEM_PROCESSOR})
  set(DRAVIK_RELEASE_ARCHIVE ${PROJECT_BINARY_DIR}/${DRAVIK_RELEASE_NAME}.tar.gz)
  set(readme_template ${PROJECT_SOURCE_DIR}/docs/linux-release-readme.txt.in)
  set(readme_newlines UNIX)
endif()
configure_file(${readme_template} ${PROJECT_BINARY_DIR}/README.txt @ONLY NEWLINE_STYLE ${readme_newlines})

set(release_all)
if(CMAKE_BUILD_TYPE MATCHES "^(Release|MinSizeRel)$")
  set(release_all ALL)
endif()
add_custom_command(
  OUTPUT ${DRAVIK_RELEASE_ARCHIVE}
  COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${PROJECT_SOURCE_DIR} -DSTRIP=${CMAKE_STRIP}
          -DPROGRAM=$<TARGET_FILE:dravik> -DREADME=${PROJECT_BINARY_DIR}/README.txt
          -DNAME=${DRAVIK_RELEASE_NAME} -DARCHIVE=${DRAVIK_RELEASE_ARCHIVE}
          -P ${PROJECT_SOURCE_DIR}/cmake/MakeArchive.cmake
  DEPENDS dravik ${PROJECT_BINARY_DIR}/README.txt ${PROJECT_SOURCE_DIR}/cmake/MakeArchive.cmake
  COMMENT "Making ${DRAVIK_RELEASE_NAME}"
  VERBATIM)
add_custom_target(release ${release_all} DEPENDS ${DRAVIK_RELEASE_ARCHIVE})

if(DRAVIK_BUILD_TESTS AND WIN32)
  # The zip as a user downloads it: what it holds, and dravik.exe started from it unpacked.
  add_test(NAME release_contents
           COMMAND ${PROJECT_SOURCE_DIR}/scripts/check-release.sh ${DRAVIK_RELEASE_ARCHIVE} ${PROJECT_BINARY_DIR})
  add_test(NAME dravik_release_end_to_end
           COMMAND ${PROJECT_SOURCE_DIR}/tests/e2e/end_to_end_test.sh --wine ${DRAVIK_RELEASE_ARCHIVE})
  set_tests_properties(dravik_release_end_to_end PROPERTIES TIMEOUT 300)
endif()
