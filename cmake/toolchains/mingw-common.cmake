# Shared by the mingw-w64 toolchain files; expects TARNWICK_MINGW_TRIPLET.
set(CMAKE_SYSTEM_NAME Windows)

# The POSIX thread model: GoogleTest needs std::mutex, which the win32 model
# of GCC 12 lacks. winpthread is linked statically like the rest.
find_program(TARNWICK_MINGW_CXX ${TARNWICK_MINGW_TRIPLET}-g++-posix)
find_program(TARNWICK_MINGW_CC ${TARNWICK_MINGW_TRIPLET}-gcc-posix)
find_program(TARNWICK_MINGW_WINDRES ${TARNWICK_MINGW_TRIPLET}-windres)
if(NOT TARNWICK_MINGW_CXX OR NOT TARNWICK_MINGW_CC OR NOT TARNWICK_MINGW_WINDRES)
  message(FATAL_ERROR
    "The mingw-w64 cross compiler for ${TARNWICK_MINGW_TRIPLET} was not found. "
    "Install it with: apt-get install g++-mingw-w64-${TARNWICK_MINGW_PACKAGE}")
endif()

set(CMAKE_CXX_COMPILER ${TARNWICK_MINGW_CXX})
set(CMAKE_C_COMPILER ${TARNWICK_MINGW_CC})
set(CMAKE_RC_COMPILER ${TARNWICK_MINGW_WINDRES})

set(CMAKE_FIND_ROOT_PATH /usr/${TARNWICK_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
