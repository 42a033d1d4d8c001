# The Windows tests, run under Wine (see scripts/wine-run). Included from
# tests/CMakeLists.txt for Windows builds.

tarnwick_test(win32_tests
  win32/drive_list_test.cpp
  win32/drop_files_test.cpp
  win32/short_path_answers_test.cpp
  win32/system_libraries_test.cpp
  win32/win32_listing_test.cpp
  win32/win32_system_services_test.cpp)
target_link_libraries(win32_tests PRIVATE tarnwick_system tarnwick_listing)
# Names that Wine cannot make itself (case twins), made on this side first.
set(case_twins_folder ${CMAKE_CURRENT_BINARY_DIR}/case-twins)
add_test(NAME win32_case_twins_made
  COMMAND ${CMAKE_COMMAND} -DFOLDER=${case_twins_folder}
    -P ${CMAKE_CURRENT_SOURCE_DIR}/win32/case_twins.cmake)
set_tests_properties(win32_case_twins_made PROPERTIES FIXTURES_SETUP case_twins)
set_tests_properties(win32_tests PROPERTIES FIXTURES_REQUIRED case_twins
  ENVIRONMENT "TARNWICK_CASE_TWINS=${case_twins_folder}")

tarnwick_test(win32_window_tests
  win32/main_window_test.cpp
  win32/window_far_folders_test.cpp)
target_link_libraries(win32_window_tests PRIVATE tarnwick_win32_window)
# A share that Wine serves as \\tarnwick-server\share, for the window.
add_test(NAME win32_share_made
  COMMAND ${CMAKE_COMMAND}
    "-DEMULATOR=${CMAKE_CROSSCOMPILING_EMULATOR}"
    "-DPROGRAM=$<TARGET_FILE:tarnwick-list>"
    "-DPREFIX=${CMAKE_BINARY_DIR}/wineprefix"
    "-DFOLDER=${CMAKE_CURRENT_BINARY_DIR}/share"
    "-DDRIVE=${CMAKE_CURRENT_BINARY_DIR}/drive-t"
    -P ${CMAKE_CURRENT_SOURCE_DIR}/win32/share_made.cmake)
set_tests_properties(win32_share_made PROPERTIES FIXTURES_SETUP share
  SKIP_REGULAR_EXPRESSION "wine-run: cannot run")
set_tests_properties(win32_window_tests PROPERTIES FIXTURES_REQUIRED share
  ENVIRONMENT "TARNWICK_DRIVE_T=${CMAKE_CURRENT_BINARY_DIR}/drive-t")

include(${CMAKE_CURRENT_LIST_DIR}/resources.cmake)

# tarnwick-list.exe itself, its output checked by a script on this side.
set(tarnwick_list_check ${CMAKE_CURRENT_SOURCE_DIR}/win32/check_output.cmake)
set(tarnwick_list_folders ${CMAKE_CURRENT_BINARY_DIR}/tarnwick-list-folders)

function(tarnwick_list_test name)
  cmake_parse_arguments(PARSE_ARGV 1 check "" "FOLDER;NAMED;EXIT;STDOUT;STDERR"
    "ARGS;FILES;LINES")
  add_test(NAME ${name}
    COMMAND ${CMAKE_COMMAND}
      "-DEMULATOR=${CMAKE_CROSSCOMPILING_EMULATOR}"
      "-DPROGRAM=$<TARGET_FILE:tarnwick-list>"
      "-DARGS=${check_ARGS}"
      "-DFOLDER=${check_FOLDER}"
      "-DFILES=${check_FILES}"
      "-DNAMED=${check_NAMED}"
      "-DEXPECT_EXIT=${check_EXIT}"
      "-DEXPECT_STDOUT=${check_STDOUT}"
      "-DEXPECT_LINES=${check_LINES}"
      "-DEXPECT_STDERR=${check_STDERR}"
      -P ${tarnwick_list_check})
endfunction()

tarnwick_list_test(tarnwick_list_help
  ARGS --help
  EXIT 0
  STDOUT "^Usage: tarnwick-list ")

tarnwick_list_test(tarnwick_list_version
  ARGS --version
  EXIT 0
  STDOUT "^tarnwick-list 1\\.0\n")

# "/?" as every Windows command takes it.
tarnwick_list_test(tarnwick_list_help_switch
  ARGS /?
  EXIT 0
  STDOUT "^Usage: tarnwick-list ")

tarnwick_list_test(tarnwick_list_unknown_option
  ARGS --sideways
  EXIT 2
  STDERR "^tarnwick-list: unrecognized option '--sideways'\nTry 'tarnwick-list --help' for more information\\.\n$")

