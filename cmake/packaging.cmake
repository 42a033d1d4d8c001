# The Debian package, tarnwick_<version>_<arch>.deb, made by CPack from what
# `cmake --install` puts under /usr: the programs, the desktop entry, the
# icons, the AppStream metainfo, the manuals, the copyright and the changelog.
#   cpack -G DEB --config <build>/CPackConfig.cmake
# Included from CMakeLists.txt; a Windows build has no package of this kind.
if(WIN32)
  return()
endif()
include(GNUInstallDirs)

# The project has no mail address of its own yet; example.org holds its place.
set(TARNWICK_MAINTAINER "The Tarnwick developers <tarnwick@example.org>")
set(packaging_source ${PROJECT_SOURCE_DIR}/data)
set(packaging_dir ${PROJECT_BINARY_DIR}/packaging)
set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/tarnwick)

# The changelog and the metainfo name the release; a new version that one of
# them forgot would ship a package that contradicts itself.
file(STRINGS ${packaging_source}/debian/changelog changelog_head LIMIT_COUNT 1)
if(NOT changelog_head MATCHES "^tarnwick \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "data/debian/changelog does not begin with version ${PROJECT_VERSION}: "
    "'${changelog_head}'")
endif()
file(READ ${packaging_source}/org.tarnwick.tarnwick.metainfo.xml metainfo)
if(NOT metainfo MATCHES "<release version=\"${PROJECT_VERSION}\"")
  message(FATAL_ERROR "data/org.tarnwick.tarnwick.metainfo.xml has no release ${PROJECT_VERSION}")
endif()

# The copyright file in Debian's machine-readable form, with the licence text
# of LICENSE: one space before each line, and "." for an empty one.
file(READ ${PROJECT_SOURCE_DIR}/LICENSE license)
string(FIND "${license}" "Permission is hereby granted" license_start)
if(license_start EQUAL -1)
  message(FATAL_ERROR "LICENSE does not hold the MIT licence text")
endif()
string(SUBSTRING "${license}" ${license_start} -1 license)
string(STRIP "${license}" license)
string(REPLACE "\n\n" "\n.\n" license "${license}")
string(REPLACE "\n" "\n " TARNWICK_LICENSE_TEXT " ${license}")
configure_file(${packaging_source}/debian/copyright.in ${packaging_dir}/copyright @ONLY)
install(FILES ${packaging_dir}/copyright DESTINATION ${doc_dir})

# The manuals and the changelog, compressed as Debian wants them: gzip -9n
# keeps no name or time in the header, so the same sources give the same bytes.
set(compressed_files)
foreach(source IN ITEMS man/tarnwick.1 man/tarnwick-list.1 debian/changelog)
  cmake_path(GET source FILENAME name)
  set(compressed ${packaging_dir}/${name}.gz)
  add_custom_command(OUTPUT ${compressed}
    COMMAND gzip -9n < ${packaging_source}/${source} > ${compressed}
    DEPENDS ${packaging_source}/${source}
    COMMENT "Compressing ${source}")
  list(APPEND compressed_files ${compressed})
endforeach()
add_custom_target(tarnwick_compressed_docs ALL DEPENDS ${compressed_files})
install(FILES ${packaging_dir}/tarnwick.1.gz ${packaging_dir}/tarnwick-list.1.gz
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${packaging_dir}/changelog.gz DESTINATION ${doc_dir})

# Stripped programs lose the .comment and .note sections too, as Debian's
# dh_strip has it: they only name the compiler.
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP)
    foreach(program tarnwick tarnwick-list)
      execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
        \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/\${program}\"
        COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
  endif()")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarnwick)
set(CPACK_PACKAGE_VENDOR "The Tarnwick developers")
set(CPACK_PACKAGE_CONTACT "${TARNWICK_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Directories as Debian has them (755), whatever the umask of the build.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The Qt 6 libraries and the C++ runtime, as dpkg-shlibdeps finds them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window's texts are Japanese: without a Japanese font they show as boxes.
# These two, which the window prefers, draw a short name's "~" as a tilde;
# most Japanese fonts draw it high, as an overline.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-vlgothic | fonts-noto-cjk")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "show each file's long name beside its short (8.3) name")
# The first line of the package's description is the summary above.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"Tarnwick lists every ordinary file of a folder as its long name beside its
short (8.3) name, one line per file, sorted by either name; a label under the
list shows the short form of the folder's own path. The window's interface is
in Japanese.
.
Linux keeps no short names of its own: Tarnwick shows the ones that an NTFS
disk (through ntfs-3g) or a FAT disk (through the vfat driver) keeps, and
otherwise makes them by the short-name rules of FAT on a Japanese system.
It only reads: it writes no file and keeps no settings.
.
tarnwick-list prints the same listing on the console, for scripts.")
include(CPack)
