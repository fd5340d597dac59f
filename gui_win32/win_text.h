#pragma once
// CP932 texts of the core to and from the window's UTF-16.
#include <string>

#include "platform/win32/wide.h"

inline std::wstring W(const std::string& cp932) { return platform::win32::Cp932ToWide(cp932); }
