# SPDX-License-Identifier: GPL-3.0-or-later
# The hardening a Debian package gets from dpkg-buildflags (hardening=+all), applied to every
# target we build, so the released game, its tests and the package all run the same code:
# position-independent executables, stack protection and stack-clash probes, control-flow
# protection, fortified libc calls and a read-only, immediately bound relocation table.
# -DKALVENTOR_HARDEN=OFF builds without it.
option(KALVENTOR_HARDEN "Build with the distribution's hardening flags" ON)

if(KALVENTOR_HARDEN)
  set(CMAKE_POSITION_INDEPENDENT_CODE ON)
  include(CheckPIESupported)
  check_pie_supported(LANGUAGES C CXX)
  add_compile_options(-fstack-protector-strong -fstack-clash-protection -fcf-protection
                      -Wformat -Werror=format-security)
  add_link_options(-Wl,-z,relro,-z,now)
  # Fortified calls need the optimiser (glibc warns, and -Werror stops, without it), and the
  # sanitizers bring their own checked versions of the same calls.
  if(NOT KALVENTOR_SANITIZE AND NOT KALVENTOR_FUZZ)
    add_compile_definitions($<$<AND:$<COMPILE_LANGUAGE:C,CXX>,$<CONFIG:Release,RelWithDebInfo,MinSizeRel>>:_FORTIFY_SOURCE=2>)
  endif()
endif()
