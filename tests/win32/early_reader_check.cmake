# Runs tarnwick-list.exe under Wine on a folder whose listing is far bigger
# than a pipe holds, into a reader that stops after its first bytes, as
# "| more" left early or "| Select-Object -First 1" do: the program must end
# quietly, with status 0 and nothing on standard error.
#   cmake -DEMULATOR=... -DPROGRAM=... -DFOLDER=... -P early_reader_check.cmake
file(REMOVE_RECURSE "${FOLDER}")
file(MAKE_DIRECTORY "${FOLDER}")
foreach(i RANGE 1 3000)
  file(TOUCH "${FOLDER}/A rather long file name, number ${i} of a big folder.text")
endforeach()
string(REPLACE "/" "\\" windows_folder "Z:${FOLDER}")

execute_process(COMMAND ${EMULATOR} ${PROGRAM} ${windows_folder}
  COMMAND head -c 100
  RESULTS_VARIABLE statuses OUTPUT_VARIABLE out ERROR_VARIABLE err)
list(GET statuses 0 status)
if(NOT status STREQUAL "0" OR NOT err STREQUAL "")
  message(FATAL_ERROR "exit status ${status}, expected 0 and nothing on standard error\n"
    "stderr:\n${err}")
endif()
if(NOT out MATCHES "^パス名－Z:")
  message(FATAL_ERROR "the reader got no label: '${out}'")
endif()
