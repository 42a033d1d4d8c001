# The hardening that each toolchain offers, for every image the build links:
# included from CMakeLists.txt before the first target, so that the programs,
# their tests and the benchmark are built alike. scripts/check-hardening reads
# each property back from the programs (the `hardening` test).
include_guard(GLOBAL)

# Fortify needs the optimiser: a debug build goes without it. A definition
# that the caller's flags bring already (Debian's, in the package) stands.
if(NOT CMAKE_CXX_FLAGS MATCHES "_FORTIFY_SOURCE")
  set(fortify $<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:_FORTIFY_SOURCE=2>)
endif()

if(WIN32)
  # The stack protector's and fortify's checks come from GCC's libssp, linked
  # in like the rest of the runtime (-static): no libssp-0.dll to ship.
  add_compile_options(-fstack-protector-strong)
  add_compile_definitions(${fortify})
  add_link_options(-fstack-protector-strong
    # Stated rather than left to the linker's defaults: relocatable at a
    # random base, data never executed, no terminal-server compatibility shims.
    LINKER:--dynamicbase LINKER:--nxcompat LINKER:--tsaware
    # Windows 7, which the code targets: from 6.0 on, Windows ends a program
    # whose heap is corrupted instead of letting it run on.
    LINKER:--major-subsystem-version,6 LINKER:--minor-subsystem-version,1
    LINKER:--major-os-version,6 LINKER:--minor-os-version,1)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    add_link_options(LINKER:--high-entropy-va)
  endif()
elseif(NOT TARNWICK_SANITIZE)
  # What Debian's flags give (dpkg-buildflags, hardening=+all), with the two
  # that Debian 12 leaves out: probes of the stack as it grows, and
  # control-flow protection (CET: IBT and shadow stacks). Not under the
  # sanitizers, whose own checks fortify gets in the way of.
  add_compile_options(-fstack-protector-strong -fstack-clash-protection -fcf-protection)
  add_compile_definitions(${fortify})
  add_link_options(LINKER:-z,relro LINKER:-z,now)
  set(CMAKE_POSITION_INDEPENDENT_CODE ON)
  include(CheckPIESupported)
  check_pie_supported()
endif()
unset(fortify)
