# Read by cpack before it builds a package (CPACK_PROJECT_CONFIG_FILE).

if(CPACK_GENERATOR STREQUAL "DEB")
  find_program(KAVRA_DPKG_SHLIBDEPS dpkg-shlibdeps)
  if(NOT KAVRA_DPKG_SHLIBDEPS)
    message(FATAL_ERROR
      "dpkg-shlibdeps was not found, so the package's dependencies cannot be worked out; "
      "the package was not built. Install dpkg-dev (apt-get install dpkg-dev) and run cpack again.")
  endif()
endif()
