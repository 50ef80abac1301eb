# Packs the release, the same bytes from the same source: cmake -DSOURCE_DIR=... -DSTRIP=... -DPROGRAM=...
# -DREADME=... -DNAME=... -DARCHIVE=... -P MakeArchive.cmake. Only the files' contents, their order and a
# time from the source enter the archive: every entry has SOURCE_DATE_EPOCH as its time (the last
# commit's when it is unset), fixed permissions and no owner, whatever the builder's clock, user and umask.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(epoch $ENV{SOURCE_DATE_EPOCH})
else()
  execute_process(COMMAND git -C ${SOURCE_DIR} log -1 --format=%ct
                  OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE status ERROR_QUIET)
  if(NOT status EQUAL 0 OR epoch STREQUAL "")
    message(FATAL_ERROR "No time for the release: set SOURCE_DATE_EPOCH, or build from a git clone")
  endif()
endif()
# A zip stores local times; and the strip of a Windows program writes SOURCE_DATE_EPOCH as its link time.
set(ENV{TZ} UTC)
set(ENV{SOURCE_DATE_EPOCH} ${epoch})

get_filename_component(stage ${ARCHIVE} DIRECTORY)
set(stage ${stage}/release-stage)
get_filename_component(program_name ${PROGRAM} NAME)
file(REMOVE_RECURSE ${stage})
file(MAKE_DIRECTORY ${stage}/${NAME})
execute_process(COMMAND ${STRIP} --strip-all -o ${stage}/${NAME}/${program_name} ${PROGRAM}
                COMMAND_ERROR_IS_FATAL ANY)
file(COPY_FILE ${README} ${stage}/${NAME}/README.txt)
file(CHMOD ${stage}/${NAME} ${stage}/${NAME}/${program_name}
     PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
file(CHMOD ${stage}/${NAME}/README.txt PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

# Debian's zip, and GNU tar with gzip, as reproducible-builds.org describes them: the entries named one by
# one in this order, each with the same time and permissions and no owner (a folder given whole would be
# read in the file system's order, and CMake's own archives record the builder's user).
execute_process(COMMAND touch --no-dereference --date=@${epoch} ${stage}/${NAME}/${program_name}
                        ${stage}/${NAME}/README.txt COMMAND_ERROR_IS_FATAL ANY)
file(REMOVE ${ARCHIVE})
set(entries ${NAME}/${program_name} ${NAME}/README.txt)
if(ARCHIVE MATCHES "\\.zip$")
  # -X: no owner or extra times; -D: no folder entries, so nothing holds the folder's own time.
  execute_process(COMMAND zip -q -X -D -9 ${ARCHIVE} ${entries}
                  WORKING_DIRECTORY ${stage} COMMAND_ERROR_IS_FATAL ANY)
else()
  # gzip -n: no name or time in its own header.
  execute_process(COMMAND tar --create --format=gnu --mtime=@${epoch} --owner=0 --group=0 --numeric-owner
                              --no-recursion ${entries}
                  COMMAND gzip -9 -n
                  OUTPUT_FILE ${ARCHIVE} WORKING_DIRECTORY ${stage} COMMAND_ERROR_IS_FATAL ANY)
endif()
file(REMOVE_RECURSE ${stage})
