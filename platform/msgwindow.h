// SPDX-License-Identifier: MIT
#pragma once
// The few window-message services the archive layer needs, without a window
// system: a registered message id per name, hidden "windows" that are just
// handles mapped to handlers, and a synchronous send that returns the
// handler's answer. The host and the archiver libraries share one registry
// (this library is loaded once per process).
#include <cstdint>
#include <functional>
#include <string_view>

namespace platform {

using WindowHandle = std::uint32_t;  // 32-bit, as the archiver interface passes it

using MessageHandler = std::function<std::intptr_t(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam)>;

// RegisterWindowMessageA: the same id for the same name (case-insensitive),
// ids from 0xC000 up.
std::uint32_t RegisterWindowMessage(std::string_view name);

// A hidden message window; never 0.
WindowHandle CreateMessageWindow(MessageHandler handler);
void DestroyMessageWindow(WindowHandle wnd);
bool IsWindow(WindowHandle wnd);

// SendMessageA: calls the window's handler on the calling thread and returns
// its answer; 0 for a window that does not exist.
std::intptr_t SendMessage(WindowHandle wnd, std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam);

// SetForegroundWindow: runs the window's foreground hook, if one is set.
bool SetForegroundWindow(WindowHandle wnd);
void SetForegroundHook(WindowHandle wnd, std::function<void()> hook);

}  // namespace platform