tarnwick_list_test(tarnwick_list_missing_folder
  FOLDER ${tarnwick_list_folders}/存在しない
  EXIT 2
  STDERR "^tarnwick-list: the folder '[A-Z]:.*存在しない.' does not exist")

tarnwick_list_test(tarnwick_list_not_a_folder
  FOLDER ${tarnwick_list_folders}/not-a-folder
  FILES "file.txt"
  NAMED "file.txt"
  EXIT 2
  STDERR "^tarnwick-list: 'Z:.*not-a-folder.file\\.txt' is not a folder\n$")

# A reader that stops early ends the program quietly.
add_test(NAME tarnwick_list_early_reader
  COMMAND ${CMAKE_COMMAND}
    "-DEMULATOR=${CMAKE_CROSSCOMPILING_EMULATOR}"
    "-DPROGRAM=$<TARGET_FILE:tarnwick-list>"
    "-DFOLDER=${tarnwick_list_folders}/early-reader"
    -P ${CMAKE_CURRENT_SOURCE_DIR}/win32/early_reader_check.cmake)

# A Japanese name, one outside code page 932, and a name that is 8.3 already.
set(japanese_name "日本語のファイル名.txt")
set(korean_name "한국어 파일.txt")
tarnwick_list_test(tarnwick_list_by_long_name
  FOLDER ${tarnwick_list_folders}/by-long-name
  FILES "${japanese_name}" "${korean_name}" "README.TXT"
  EXIT 0
  LINES "^パス名－Z:.*[^ ]$"
        "^README.TXT ⇔ README.TXT$"
        "^${japanese_name} ⇔ [^ ]+$"
        "^${korean_name} ⇔ [^ ]+$")

tarnwick_list_test(tarnwick_list_by_short_name
  FOLDER ${tarnwick_list_folders}/by-short-name
  ARGS --by-short
  FILES "Long File Name.text" "README.TXT"
  EXIT 0
  LINES "^パス名－Z:.*[^ ]$"
        "^L[^ ]*~[^ ]* ⇔ Long File Name.text$"
        "^README.TXT ⇔ README.TXT$")

# Where each short name comes from: Wine's own short name for a long name,
# and an 8.3 name that stands for itself.
tarnwick_list_test(tarnwick_list_source
  FOLDER ${tarnwick_list_folders}/source
  ARGS --source
  FILES "Long File Name.text" "readme.txt"
  EXIT 0
  LINES "^パス名－Z:.*[^ ]$"
        "^Long File Name.text ⇔ [^ ]+~[^ ]+\tdisk$"
        "^readme.txt ⇔ readme.txt\t8.3$")

# A folder more than 280 characters deep: its label and every line carry a
# short form.
set(deep_folder ${tarnwick_list_folders}/deep)
foreach(level IN ITEMS A B C D E F G H I J K L M N)
  string(APPEND deep_folder "/長い名前のフォルダーですよね。第${level}")
endforeach()
tarnwick_list_test(tarnwick_list_deep_folder
  FOLDER ${deep_folder}
  FILES "Quarterly Report Final Version.xlsx" "SHORT.TXT"
  EXIT 0
  LINES "^パス名－Z:.*~[^ ]*$"
        "^Quarterly Report Final Version.xlsx ⇔ [^ ]+$"
        "^SHORT.TXT ⇔ SHORT.TXT$")

# Names that could drive a terminal: exact into a pipe and with -z, and "?"
# for each control character on Wine's console.
add_test(NAME tarnwick_list_terminal_names
  COMMAND ${CMAKE_COMMAND}
    "-DEMULATOR=${CMAKE_CROSSCOMPILING_EMULATOR}"
    "-DPROGRAM=$<TARGET_FILE:tarnwick-list>"
    "-DFOLDER=${tarnwick_list_folders}/terminal-names"
    -P ${CMAKE_CURRENT_SOURCE_DIR}/win32/terminal_names_check.cmake)

# Nothing in the folder listed may change.
add_test(NAME tarnwick_list_read_only
  COMMAND ${CMAKE_COMMAND}
    "-DEMULATOR=${CMAKE_CROSSCOMPILING_EMULATOR}"
    "-DPROGRAM=$<TARGET_FILE:tarnwick-list>"
    "-DFOLDER=${tarnwick_list_folders}/read-only"
    -P ${CMAKE_CURRENT_SOURCE_DIR}/win32/read_only_check.cmake)

