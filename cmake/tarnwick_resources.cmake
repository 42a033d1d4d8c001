# The Windows resources of the programs: tarnwick.exe's icon, manifest and
# version, and tarnwick-list.exe's manifest and version.
#   tarnwick_add_resources(<target> <program>)
# compiles src/platform/win32/resources/<program>.rc, with the manifest made
# from <program>.manifest.in, into <target>. The icon is drawn at build time
# by src/icon/tarnwick_icon.py, into the build folder.
include_guard(GLOBAL)

enable_language(RC)
find_package(Python3 3.6 REQUIRED COMPONENTS Interpreter)

# One icon for every target that carries the resources. Targets in other
# folders cannot see the command's output, so they wait for tarnwick_icon.
block()
  set(icon_script ${CMAKE_CURRENT_LIST_DIR}/../src/icon/tarnwick_icon.py)
  cmake_path(NORMAL_PATH icon_script)
  set(icon_dir ${PROJECT_BINARY_DIR}/resources)
  add_custom_command(OUTPUT ${icon_dir}/tarnwick.ico
    COMMAND ${CMAKE_COMMAND} -E make_directory ${icon_dir}
    COMMAND ${Python3_EXECUTABLE} ${icon_script} ico ${icon_dir}/tarnwick.ico
    DEPENDS ${icon_script}
    COMMENT "Drawing the program icon"
    VERBATIM)
  add_custom_target(tarnwick_icon DEPENDS ${icon_dir}/tarnwick.ico)
  set_property(TARGET tarnwick_icon PROPERTY TARNWICK_ICON_DIR ${icon_dir})
endblock()

function(tarnwick_add_resources target program)
  set(source_dir ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/../src/platform/win32/resources)
  cmake_path(NORMAL_PATH source_dir)
  get_property(icon_dir TARGET tarnwick_icon PROPERTY TARNWICK_ICON_DIR)
  set(rc ${source_dir}/${program}.rc)
  # The manifest carries the project's version.
  set(manifest ${TARNWICK_GENERATED_DIR}/${program}.manifest)
  configure_file(${source_dir}/${program}.manifest.in ${manifest} @ONLY)
  target_sources(${target} PRIVATE ${rc})
  # windres looks for the icon, the manifest and the version along the
  # include path.
  target_include_directories(${target} PRIVATE
    $<$<COMPILE_LANGUAGE:RC>:${icon_dir}>
    $<$<COMPILE_LANGUAGE:RC>:${source_dir}>
    $<$<COMPILE_LANGUAGE:RC>:${TARNWICK_GENERATED_DIR}>)
  set_property(SOURCE ${rc} TARGET_DIRECTORY ${target} APPEND PROPERTY OBJECT_DEPENDS
    ${icon_dir}/tarnwick.ico ${manifest} ${source_dir}/resource.h
    ${source_dir}/version_block.rc2 ${TARNWICK_GENERATED_DIR}/version.h)
  add_dependencies(${target} tarnwick_icon)
endfunction()
