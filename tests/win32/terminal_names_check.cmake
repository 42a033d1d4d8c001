# tarnwick-list.exe and names that could drive a terminal, under Wine:
#   cmake -DEMULATOR=... -DPROGRAM=... -DFOLDER=... -P terminal_names_check.cmake
# Into a pipe each name comes out exactly; with -z each line ends in a NUL;
# on a console (Wine's, on a pseudo-terminal that `script` opens) each
# control character of a name shows as "?", and none reaches the terminal,
# nor does one of a path in a message.

string(ASCII 27 esc)
string(ASCII 7 bel)
string(ASCII 9 tab)
string(ASCII 127 del)
string(ASCII 1 soh)
string(ASCII 194 155 csi)  # U+009B, C1's CSI, in UTF-8
# One variable a name: a list would cut the title's ";".
set(name_1 "e${esc}[2J.txt")
set(name_2 "e${esc}]0;T${bel}.txt")
set(name_3 "n\nl.txt")
set(name_4 "t${tab}b.txt")
set(name_5 "d${del}c${csi}.txt")
set(shown_1 "e?[2J.txt")
set(shown_2 "e?]0;T?.txt")
set(shown_3 "n?l.txt")
set(shown_4 "t?b.txt")
set(shown_5 "d?c?.txt")
# As they read back with -z through tr, below.
foreach(i RANGE 1 5)
  string(REPLACE "\n" "${soh}" read_back_${i} "${name_${i}}")
endforeach()

file(REMOVE_RECURSE ${FOLDER})
file(MAKE_DIRECTORY ${FOLDER})
foreach(i RANGE 1 5)
  file(TOUCH "${FOLDER}/${name_${i}}")
endforeach()
string(REPLACE "/" "\\" windows_folder "Z:${FOLDER}")

function(fail what)
  message(FATAL_ERROR "${what}\nstdout:\n${out}\nstderr:\n${err}")
endfunction()

# Fails unless `out` holds each name as `form` gives it (name, read_back or
# shown), after `before` and followed by " ⇔ ".
function(expect_each form before what)
  foreach(i RANGE 1 5)
    string(FIND "${out}" "${before}${${form}_${i}} ⇔ " at)
    if(at EQUAL -1)
      fail("name ${i} ${what}")
    endif()
  endforeach()
endfunction()

# Into a pipe.
execute_process(COMMAND ${EMULATOR} ${PROGRAM} ${windows_folder}
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  fail("exit status ${status} into a pipe")
endif()
expect_each(name "\n" "is not in the output as it is")

# With -z, through tr: each NUL becomes a line feed, and a name's line feed
# becomes SOH, so that the line feeds count the NULs.
execute_process(COMMAND ${EMULATOR} ${PROGRAM} -z ${windows_folder}
  COMMAND tr "\\000\\n" "\\n\\001"
  RESULTS_VARIABLE statuses OUTPUT_VARIABLE out ERROR_VARIABLE err)
list(GET statuses 0 status)
if(NOT status EQUAL 0)
  fail("exit status ${status} with -z")
endif()
string(REGEX MATCHALL "\n" line_ends "${out}")
list(LENGTH line_ends count)
if(NOT count EQUAL 6 OR NOT out MATCHES "^パス名－Z:.*\n$")
  fail("with -z, not the label and five lines, each ending in a NUL")
endif()
expect_each(read_back "\n" "does not read back with -z")

# On a console. Wine writes sequences of its own there (the cursor's), but
# none of a name's.
find_program(script_program script REQUIRED)
foreach(part IN LISTS EMULATOR ITEMS ${PROGRAM})
  string(APPEND command_line "'${part}' ")
endforeach()
function(run_on_console folder)
  execute_process(COMMAND ${script_program} -qec "${command_line}'${folder}'" /dev/null
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(out MATCHES "wine-run: cannot run")
    fail("${out}")
  endif()
  foreach(raw IN ITEMS "${esc}[2J" "${esc}]" "${bel}" "${tab}" "${del}" "${csi}")
    string(FIND "${out}" "${raw}" at)
    if(NOT at EQUAL -1)
      fail("a control character of a name reached the console")
    endif()
  endforeach()
  set(status ${status} PARENT_SCOPE)
  set(out "${out}" PARENT_SCOPE)
  set(err "${err}" PARENT_SCOPE)
endfunction()

run_on_console("${windows_folder}")
if(NOT status EQUAL 0)
  fail("exit status ${status} on a console")
endif()
expect_each(shown "" "is not shown on the console with a \"?\" for each control character")

# A message names the path it could not read in the same way.
run_on_console("${windows_folder}\\gone${esc}[2J")
if(NOT status EQUAL 2 OR NOT out MATCHES "gone\\?\\[2J")
  fail("exit status ${status}, or the message does not show the path with a \"?\"")
endif()
