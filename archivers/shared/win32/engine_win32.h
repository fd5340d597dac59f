// SPDX-License-Identifier: MIT
#pragma once
// Included ahead of every engine source on Windows, after posix_fs.h.
//
// libarchive opens files by narrow name in the ANSI code page on Windows;
// the engine's names are UTF-8, so the open goes through the wide form.
// (archive.h's own declaration is renamed along, so both agree.)
#define archive_read_open_filename bms_archive_read_open_filename

// The engine's locale scope has nothing to switch on Windows (see
// win32/utf8_locale_scope.cpp); its header names the POSIX type.
typedef void* locale_t;
