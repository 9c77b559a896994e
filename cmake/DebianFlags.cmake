# The compiler and linker flags Debian builds its packages with (dpkg-buildflags), all hardening
# included: stack protector, _FORTIFY_SOURCE, PIE, full RELRO with immediate binding. They apply to
# the plain build that the package is made from; the sanitizer, fuzzer and benchmark builds keep
# their own.

find_program(VORMIK_DPKG_BUILDFLAGS dpkg-buildflags)
set(vormik_debian_flags_default OFF)
if(VORMIK_DPKG_BUILDFLAGS AND NOT VORMIK_SANITIZE AND NOT VORMIK_FUZZ AND NOT VORMIK_BENCH)
  set(vormik_debian_flags_default ON)
endif()
option(VORMIK_DEBIAN_FLAGS "Build with Debian's hardened flags (dpkg-buildflags)" ${vormik_debian_flags_default})

if(VORMIK_DEBIAN_FLAGS)
  if(NOT VORMIK_DPKG_BUILDFLAGS)
    message(FATAL_ERROR "VORMIK_DEBIAN_FLAGS needs dpkg-buildflags (Debian package dpkg-dev)")
  endif()
  # CMake reads no CPPFLAGS: the preprocessor's flags go with the compiler's.
  foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
    execute_process(
      COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
        ${VORMIK_DPKG_BUILDFLAGS} --get ${kind}
      WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
      OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    separate_arguments(flags UNIX_COMMAND "${flags}")
    if(kind STREQUAL "LDFLAGS")
      add_link_options(${flags})
    else()
      add_compile_options(${flags})
    endif()
  endforeach()
endif()
