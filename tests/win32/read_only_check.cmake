# Runs tarnwick-list.exe under Wine on a folder made here, by either name,
# and fails when anything in the folder changed: an entry made, removed or
# renamed, or one whose size, mode, or modification or change time (which
# also moves when Wine stores attributes) is not what it was.
#   cmake -DEMULATOR=... -DPROGRAM=... -DFOLDER=... -P read_only_check.cmake

file(REMOVE_RECURSE ${FOLDER})
file(MAKE_DIRECTORY "${FOLDER}/Sub Folder")
foreach(name "Long File Name.txt" "README.TXT" "日本語のファイル名.txt" "한국어 파일.txt"
             "Sub Folder/inside.txt")
  file(TOUCH "${FOLDER}/${name}")
endforeach()

function(snapshot out)
  execute_process(COMMAND find ${FOLDER} -printf "%P|%y|%s|%m|%T@|%C@\\n"
    RESULT_VARIABLE status OUTPUT_VARIABLE listing)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "find could not list ${FOLDER}")
  endif()
  set(${out} "${listing}" PARENT_SCOPE)
endfunction()

snapshot(before)
string(REPLACE "/" "\\" windows_folder "Z:${FOLDER}")
foreach(sort "" "--by-short")
  execute_process(COMMAND ${EMULATOR} ${PROGRAM} ${sort} ${windows_folder}
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(err MATCHES "wine-run: cannot run")
    message(FATAL_ERROR "${err}")
  endif()
  if(NOT status EQUAL 0 OR NOT out MATCHES "Long File Name.txt")
    message(FATAL_ERROR "the listing failed (exit ${status})\nstdout:\n${out}\nstderr:\n${err}")
  endif()
endforeach()
snapshot(after)

if(NOT before STREQUAL after)
  message(FATAL_ERROR "the folder changed while it was listed\nbefore:\n${before}\nafter:\n${after}")
endif()
message(STATUS "nothing in ${FOLDER} changed")
