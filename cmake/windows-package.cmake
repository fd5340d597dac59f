# The Windows zip (cpack -G ZIP in build-windows/): the programs and the
# archiver DLLs side by side at the top of the archive, as they run.
get_property(_libraries GLOBAL PROPERTY BMSLIST_ARCHIVER_TARGETS)
set(_targets bmslist-cli ${_libraries})
if(TARGET bmslist)
  list(APPEND _targets bmslist)
endif()
install(TARGETS ${_targets} RUNTIME DESTINATION . LIBRARY DESTINATION . ARCHIVE DESTINATION lib EXCLUDE_FROM_ALL)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION .)
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME "bmslist-${PROJECT_VERSION}-win32")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
include(CPack)
