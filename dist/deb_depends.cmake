# SPDX-License-Identifier: MIT
# Run by `cpack -G DEB` once the files are staged (CPACK_PRE_BUILD_SCRIPTS):
# the package's Depends from the libraries its binaries link, found by
# dpkg-shlibdeps. CPack's own CPACK_DEBIAN_PACKAGE_SHLIBDEPS does the same
# but then also calls ldconfig from the maintainer scripts, as it does for
# any library under /usr/lib; the archiver libraries in /usr/lib/bmslist
# are the program's own, found by run path, never through the linker cache.
if(NOT CPACK_GENERATOR STREQUAL "DEB")
  return()
endif()
set(_stage "${CPACK_TEMPORARY_DIRECTORY}")
file(GLOB _binaries RELATIVE "${_stage}" "${_stage}/usr/bin/*" "${_stage}/usr/lib/bmslist/*")
# dpkg-shlibdeps wants a source package's control file, and a DEBIAN folder
# to know the package's root when it resolves $ORIGIN.
file(WRITE "${_stage}/debian/control" "")
file(MAKE_DIRECTORY "${_stage}/DEBIAN")
execute_process(
  COMMAND dpkg-shlibdeps --ignore-missing-info "-l${_stage}/usr/lib/bmslist" -O ${_binaries}
  WORKING_DIRECTORY "${_stage}"
  OUTPUT_VARIABLE _out ERROR_VARIABLE _err RESULT_VARIABLE _result)
file(REMOVE_RECURSE "${_stage}/debian" "${_stage}/DEBIAN")
if(NOT _result EQUAL 0 OR NOT _out MATCHES "shlibs:Depends=([^\n]*)")
  message(FATAL_ERROR "dpkg-shlibdeps failed: ${_err}${_out}")
endif()
if(CPACK_DEBIAN_PACKAGE_DEPENDS)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "${CMAKE_MATCH_1}, ${CPACK_DEBIAN_PACKAGE_DEPENDS}")
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "${CMAKE_MATCH_1}")
endif()
