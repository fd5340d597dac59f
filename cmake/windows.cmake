# SPDX-License-Identifier: MIT
# The Windows build (cross-compiled with mingw-w64, see mingw-i686.cmake):
# the Qt window, the benchmarks and the fuzzers are Linux-only, and the
# libraries come from scripts/windows-deps.sh instead of pkg-config.
set(BMSLIST_GUI OFF CACHE BOOL "" FORCE)
set(BMSLIST_BENCH OFF CACHE BOOL "" FORCE)
set(BMSLIST_FUZZ OFF CACHE BOOL "" FORCE)
if(NOT BMSLIST_DEPS_PREFIX)
  message(FATAL_ERROR "BMSLIST_DEPS_PREFIX: the folder scripts/windows-deps.sh filled")
endif()
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 LIBARCHIVE_STATIC)
# The compiler's runtime libraries go into each binary, so that the
# programs run from their folder with nothing else installed.
add_link_options(-static)
set(CMAKE_BUILD_RPATH "")
set(CMAKE_INSTALL_RPATH "")

function(bmslist_dep_library target lib include)
  add_library(${target} STATIC IMPORTED)
  set_target_properties(${target} PROPERTIES IMPORTED_LOCATION ${BMSLIST_DEPS_PREFIX}/lib/${lib}
    INTERFACE_INCLUDE_DIRECTORIES ${BMSLIST_DEPS_PREFIX}/include${include})
endfunction()
bmslist_dep_library(bmsdep_z libz.a "")
bmslist_dep_library(bmsdep_bz2 libbz2.a "")
bmslist_dep_library(bmsdep_deflate libdeflate.a "")
bmslist_dep_library(bmsdep_archive libarchive_static.a "")
bmslist_dep_library(bmsdep_lhasa liblhasa.a "/liblhasa-1.0")
bmslist_dep_library(bmsdep_mspack libmspack.a "")
bmslist_dep_library(bmsdep_sqlite3 libsqlite3.a "")  # nlohmann/json.hpp lies in the same include folder
bmslist_dep_library(bmsdep_lzma liblzma.a "")
bmslist_dep_library(bmsdep_zstd libzstd.a "")
# liblzma's header marks its functions for import unless told it is static.
set_target_properties(bmsdep_lzma PROPERTIES INTERFACE_COMPILE_DEFINITIONS LZMA_API_STATIC)
set_target_properties(bmsdep_archive PROPERTIES INTERFACE_LINK_LIBRARIES "bmsdep_bz2;bmsdep_z;bmsdep_lzma;bmsdep_zstd")
# GCC 12 reports these for libstdc++'s own string code once inlined into
# ours (false positives of that release); the Linux build shows no such.
add_compile_options(-Wno-maybe-uninitialized -Wno-restrict)
set(CMAKE_CXX_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "" FORCE)
