# The program's version is written once, in the top CMakeLists.txt's
# project(VERSION ...); this makes what the code and the Windows resources
# need of it.
#   tarnwick_version_header(<version> <folder>)
# writes <folder>/version.h for a version "MAJOR.MINOR.PATCH".
#   tarnwick_project_version(<variable> <top folder>)
# reads that version from the top CMakeLists.txt, for builds of their own
# (the fuzz targets).
include_guard(GLOBAL)

function(tarnwick_version_header version folder)
  string(REPLACE "." ";" parts "${version}")
  list(GET parts 0 PROJECT_VERSION_MAJOR)
  list(GET parts 1 PROJECT_VERSION_MINOR)
  list(GET parts 2 PROJECT_VERSION_PATCH)
  # The version block's texts show the minor version in two digits: "1.00".
  string(LENGTH "${PROJECT_VERSION_MINOR}" minor_digits)
  if(minor_digits EQUAL 1)
    set(tarnwick_minor_2 "0${PROJECT_VERSION_MINOR}")
  else()
    set(tarnwick_minor_2 "${PROJECT_VERSION_MINOR}")
  endif()
  configure_file(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/version.h.in ${folder}/version.h @ONLY)
endfunction()

function(tarnwick_project_version variable top)
  file(STRINGS ${top}/CMakeLists.txt line REGEX "^project\\(Tarnwick VERSION ")
  string(REGEX MATCH "VERSION ([0-9]+\\.[0-9]+\\.[0-9]+)" found "${line}")
  if(NOT found)
    message(FATAL_ERROR "no version in the project() line of ${top}/CMakeLists.txt")
  endif()
  set(${variable} ${CMAKE_MATCH_1} PARENT_SCOPE)
endfunction()
