// SPDX-License-Identifier: MIT
// The message services over real windows: RegisterWindowMessageW, hidden
// message-only windows (HWND_MESSAGE) whose procedure calls the handler,
// and SendMessageW. Window handles fit the interface's 32 bits on every
// Windows (the system keeps them below 2^32 for 32-bit programs' sake).
#include "platform/msgwindow.h"

#include <memory>
#include <mutex>

#include "platform/win32/wide.h"
#include "platform/win32/windows_api.h"

namespace platform {

namespace {
constexpr wchar_t kClassName[] = L"BmslistMessageWindow";

struct Window {
  MessageHandler handler;
  std::function<void()> foreground;
};

Window* FromHwnd(HWND h) { return reinterpret_cast<Window*>(GetWindowLongPtrW(h, GWLP_USERDATA)); }

LRESULT CALLBACK Procedure(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
  } else if (msg == WM_NCDESTROY) {
    delete FromHwnd(h);
    SetWindowLongPtrW(h, GWLP_USERDATA, 0);
  } else if (msg >= 0xC000 && msg <= 0xFFFF) {
    // Registered messages go to the handler; the system's own are left to
    // the default procedure.
    if (Window* w = FromHwnd(h); w && w->handler) return w->handler(msg, wParam, lParam);
  }
  return DefWindowProcW(h, msg, wParam, lParam);
}

bool RegisterClassOnce() {
  static const bool registered = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = Procedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kClassName;
    return RegisterClassW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }();
  return registered;
}

HWND ToHwnd(WindowHandle wnd) { return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(wnd)); }
}  // namespace

std::uint32_t RegisterWindowMessage(std::string_view name) {
  if (name.empty()) return 0;
  return RegisterWindowMessageW(win32::Cp932ToWide(name).c_str());
}

WindowHandle CreateMessageWindow(MessageHandler handler) {
  if (!RegisterClassOnce()) return 0;
  auto* w = new Window{std::move(handler), nullptr};
  HWND h = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr), w);
  if (!h) {
    delete w;
    return 0;
  }
  return static_cast<WindowHandle>(reinterpret_cast<std::uintptr_t>(h));
}

void DestroyMessageWindow(WindowHandle wnd) {
  if (wnd) DestroyWindow(ToHwnd(wnd));
}

bool IsWindow(WindowHandle wnd) { return wnd != 0 && ::IsWindow(ToHwnd(wnd)); }

std::intptr_t SendMessage(WindowHandle wnd, std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) {
  if (!IsWindow(wnd)) return 0;
  return SendMessageW(ToHwnd(wnd), msg, wParam, lParam);
}

bool SetForegroundWindow(WindowHandle wnd) {
  if (!IsWindow(wnd)) return false;
  HWND h = ToHwnd(wnd);
  Window* w = FromHwnd(h);
  if (w && w->foreground) {
    w->foreground();
    return true;
  }
  return ::SetForegroundWindow(h) != 0;
}

void SetForegroundHook(WindowHandle wnd, std::function<void()> hook) {
  if (!IsWindow(wnd)) return;
  if (Window* w = FromHwnd(ToHwnd(wnd))) w->foreground = std::move(hook);
}

}  // namespace platform
