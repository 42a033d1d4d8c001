# Makes a share that Wine serves as \\tarnwick-server\share: Wine looks up
# UNC paths in its prefix's dosdevices/unc/SERVER/SHARE, here a link to
# FOLDER, which is made afresh with a folder "folder" and one file in it. And
# a drive T: that a test may take away: dosdevices/t:, a link to DRIVE, which
# is made afresh with one file. The prefix is made first, by a run of PROGRAM.
#   cmake -DEMULATOR=... -DPROGRAM=... -DPREFIX=... -DFOLDER=... -DDRIVE=...
#     -P share_made.cmake
execute_process(COMMAND ${EMULATOR} ${PROGRAM} --version OUTPUT_QUIET RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the Wine prefix could not be made: ${status}")
endif()
file(REMOVE_RECURSE "${FOLDER}")
file(MAKE_DIRECTORY "${FOLDER}/folder/Sub")
file(TOUCH "${FOLDER}/folder/Long Report Name.docx")
file(MAKE_DIRECTORY "${PREFIX}/dosdevices/unc/tarnwick-server")
file(REMOVE "${PREFIX}/dosdevices/unc/tarnwick-server/share")
file(CREATE_LINK "${FOLDER}" "${PREFIX}/dosdevices/unc/tarnwick-server/share" SYMBOLIC)

file(REMOVE_RECURSE "${DRIVE}" "${DRIVE}-gone")
file(MAKE_DIRECTORY "${DRIVE}")
file(TOUCH "${DRIVE}/ON T.TXT")
file(REMOVE "${PREFIX}/dosdevices/t:")
file(CREATE_LINK "${DRIVE}" "${PREFIX}/dosdevices/t:" SYMBOLIC)
