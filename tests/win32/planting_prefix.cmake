# Makes the Wine prefix of the planting tests: a run of PROGRAM makes it, and
# a network drive N:, a link to NETWORK_FOLDER that Wine's registry calls a
# network drive, makes the window ask mpr for the drive's connection.
#   cmake -DWINE_RUN=... -DPREFIX=... -DPROGRAM=... -DNETWORK_FOLDER=... -P planting_prefix.cmake
# Whatever an earlier run left in the prefix (a program that crashed and the
# debugger that Wine started for it) is ended first.
set(ENV{WINEPREFIX} "${PREFIX}")
if(EXISTS "${PREFIX}/system.reg")
  execute_process(COMMAND wineserver -k OUTPUT_QUIET ERROR_QUIET)
endif()
execute_process(COMMAND ${WINE_RUN} ${PREFIX} ${PROGRAM} --version
  OUTPUT_QUIET ERROR_VARIABLE err RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the Wine prefix could not be made: ${status}\n${err}")
endif()
file(MAKE_DIRECTORY "${NETWORK_FOLDER}")
file(REMOVE "${PREFIX}/dosdevices/n:")
file(CREATE_LINK "${NETWORK_FOLDER}" "${PREFIX}/dosdevices/n:" SYMBOLIC)
execute_process(COMMAND ${WINE_RUN} ${PREFIX} ${PREFIX}/drive_c/windows/system32/reg.exe
    add "HKLM\\Software\\Wine\\Drives" /v n: /d network /f
  OUTPUT_QUIET ERROR_VARIABLE err RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the network drive could not be made: ${status}\n${err}")
endif()
# Wine reads the drives' kinds when it starts: it ends first.
execute_process(COMMAND wineserver -w TIMEOUT 120 RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "Wine did not end in the prefix ${PREFIX}: ${status}")
endif()
