// SPDX-License-Identifier: MIT
#pragma once
// Explicit conversions between the system's byte strings and the UTF-16
// the wide-character Win32 API takes. Nothing here depends on the ANSI
// code page of the machine.
#include <string>
#include <string_view>

namespace platform::win32 {

// UTF-8 <-> UTF-16. Invalid input becomes U+FFFD.
std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);

// A UTF-8 file-system path for the wide API: "/" becomes "\".
std::wstring FsToWide(std::string_view fsPath);

// CP932 <-> UTF-16 (code page 932 named, not the ANSI code page). `exact`
// is cleared when a byte sequence or character had to be replaced.
std::wstring Cp932ToWide(std::string_view cp932, bool* exact = nullptr);
std::string WideToCp932(std::wstring_view wide, bool* exact = nullptr);
// A path in the system's form, CP932 or marked UTF-8 (platform/path_text.h),
// as the wide API takes it. Only for paths: a text may start with 0xFF.
std::wstring PathToWide(std::string_view path);

// errno value for a Win32 error code (GetLastError).
int ErrnoFromWin32(unsigned long error);

}  // namespace platform::win32
