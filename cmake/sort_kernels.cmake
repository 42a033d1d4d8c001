# The sort's kernels (src/listing/sort_kernel_*.cpp): on x86 every one of
# them, each file compiled for its own instruction set, and the table that
# picks among them at run time; elsewhere the scalar kernel alone.
#
# tarnwick_sort_kernel_sources(VAR ROOT) sets VAR to the files, ROOT being
# the top of the source tree, and gives each its flags.
function(tarnwick_sort_kernel_sources var root)
  set(listing ${root}/src/listing)
  set(sources ${listing}/sort_kernel_scalar.cpp)
  if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64|i[3-6]86|x86)$")
    list(APPEND sources
      ${listing}/sort_paths_x86.cpp
      ${listing}/sort_kernel_sse2.cpp
      ${listing}/sort_kernel_sse42.cpp
      ${listing}/sort_kernel_avx2.cpp
      ${listing}/sort_kernel_avx512.cpp)
    set(windows_flags)
    if(WIN32)
      # GCC for Windows cannot always align the stack for 32- and 64-byte
      # registers it spills; unaligned moves work whatever the alignment.
      set(windows_flags -Wa,-muse-unaligned-vector-move)
    endif()
    set_source_files_properties(${listing}/sort_kernel_sse2.cpp
      PROPERTIES COMPILE_OPTIONS "-msse2;${windows_flags}")
    set_source_files_properties(${listing}/sort_kernel_sse42.cpp
      PROPERTIES COMPILE_OPTIONS "-msse4.2;${windows_flags}")
    set_source_files_properties(${listing}/sort_kernel_avx2.cpp
      PROPERTIES COMPILE_OPTIONS "-mavx2;${windows_flags}")
    # GCC 12's own AVX-512 intrinsics set off its -Wmaybe-uninitialized.
    set(avx512_warnings)
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
      set(avx512_warnings -Wno-maybe-uninitialized)
    endif()
    set_source_files_properties(${listing}/sort_kernel_avx512.cpp
      PROPERTIES COMPILE_OPTIONS "-mavx512f;${avx512_warnings};${windows_flags}")
  else()
    list(APPEND sources ${listing}/sort_paths_portable.cpp)
  endif()
  set(${var} ${sources} PARENT_SCOPE)
endfunction()
