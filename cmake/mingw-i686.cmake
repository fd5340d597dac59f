# SPDX-License-Identifier: MIT
# Cross-compiling for 32-bit Windows with Debian's mingw-w64 (posix threads,
# so std::thread and std::mutex work as on Linux).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(BMSLIST_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_C_COMPILER ${BMSLIST_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${BMSLIST_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${BMSLIST_MINGW_TRIPLE}-windres)
set(CMAKE_AR ${BMSLIST_MINGW_TRIPLE}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${BMSLIST_MINGW_TRIPLE}-gcc-ranlib-posix CACHE FILEPATH "")
# The cross-built dependencies (scripts/windows-deps.sh) come first.
set(CMAKE_FIND_ROOT_PATH /usr/${BMSLIST_MINGW_TRIPLE} ${BMSLIST_DEPS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Tests run through Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
