# Plants a DLL beside a program, as someone could leave one in the folder
# where a user unpacks and starts it, and runs the program there under Wine,
# told to take a DLL of that name from beside the program first:
#   cmake -DWINE_RUN=... -DPREFIX=... -DPROGRAM=... -DPLANTED=... -DNAME=... -DFOLDER=...
#         [-DWATCH=window_watch.exe [-DMUST_LOAD=ON]] [-DEXPECT_RUN=ON] -P planted_dll_check.cmake
# FOLDER is made afresh holding PROGRAM and PLANTED as NAME.dll, and is the
# run's current folder. The planted DLL must not run, and the program must
# list FOLDER: its label line first, then a line for NAME.dll among the
# others. With WATCH the program is a window, which WATCH runs and reads: its
# comctl32 must be the manifest's (from the side-by-side store), and NAME.dll
# the system's where it was loaded (MUST_LOAD: and it must have been).
# EXPECT_RUN is for a program that does not guard its DLLs, run with
# NAME.dll as its argument: there the planted DLL must run.
get_filename_component(program_name "${PROGRAM}" NAME)
file(REMOVE_RECURSE "${FOLDER}")
file(MAKE_DIRECTORY "${FOLDER}")
file(COPY "${PROGRAM}" DESTINATION "${FOLDER}")
file(COPY_FILE "${PLANTED}" "${FOLDER}/${NAME}.dll")

set(ENV{WINEDLLOVERRIDES} "${NAME}=n,b")
if(WATCH)
  set(command ${WINE_RUN} ${PREFIX} ${WATCH} ${program_name} comctl32.dll ${NAME}.dll)
elseif(EXPECT_RUN)
  set(command ${WINE_RUN} ${PREFIX} ${FOLDER}/${program_name} ${NAME}.dll)
else()
  set(command ${WINE_RUN} ${PREFIX} ${FOLDER}/${program_name})
endif()
execute_process(COMMAND ${command} WORKING_DIRECTORY ${FOLDER} TIMEOUT 180
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
string(JOIN " " command_line ${command})
set(report "command: ${command_line}\nexit status: ${status}\nstdout:\n${out}\nstderr:\n${err}")
# The marker is named after the file the DLL was loaded from, in any case.
file(GLOB markers "${FOLDER}/*.ran")
if(EXPECT_RUN)
  if(NOT status EQUAL 0 OR NOT markers)
    message(FATAL_ERROR "the planted ${NAME}.dll did not run in the unguarded program\n${report}")
  endif()
  message(STATUS "the planted ${NAME}.dll ran in ${program_name}, which does not guard its DLLs")
  return()
endif()
if(markers)
  message(FATAL_ERROR "the planted ${NAME}.dll ran: ${markers} (each holds the path of the "
    "program it ran in, in UTF-16)\n${report}")
endif()
if(NOT status EQUAL 0)
  message(FATAL_ERROR "exit status ${status}\n${report}")
endif()

if(NOT out MATCHES "^パス名－[A-Z]:[^\n]*\\\\\n" OR NOT out MATCHES "\n${NAME}\\.dll ⇔ ")
  message(FATAL_ERROR "${program_name} did not list its folder\n${report}")
endif()
if(WATCH)
  string(TOLOWER "${err}" loaded)
  if(NOT loaded MATCHES "(^|\n)comctl32\\.dll: [a-z]:\\\\windows\\\\winsxs\\\\[^\n]*common-controls")
    message(FATAL_ERROR "the window's comctl32 is not the manifest's\n${report}")
  endif()
  set(from_system "[a-z]:\\\\windows\\\\(system32|syswow64)\\\\${NAME}\\.dll")
  if(NOT MUST_LOAD)
    set(from_system "(not loaded|${from_system})")
  endif()
  if(NOT loaded MATCHES "(^|\n)${NAME}\\.dll: ${from_system}\n")
    message(FATAL_ERROR "the window's ${NAME}.dll is not the system's\n${report}")
  endif()
  string(REGEX MATCH "${NAME}\\.dll: [^\n]*" module "${loaded}")
  message(STATUS "no planted ${NAME}.dll ran; ${program_name} listed its folder; ${module}")
else()
  message(STATUS "no planted ${NAME}.dll ran; ${program_name} listed its folder")
endif()
