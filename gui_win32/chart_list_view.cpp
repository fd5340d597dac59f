// SPDX-License-Identifier: MIT
#include "gui_win32/chart_list_view.h"

#include <commctrl.h>

#include "gui_win32/win_text.h"
#include "session/column_table.h"
#include "session/library_columns.h"
#include "session/status_text.h"

namespace {

// Rows in sight are drawn as they come, but not more often than a screen
// shows them: a drop adds rows faster than that.
constexpr unsigned long long kRowPaintIntervalMs = 40;
constexpr UINT kIdAutoFit = 1;
// A soft tint for a chart listed before, readable under any text colour.
constexpr COLORREF kDuplicateTint = RGB(255, 236, 200);

int ListFormat(ColumnAlign align) {
  switch (align) {
    case ColumnAlign::kRight:
      return LVCFMT_RIGHT;
    case ColumnAlign::kCenter:
      return LVCFMT_CENTER;
    default:
      return LVCFMT_LEFT;
  }
}

}  // namespace

ChartListView::ChartListView(ChartList& list) : list_(list) { list_.SetObserver(this); }

ChartListView::~ChartListView() { list_.SetObserver(nullptr); }

void ChartListView::Create(HWND parent, HFONT font) {
  font_ = font;
  hwnd_ = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                          WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS |
                              LVS_EDITLABELS,
                          0, 0, 0, 0, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
  SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
  ListView_SetExtendedListViewStyle(hwnd_, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
  for (int i = 0; i < kChartColumnCount; ++i) InsertColumn(i, i, ColumnAt(i).designedWidth);
  header_ = ListView_GetHeader(hwnd_);
  SetWindowSubclass(hwnd_, ListProcedure, 1, reinterpret_cast<DWORD_PTR>(this));
  SetWindowSubclass(header_, HeaderProcedure, 1, reinterpret_cast<DWORD_PTR>(this));
}

void ChartListView::InsertColumn(int place, int column, int width) {
  std::wstring caption = U(ColumnAt(column).caption);
  LVCOLUMNW c{};
  c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
  c.fmt = ListFormat(ColumnAt(column).align);
  c.cx = width;
  c.pszText = caption.data();
  c.iSubItem = column;  // what the texts are asked for by
  ListView_InsertColumn(hwnd_, place, &c);
}

int ChartListView::ColumnCount() const { return Header_GetItemCount(ListView_GetHeader(hwnd_)); }
int ChartListView::ColumnWidth(int column) const { return ListView_GetColumnWidth(hwnd_, column); }
void ChartListView::SetColumnWidth(int column, int width) { ListView_SetColumnWidth(hwnd_, column, width); }

void ChartListView::SetOptionalColumns(const SessionOptions& options, const std::function<int(int)>& width) {
  if (options.hashColumns == hashColumns_ && options.chartFacts == chartFacts_ &&
      options.libraryColumns == lookupColumns_)
    return;
  while (ColumnCount() > kChartColumnCount) ListView_DeleteColumn(hwnd_, ColumnCount() - 1);
  hashColumns_ = options.hashColumns;
  chartFacts_ = options.chartFacts;
  // The tint comes and goes with the collection's columns.
  if (lookupColumns_ != options.libraryColumns) InvalidateRect(hwnd_, nullptr, TRUE);
  lookupColumns_ = options.libraryColumns;
  for (int place = kChartColumnCount; place < ShownColumnCount(options); ++place) {
    const int column = ShownColumn(options, place);
    InsertColumn(place, column, width(column));
  }
}

void ChartListView::LookupsChanged() {
  if (lookupColumns_) InvalidateRect(hwnd_, nullptr, TRUE);
}

bool ChartListView::IsDuplicate(std::size_t row) const {
  return lookupColumns_ && lookups_ && lookups_->IsDuplicate(row);
}

void ChartListView::SetDisplayEncoding(DisplayEncoding display) {
  if (display == display_) return;
  display_ = display;
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void ChartListView::ShowSortDirection(int column, bool ascending) {
  for (int i = 0; i < ColumnCount(); ++i) {
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    Header_GetItem(header_, i, &item);
    item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
    if (i == column) item.fmt |= ascending ? HDF_SORTUP : HDF_SORTDOWN;
    Header_SetItem(header_, i, &item);
  }
}

int ChartListView::SortArrow(int column) const {
  HDITEMW item{};
  item.mask = HDI_FORMAT;
  Header_GetItem(header_, column, &item);
  return item.fmt & (HDF_SORTUP | HDF_SORTDOWN);
}

void ChartListView::AutoFitColumns() {
  const int last = ColumnCount() - 1;
  for (int i = 0; i < last; ++i) ListView_SetColumnWidth(hwnd_, i, LVSCW_AUTOSIZE_USEHEADER);
  // The last column would fill the rest of the view: contents or caption,
  // whichever is wider, as the others.
  ListView_SetColumnWidth(hwnd_, last, LVSCW_AUTOSIZE);
  std::wstring caption = U(ColumnAt(ColumnAtPlace(last)).caption);
  const int captionWidth = ListView_GetStringWidth(hwnd_, caption.c_str()) + 16;
  if (ColumnWidth(last) < captionWidth) SetColumnWidth(last, captionWidth);
}

std::vector<std::size_t> ChartListView::SelectedRows() const {
  std::vector<std::size_t> rows;
  for (int i = ListView_GetNextItem(hwnd_, -1, LVNI_SELECTED); i >= 0; i = ListView_GetNextItem(hwnd_, i, LVNI_SELECTED))
    rows.push_back(static_cast<std::size_t>(i));
  return rows;
}

POINT ChartListView::ContextMenuPoint() const {
  RECT rc{};
  GetClientRect(hwnd_, &rc);
  POINT at{8, 8};
  if (IsWindowVisible(header_)) {
    RECT head{};
    GetWindowRect(header_, &head);
    at.y += head.bottom - head.top;
  }
  const int row = ListView_GetNextItem(hwnd_, -1, LVNI_SELECTED);
  RECT item{};
  if (row >= 0 && ListView_GetItemRect(hwnd_, row, &item, LVIR_LABEL) && item.bottom > at.y && item.bottom < rc.bottom)
    at = {item.left + 8, item.bottom};
  ClientToScreen(hwnd_, &at);
  return at;
}

void ChartListView::ToggleSelectedChecks() {
  for (std::size_t row : SelectedRows())
    if (row < list_.Count()) list_.SetChecked(row, !list_.Row(row).checked);
}

std::wstring ChartListView::CellText(std::size_t row, int column) const {
  if (row >= list_.Count()) return {};
  if (column >= kLookupColumn) return lookups_ ? U(lookups_->Text(row, column - kLookupColumn)) : std::wstring();
  return U(ColumnUtf8(list_.Row(row), column, display_));
}

bool ChartListView::OnNotify(NMHDR* hdr, LRESULT& result) {
  if (hdr->hwndFrom != hwnd_) return false;
  switch (hdr->code) {
    case LVN_GETDISPINFOW: {
      auto* di = reinterpret_cast<NMLVDISPINFOW*>(hdr);
      if ((di->item.mask & LVIF_TEXT) && di->item.cchTextMax > 0) {
        std::wstring text = CellText(static_cast<std::size_t>(di->item.iItem), di->item.iSubItem);
        lstrcpynW(di->item.pszText, text.c_str(), di->item.cchTextMax);
      }
      return true;
    }
    case NM_CUSTOMDRAW: {
      auto* cd = reinterpret_cast<NMLVCUSTOMDRAW*>(hdr);
      if (cd->nmcd.dwDrawStage == CDDS_PREPAINT) {
        result = lookupColumns_ ? CDRF_NOTIFYITEMDRAW : CDRF_DODEFAULT;
      } else if (cd->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
        if (IsDuplicate(static_cast<std::size_t>(cd->nmcd.dwItemSpec))) cd->clrTextBk = kDuplicateTint;
        result = CDRF_DODEFAULT;
      }
      return true;
    }
    case LVN_GETINFOTIPW: {
      // Names the earlier row's archive over a tinted row.
      auto* tip = reinterpret_cast<NMLVGETINFOTIPW*>(hdr);
      const std::size_t row = static_cast<std::size_t>(tip->iItem);
      if (tip->cchTextMax > 0 && IsDuplicate(row)) {
        const std::wstring text = U(lookups_->DuplicateTip(row));
        lstrcpynW(tip->pszText, text.c_str(), tip->cchTextMax);
      }
      return true;
    }
    case LVN_ENDLABELEDITW: {
      auto* di = reinterpret_cast<NMLVDISPINFOW*>(hdr);
      if (di->item.pszText && static_cast<std::size_t>(di->item.iItem) < list_.Count()) {
        list_.SetCaption(static_cast<std::size_t>(di->item.iItem), platform::win32::WideToCp932(di->item.pszText));
        result = TRUE;
      }
      return true;
    }
    case LVN_ITEMCHANGED: {
      auto* nm = reinterpret_cast<NMLISTVIEW*>(hdr);
      if (syncing_ || !(nm->uChanged & LVIF_STATE) || !((nm->uNewState ^ nm->uOldState) & LVIS_STATEIMAGEMASK))
        return true;
      const std::size_t row = static_cast<std::size_t>(nm->iItem);
      const bool checked = ((nm->uNewState & LVIS_STATEIMAGEMASK) >> 12) == 2;
      if (row < list_.Count() && list_.Row(row).checked != checked) list_.SetChecked(row, checked);
      return true;
    }
    default:
      return false;
  }
}

void ChartListView::SyncCheck(std::size_t row) {
  syncing_ = true;
  ListView_SetCheckState(hwnd_, static_cast<int>(row), list_.Row(row).checked);
  syncing_ = false;
}

void ChartListView::RowAppended(std::size_t index) {
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iItem = static_cast<int>(index);
  item.pszText = LPSTR_TEXTCALLBACKW;
  syncing_ = true;
  ListView_InsertItem(hwnd_, &item);
  syncing_ = false;
  SyncCheck(index);
  if (onChecksChanged) onChecksChanged();
  // The first row takes the hint away, all of it, not only where the row is.
  if (list_.Count() == 1) InvalidateRect(hwnd_, nullptr, TRUE);
  // Drawn now, at the screen's pace: the pipeline adds rows without
  // returning to the message loop; rows that came meanwhile come with the next.
  const unsigned long long now = GetTickCount64();
  if (now - lastRowPaint_ >= kRowPaintIntervalMs) {
    UpdateWindow(hwnd_);
    lastRowPaint_ = now;
  }
}

void ChartListView::RowChanged(std::size_t index) {
  SyncCheck(index);
  ListView_RedrawItems(hwnd_, static_cast<int>(index), static_cast<int>(index));
  if (onChecksChanged) onChecksChanged();
}

void ChartListView::RowsReordered() {
  for (std::size_t i = 0; i < list_.Count(); ++i) SyncCheck(i);
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void ChartListView::ListReset() {
  // Rows went from anywhere in the list: the items are made again, one per
  // row, their texts asked for when drawn as always.
  SendMessageW(hwnd_, WM_SETREDRAW, FALSE, 0);
  syncing_ = true;
  ListView_DeleteAllItems(hwnd_);
  ListView_SetItemCount(hwnd_, static_cast<int>(list_.Count()));
  for (std::size_t i = 0; i < list_.Count(); ++i) {
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(i);
    item.pszText = LPSTR_TEXTCALLBACKW;
    ListView_InsertItem(hwnd_, &item);
    ListView_SetCheckState(hwnd_, static_cast<int>(i), list_.Row(i).checked);
  }
  syncing_ = false;
  SendMessageW(hwnd_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(hwnd_, nullptr, TRUE);
  if (onChecksChanged) onChecksChanged();
}

void ChartListView::DrawEmptyHint() {
  RECT rc, head{};
  GetClientRect(hwnd_, &rc);
  if (IsWindowVisible(header_)) GetWindowRect(header_, &head);
  rc.top += head.bottom - head.top;
  InflateRect(&rc, -16, -16);
  rc.top += 16;
  std::wstring hint = U(EmptyListHint());
  HDC dc = GetDC(hwnd_);
  HGDIOBJ old = SelectObject(dc, font_);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  DrawTextW(dc, hint.c_str(), static_cast<int>(hint.size()), &rc, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
  SelectObject(dc, old);
  ReleaseDC(hwnd_, dc);
}

void ChartListView::ShowHeaderMenu(POINT screen) {
  HMENU menu = CreatePopupMenu();
  AppendMenuW(menu, MF_STRING, kIdAutoFit, U(AutoFitColumnsCaption()).c_str());
  const UINT chosen = static_cast<UINT>(
      TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, screen.x, screen.y, 0, GetParent(hwnd_), nullptr));
  DestroyMenu(menu);
  if (chosen == kIdAutoFit) {
    AutoFitColumns();
    if (onAutoFit) onAutoFit();
  }
}

LRESULT CALLBACK ChartListView::ListProcedure(HWND h, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                              DWORD_PTR self) {
  auto* view = reinterpret_cast<ChartListView*>(self);
  switch (msg) {
    case WM_PAINT: {
      const LRESULT r = DefSubclassProc(h, msg, wParam, lParam);
      if (ListView_GetItemCount(h) == 0) view->DrawEmptyHint();
      return r;
    }
    case WM_KEYDOWN:
      // The view's own Space turns over only the focused row's box.
      if (wParam == VK_SPACE) {
        view->ToggleSelectedChecks();
        return 0;
      }
      break;
    case WM_CHAR:
      if (wParam == L' ') return 0;  // no search for a blank after the toggle
      break;
    case WM_SIZE:
      // The hint is centred: a new size moves all of it.
      if (ListView_GetItemCount(h) == 0) InvalidateRect(h, nullptr, TRUE);
      break;
    default:
      break;
  }
  return DefSubclassProc(h, msg, wParam, lParam);
}

LRESULT CALLBACK ChartListView::HeaderProcedure(HWND h, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                                DWORD_PTR self) {
  if (msg == WM_RBUTTONUP || msg == WM_CONTEXTMENU) {
    POINT at;
    if (msg == WM_RBUTTONUP) {
      at = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      ClientToScreen(h, &at);
    } else {
      at = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      if (at.x == -1 && at.y == -1) {  // from the keyboard: below the header's corner
        RECT rc;
        GetWindowRect(h, &rc);
        at = {rc.left + 8, rc.bottom};
      }
    }
    reinterpret_cast<ChartListView*>(self)->ShowHeaderMenu(at);
    return 0;
  }
  return DefSubclassProc(h, msg, wParam, lParam);
}
