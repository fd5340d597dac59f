// SPDX-License-Identifier: MIT
#pragma once
// The core's texts to and from the window's UTF-16: CP932 for captions and
// row bytes, UTF-8 for the session's status texts and the file system's
// names. Code page 932 is always named, never the ANSI code page.
#include <string>

#include "platform/win32/wide.h"

inline std::wstring W(const std::string& cp932) { return platform::win32::Cp932ToWide(cp932); }
inline std::wstring U(const std::string& utf8) { return platform::win32::Utf8ToWide(utf8); }
