#pragma once
// The application's error box: the program's name as title, the message
// (CP932) with a closing "." added when its last character sorts after ".".
#include <string>

#include "platform/win32/windows_api.h"

void ShowErrorBox(HWND owner, const std::string& message);
