// SPDX-License-Identifier: MIT
#include "gui_win32/error_box.h"

#include "gui_win32/win_text.h"
#include "platform/paths.h"

namespace {
std::function<void(const std::string&)> g_testHandler;
}

void SetErrorBoxHandlerForTesting(std::function<void(const std::string&)> handler) {
  g_testHandler = std::move(handler);
}

void ShowErrorBox(HWND owner, const std::string& message) {
  std::string text = message;
  if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
  if (g_testHandler) return g_testHandler(text);
  std::string name = platform::ExtractFileName(platform::ExecutablePath());
  std::string title = name.substr(0, name.find('.'));
  MessageBoxW(owner, W(text).c_str(), W(title).c_str(), MB_OK | MB_ICONERROR);
}
