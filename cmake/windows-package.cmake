# SPDX-License-Identifier: MIT
# The Windows zip (cpack -G ZIP in build-windows/): the programs and the
# archiver DLLs side by side at the top of the archive, as they run.
get_property(_libraries GLOBAL PROPERTY BMSLIST_ARCHIVER_TARGETS)
set(_targets bmslist-cli ${_libraries})
if(TARGET bmslist)
  list(APPEND _targets bmslist)
endif()
install(TARGETS ${_targets} RUNTIME DESTINATION . LIBRARY DESTINATION . ARCHIVE DESTINATION lib EXCLUDE_FROM_ALL)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION .)
# The licences of the libraries linked into the binaries, gathered by
# scripts/windows-deps.sh from their Debian source packages.
if(NOT EXISTS ${BMSLIST_DEPS_PREFIX}/licenses/README.txt)
  message(FATAL_ERROR "${BMSLIST_DEPS_PREFIX}/licenses: run scripts/windows-deps.sh again")
endif()
install(DIRECTORY ${BMSLIST_DEPS_PREFIX}/licenses/ DESTINATION licenses)
set(CPACK_GENERATOR ZIP)
# Symbols are of no use to a player and double the size of the binaries.
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_FILE_NAME "bmslist-${PROJECT_VERSION}-win32")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
include(CPack)
