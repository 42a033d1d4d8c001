# 32-bit Windows, cross-built with mingw-w64.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TARNWICK_MINGW_TRIPLET i686-w64-mingw32)
set(TARNWICK_MINGW_PACKAGE i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
