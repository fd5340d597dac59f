// SPDX-License-Identifier: MIT
#pragma once
// Text to and from the clipboard as CF_UNICODETEXT.
#include <string>

#include "platform/win32/windows_api.h"

bool SetClipboardText(HWND owner, const std::wstring& text);
std::wstring ClipboardText(HWND owner);
