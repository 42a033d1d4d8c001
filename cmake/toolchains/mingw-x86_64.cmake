# 64-bit Windows, cross-built with mingw-w64.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TARNWICK_MINGW_TRIPLET x86_64-w64-mingw32)
set(TARNWICK_MINGW_PACKAGE x86-64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
