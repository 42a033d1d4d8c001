# Runs tarnwick-list.exe under Wine and checks what it does:
#   cmake -DEMULATOR=... -DPROGRAM=... [-DARGS=...] [-DFOLDER=...] [-DFILES=...] [-DNAMED=...]
#         -DEXPECT_EXIT=N [-DEXPECT_STDOUT=regex] [-DEXPECT_LINES=regex;...]
#         [-DEXPECT_STDERR=regex] -P check_output.cmake
# FOLDER is a path on this side; it is made anew holding the empty FILES when
# FILES are given, and handed to the program as a Z: path after ARGS; with
# NAMED, the path of that name in FOLDER is handed instead.
# EXPECT_LINES are matched one for one against the lines of standard output.
# An output with nothing expected of it must be empty.

set(command ${EMULATOR} ${PROGRAM} ${ARGS})
if(FOLDER)
  if(FILES)
    file(REMOVE_RECURSE ${FOLDER})
    file(MAKE_DIRECTORY ${FOLDER})
    foreach(name IN LISTS FILES)
      file(TOUCH "${FOLDER}/${name}")
    endforeach()
  endif()
  if(NAMED)
    string(APPEND FOLDER "/${NAMED}")
  endif()
  string(REPLACE "/" "\\" windows_folder "Z:${FOLDER}")
  list(APPEND command ${windows_folder})
endif()

execute_process(COMMAND ${command}
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
string(JOIN " " command_line ${command})
set(report "command: ${command_line}\nexit status: ${status}\nstdout:\n${out}\nstderr:\n${err}")

if(NOT status STREQUAL EXPECT_EXIT)
  message(FATAL_ERROR "exit status ${status}, expected ${EXPECT_EXIT}\n${report}")
endif()

if(EXPECT_STDOUT AND NOT out MATCHES "${EXPECT_STDOUT}")
  message(FATAL_ERROR "standard output does not match '${EXPECT_STDOUT}'\n${report}")
endif()
if(EXPECT_LINES)
  # Line by line with string(FIND): as a CMake list, a line that ends in a
  # backslash would run into the next.
  set(rest "${out}")
  foreach(pattern IN LISTS EXPECT_LINES)
    string(FIND "${rest}" "\n" end)
    if(end EQUAL -1)
      message(FATAL_ERROR "no line for '${pattern}'\n${report}")
    endif()
    string(SUBSTRING "${rest}" 0 ${end} line)
    math(EXPR end "${end} + 1")
    string(SUBSTRING "${rest}" ${end} -1 rest)
    if(NOT line MATCHES "${pattern}")
      message(FATAL_ERROR "line '${line}' does not match '${pattern}'\n${report}")
    endif()
  endforeach()
  if(NOT rest STREQUAL "")
    message(FATAL_ERROR "more lines than expected\n${report}")
  endif()
  if(out MATCHES "\r")
    message(FATAL_ERROR "lines end in CR LF, not in a line feed alone\n${report}")
  endif()
endif()
if(NOT EXPECT_STDOUT AND NOT EXPECT_LINES AND NOT out STREQUAL "")
  message(FATAL_ERROR "standard output is not empty\n${report}")
endif()

if(EXPECT_STDERR)
  if(NOT err MATCHES "${EXPECT_STDERR}")
    message(FATAL_ERROR "standard error does not match '${EXPECT_STDERR}'\n${report}")
  endif()
elseif(NOT err STREQUAL "")
  message(FATAL_ERROR "standard error is not empty\n${report}")
endif()
