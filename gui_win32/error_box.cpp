#include "gui_win32/error_box.h"

#include "gui_win32/win_text.h"
#include "platform/paths.h"

void ShowErrorBox(HWND owner, const std::string& message) {
  std::string name = platform::ExtractFileName(platform::ExecutablePath());
  std::string title = name.substr(0, name.find('.'));
  std::string text = message;
  if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
  MessageBoxW(owner, W(text).c_str(), W(title).c_str(), MB_OK | MB_ICONERROR);
}
