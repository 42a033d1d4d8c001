# The resources of the programs (src/platform/win32/resources), included from
# tests/win32/tests.cmake. The checks run under Wine on a test program that
# carries tarnwick.exe's resources, on tarnwick.exe and on tarnwick-list.exe.
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/tarnwick_resources.cmake)
find_package(Python3 3.6 REQUIRED COMPONENTS Interpreter)

tarnwick_test(win32_resources_tests ${CMAKE_CURRENT_LIST_DIR}/resources_test.cpp)
target_link_libraries(win32_resources_tests PRIVATE version)
tarnwick_add_resources(win32_resources_tests tarnwick)
set(resource_tests win32_resources_tests)

if(TARGET tarnwick)
  add_test(NAME win32_resources_tarnwick COMMAND win32_resources_tests)
  set_tests_properties(win32_resources_tarnwick PROPERTIES
    ENVIRONMENT "TARNWICK_RESOURCES_PROGRAM=$<TARGET_FILE:tarnwick>")
  list(APPEND resource_tests win32_resources_tarnwick)
endif()
# tarnwick-list.exe, held by its name to the console program's resources.
add_test(NAME win32_resources_tarnwick_list COMMAND win32_resources_tests)
set_tests_properties(win32_resources_tarnwick_list PROPERTIES
  ENVIRONMENT "TARNWICK_RESOURCES_PROGRAM=$<TARGET_FILE:tarnwick-list>")
list(APPEND resource_tests win32_resources_tarnwick_list)

# 77 from wine-run: a 32-bit program on a machine that cannot run one.
set_tests_properties(${resource_tests} PROPERTIES SKIP_RETURN_CODE 77)
