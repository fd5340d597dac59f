// SPDX-License-Identifier: MIT
#include "gui_win32/status_bar.h"

#include <commctrl.h>

#include "gui_win32/win_text.h"
#include "session/status_text.h"

void StatusBar::Create(HWND parent, HFONT font) {
  hwnd_ = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, parent, nullptr,
                          GetModuleHandleW(nullptr), nullptr);
  SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
  Layout();
  SetRows(0, 0);
}

int StatusBar::Layout() {
  SendMessageW(hwnd_, WM_SIZE, 0, 0);
  // Rows and problems as wide as their longest usual texts, the notice the rest.
  const int edges[3] = {180, 380, -1};
  SendMessageW(hwnd_, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(edges));
  RECT rc;
  GetWindowRect(hwnd_, &rc);
  return rc.bottom - rc.top;
}

void StatusBar::SetPart(int part, const std::wstring& text) {
  SendMessageW(hwnd_, SB_SETTEXTW, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text.c_str()));
}

void StatusBar::SetRows(std::size_t rows, std::size_t checked) { SetPart(kRowsPart, U(RowsStatusText(rows, checked))); }

void StatusBar::SetProblems(std::size_t problems) {
  problems_ = problems;
  SetPart(kProblemsPart, problems ? U(ProblemsStatusText(problems)) : std::wstring());
}

void StatusBar::SetNotice(const std::string& utf8) { SetPart(kNoticePart, U(utf8)); }

std::wstring StatusBar::Text(int part) const {
  const int length = LOWORD(SendMessageW(hwnd_, SB_GETTEXTLENGTHW, static_cast<WPARAM>(part), 0));
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  SendMessageW(hwnd_, SB_GETTEXTW, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(length));
  return text;
}

bool StatusBar::IsProblemsClick(const NMHDR* hdr) const {
  if (hdr->hwndFrom != hwnd_ || (hdr->code != NM_CLICK && hdr->code != NM_DBLCLK)) return false;
  const auto* mouse = reinterpret_cast<const NMMOUSE*>(hdr);
  return problems_ > 0 && mouse->dwItemSpec == static_cast<DWORD_PTR>(kProblemsPart);
}
