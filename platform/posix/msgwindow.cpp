// SPDX-License-Identifier: MIT
#include "platform/msgwindow.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "platform/cp932.h"

namespace platform {

namespace {
struct Window {
  MessageHandler handler;
  std::function<void()> foreground;
};

struct Registry {
  std::mutex m;
  std::map<std::string, std::uint32_t> messages;
  std::map<WindowHandle, std::shared_ptr<Window>> windows;
  WindowHandle next = 0x10000;
};

Registry& Reg() {
  static Registry r;
  return r;
}

std::shared_ptr<Window> Find(WindowHandle wnd) {
  Registry& r = Reg();
  std::lock_guard<std::mutex> lock(r.m);
  auto it = r.windows.find(wnd);
  return it == r.windows.end() ? nullptr : it->second;
}
}  // namespace

std::uint32_t RegisterWindowMessage(std::string_view name) {
  if (name.empty()) return 0;
  Registry& r = Reg();
  std::lock_guard<std::mutex> lock(r.m);
  std::string key = AsciiUpper(name);
  auto it = r.messages.find(key);
  if (it != r.messages.end()) return it->second;
  std::uint32_t id = 0xC000 + static_cast<std::uint32_t>(r.messages.size());
  r.messages.emplace(key, id);
  return id;
}

WindowHandle CreateMessageWindow(MessageHandler handler) {
  Registry& r = Reg();
  std::lock_guard<std::mutex> lock(r.m);
  WindowHandle h = r.next++;
  if (r.next == 0) r.next = 0x10000;
  auto w = std::make_shared<Window>();
  w->handler = std::move(handler);
  r.windows[h] = std::move(w);
  return h;
}

void DestroyMessageWindow(WindowHandle wnd) {
  Registry& r = Reg();
  std::lock_guard<std::mutex> lock(r.m);
  r.windows.erase(wnd);
}

bool IsWindow(WindowHandle wnd) { return Find(wnd) != nullptr; }

std::intptr_t SendMessage(WindowHandle wnd, std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) {
  auto w = Find(wnd);
  if (!w || !w->handler) return 0;
  return w->handler(msg, wParam, lParam);
}

bool SetForegroundWindow(WindowHandle wnd) {
  auto w = Find(wnd);
  if (!w) return false;
  std::function<void()> hook;
  {
    // Two unpacking threads may call this while the hook is being set.
    std::lock_guard<std::mutex> lock(Reg().m);
    hook = w->foreground;
  }
  if (hook) hook();
  return true;
}

void SetForegroundHook(WindowHandle wnd, std::function<void()> hook) {
  if (auto w = Find(wnd)) {
    std::lock_guard<std::mutex> lock(Reg().m);
    w->foreground = std::move(hook);
  }
}

}  // namespace platform