# 77 from wine-run: a 32-bit program on a machine that cannot run one.
set_tests_properties(win32_tests win32_window_tests listing_tests PROPERTIES SKIP_RETURN_CODE 77)
set_tests_properties(tarnwick_list_help tarnwick_list_help_switch tarnwick_list_version
  tarnwick_list_unknown_option tarnwick_list_not_a_folder tarnwick_list_early_reader
  tarnwick_list_deep_folder
  tarnwick_list_missing_folder tarnwick_list_by_long_name
  tarnwick_list_by_short_name tarnwick_list_source tarnwick_list_read_only
  tarnwick_list_terminal_names PROPERTIES SKIP_REGULAR_EXPRESSION "wine-run: cannot run")

# DLLs planted beside the programs, as someone could leave one where a user
# unpacks and starts them: none of them runs, and the programs still list the
# folder they are in. The unguarded loader, which does not restrict where its
# DLLs come from, shows that a planted DLL runs and that the check sees it.
# The runs have a Wine prefix of their own with a network drive, for which
# the window loads mpr.
add_library(planted_dll SHARED win32/planted_dll.cpp)
set_target_properties(planted_dll PROPERTIES PREFIX "" OUTPUT_NAME planted)
target_link_libraries(planted_dll PRIVATE tarnwick_flags)
add_executable(unguarded_loader win32/unguarded_loader.cpp)
target_link_libraries(unguarded_loader PRIVATE tarnwick_flags)
add_executable(window_watch win32/window_watch.cpp)
target_link_libraries(window_watch PRIVATE tarnwick_system)
target_link_options(unguarded_loader PRIVATE -municode)
target_link_options(window_watch PRIVATE -municode)

set(wine_run ${PROJECT_SOURCE_DIR}/scripts/wine-run)
set(planting_prefix ${CMAKE_BINARY_DIR}/wineprefix-planted)
set(planting_folders ${CMAKE_CURRENT_BINARY_DIR}/planted)
add_test(NAME win32_planting_prefix_made
  COMMAND ${CMAKE_COMMAND} -DWINE_RUN=${wine_run} -DPREFIX=${planting_prefix}
    "-DPROGRAM=$<TARGET_FILE:tarnwick-list>" -DNETWORK_FOLDER=${planting_folders}/network-drive
    -P ${CMAKE_CURRENT_SOURCE_DIR}/win32/planting_prefix.cmake)
set_tests_properties(win32_planting_prefix_made PROPERTIES FIXTURES_SETUP planting_prefix
  SKIP_REGULAR_EXPRESSION "wine-run: cannot run")

function(tarnwick_planted_test name dll program)
  cmake_parse_arguments(PARSE_ARGV 3 planted "MUST_LOAD;EXPECT_RUN" "WATCH" "")
  add_test(NAME ${name}
    COMMAND ${CMAKE_COMMAND} -DWINE_RUN=${wine_run} -DPREFIX=${planting_prefix}
      -DPROGRAM=${program} "-DPLANTED=$<TARGET_FILE:planted_dll>" -DNAME=${dll}
      -DFOLDER=${planting_folders}/${name} -DWATCH=${planted_WATCH}
      -DMUST_LOAD=${planted_MUST_LOAD} -DEXPECT_RUN=${planted_EXPECT_RUN}
      -P ${CMAKE_CURRENT_SOURCE_DIR}/win32/planted_dll_check.cmake)
  set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED planting_prefix
    SKIP_REGULAR_EXPRESSION "wine-run: cannot run")
endfunction()

# Under Wine the window loads mpr (for the network drive), uxtheme (for
# comctl32) and oleacc (through COM, for the controls' accessible names), but
# not dwmapi; tarnwick-list loads none of them.
foreach(dll IN ITEMS mpr uxtheme oleacc dwmapi)
  set(must_load)
  if(dll STREQUAL "mpr" OR dll STREQUAL "uxtheme" OR dll STREQUAL "oleacc")
    set(must_load MUST_LOAD)
  endif()
  tarnwick_planted_test(win32_planted_${dll}_unguarded ${dll} $<TARGET_FILE:unguarded_loader>
    EXPECT_RUN)
  tarnwick_planted_test(win32_planted_${dll}_tarnwick_list ${dll} $<TARGET_FILE:tarnwick-list>)
  tarnwick_planted_test(win32_planted_${dll}_tarnwick ${dll} $<TARGET_FILE:tarnwick>
    WATCH $<TARGET_FILE:window_watch> ${must_load})
endforeach()
