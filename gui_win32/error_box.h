// SPDX-License-Identifier: MIT
#pragma once
// The application's error box: the program's name as title, the message
// (CP932) with a closing "." added when its last character sorts after ".".
#include <functional>
#include <string>

#include "platform/win32/windows_api.h"

void ShowErrorBox(HWND owner, const std::string& message);

// Tests take the messages instead of a box that would wait for a click.
void SetErrorBoxHandlerForTesting(std::function<void(const std::string&)> handler);
