# Makes a share that Wine serves as \\tarnwick-server\share: Wine looks up
# UNC paths in its prefix's dosdevices/unc/SERVER/SHARE, here a link to
# FOLDER, which is made afresh with a folder "folder" and one file in it. The
# prefix is made first, by a run of PROGRAM.
#   cmake -DEMULATOR=... -DPROGRAM=... -DPREFIX=... -DFOLDER=... -P share_made.cmake
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
