// SPDX-License-Identifier: MIT
#include "gui_win32/problem_list.h"

#include "gui_win32/window_class.h"

#include <commctrl.h>

#include "gui_win32/win_text.h"
#include "session/status_text.h"

namespace {

constexpr wchar_t kClassName[] = L"BmslistProblemList";

void AddColumn(HWND list, int index, const std::string& captionUtf8, int width) {
  std::wstring caption = U(captionUtf8);
  LVCOLUMNW c{};
  c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
  c.cx = width;
  c.pszText = caption.data();
  c.iSubItem = index;
  ListView_InsertColumn(list, index, &c);
}

}  // namespace

void SplitArchivePath(const std::wstring& path, std::wstring& name, std::wstring& folder) {
  const std::size_t cut = path.find_last_of(L"\\/");
  if (cut == std::wstring::npos) {
    name = path;
    folder.clear();
    return;
  }
  name = path.substr(cut + 1);
  // A drive's root keeps its delimiter ("C:\"), any other folder drops it.
  folder = path.substr(0, cut == 2 && path[1] == L':' ? cut + 1 : cut);
}

ProblemList::ProblemList(HWND owner, HFONT font) {
  HINSTANCE inst = GetModuleHandleW(nullptr);
  RegisterWindowClass(kClassName, Procedure);
  RECT at;
  GetWindowRect(owner, &at);
  hwnd_ = CreateWindowExW(0, kClassName, U(ProblemListCaption()).c_str(), WS_OVERLAPPEDWINDOW, at.left + 40,
                          at.top + 40, 640, 300, owner, nullptr, inst, nullptr);
  list_ = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS,
                          0, 0, 0, 0, hwnd_, nullptr, inst, nullptr);
  SendMessageW(list_, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
  ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
  AddColumn(list_, 0, ProblemListArchiveCaption(), 160);
  AddColumn(list_, 1, ProblemListReasonCaption(), 300);
  AddColumn(list_, 2, ProblemListFolderCaption(), 160);
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(list_));
  RECT rc;
  GetClientRect(hwnd_, &rc);
  MoveWindow(list_, 0, 0, rc.right, rc.bottom, FALSE);
}

ProblemList::~ProblemList() {
  if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

LRESULT CALLBACK ProblemList::Procedure(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_SIZE:
      if (HWND list = reinterpret_cast<HWND>(GetWindowLongPtrW(h, GWLP_USERDATA)))
        MoveWindow(list, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
      return 0;
    case WM_CLOSE:
      ShowWindow(h, SW_HIDE);  // kept: the session's problems stay listed
      return 0;
    case WM_NOTIFY: {
      auto* key = reinterpret_cast<NMLVKEYDOWN*>(lParam);
      if (key->hdr.code == LVN_KEYDOWN && key->wVKey == VK_ESCAPE) ShowWindow(h, SW_HIDE);
      return 0;
    }
    default:
      return DefWindowProcW(h, msg, wParam, lParam);
  }
}

void ProblemList::Add(const std::wstring& path, const std::wstring& reasons) {
  std::wstring name, folder, reason = reasons;
  SplitArchivePath(path, name, folder);
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iItem = Count();
  item.pszText = name.data();
  const int row = ListView_InsertItem(list_, &item);
  ListView_SetItemText(list_, row, 1, reason.data());
  ListView_SetItemText(list_, row, 2, folder.data());
  ListView_EnsureVisible(list_, row, FALSE);
}

int ProblemList::Count() const { return ListView_GetItemCount(list_); }

void ProblemList::Show() {
  ShowWindow(hwnd_, SW_SHOWNORMAL);
  SetForegroundWindow(hwnd_);
  SetFocus(list_);
}
