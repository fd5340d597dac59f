// SPDX-License-Identifier: MIT
#pragma once
// The list view of the main window over the session's chart list: report
// style with check boxes and in-place caption editing, the columns of the
// column table, each row's text decoded as the Qt model decodes it (the
// chart's own encoding, or CP932 as the options say), the sort direction in
// the header, a hint over the empty list and the header's context menu.
// Space toggles the checks of the selected rows; rows removed from the
// list leave the view.
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "charts/chart_list.h"
#include "charts/column_text.h"
#include "platform/win32/windows_api.h"
#include "session/column_table.h"

class LibraryColumns;

class ChartListView : public ChartListObserver {
 public:
  explicit ChartListView(ChartList& list);
  ~ChartListView() override;
  ChartListView(const ChartListView&) = delete;
  ChartListView& operator=(const ChartListView&) = delete;

  void Create(HWND parent, HFONT font);
  HWND Handle() const { return hwnd_; }

  int ColumnCount() const;
  int ColumnWidth(int column) const;
  void SetColumnWidth(int column, int width);
  // Shows the columns the options add after the thirteen (hashes, facts,
  // the collection's) at the widths `width` gives each column, or takes
  // them away.
  void SetOptionalColumns(const SessionOptions& options, const std::function<int(int)>& width);
  // Where the collection's columns take their texts, and which rows are
  // tinted as charts listed before (set once, outlives the view).
  void SetLookups(LibraryColumns* lookups) { lookups_ = lookups; }
  // The collection's texts may all have changed.
  void LookupsChanged();
  // The column (of the column table) shown at a place of the header.
  int ColumnAtPlace(int place) const { return ShownColumn(hashColumns_, chartFacts_, place); }
  void SetDisplayEncoding(DisplayEncoding display);
  // The arrow of the last sort: the list's sign, not the column's.
  void ShowSortDirection(int column, bool ascending);
  int SortArrow(int column) const;  // HDF_SORTUP, HDF_SORTDOWN or 0
  // Every column as wide as its contents and caption.
  void AutoFitColumns();
  std::vector<std::size_t> SelectedRows() const;
  // Where a context menu asked for from the keyboard opens (screen
  // coordinates): at the selected row in sight, else the list's corner.
  POINT ContextMenuPoint() const;
  // Space: each selected row's check turned over.
  void ToggleSelectedChecks();
  // The text a cell shows.
  std::wstring CellText(std::size_t row, int column) const;

  // The list view's notifications that concern only the list: texts asked
  // for, a caption edited, a check changed, a row drawn (the tint) and its
  // tip. True when handled.
  bool OnNotify(NMHDR* hdr, LRESULT& result);

  std::function<void()> onChecksChanged;  // also after rows come or go
  std::function<void()> onAutoFit;        // the header menu's entry chosen

  // ChartListObserver
  void RowAppended(std::size_t index) override;
  void RowChanged(std::size_t index) override;
  void RowsReordered() override;
  void ListReset() override;

 private:
  static LRESULT CALLBACK ListProcedure(HWND h, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self);
  static LRESULT CALLBACK HeaderProcedure(HWND h, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self);
  void InsertColumn(int place, int column, int width);
  void SyncCheck(std::size_t row);
  void DrawEmptyHint();
  void ShowHeaderMenu(POINT screen);
  bool IsDuplicate(std::size_t row) const;

  ChartList& list_;
  HWND hwnd_ = nullptr;
  HWND header_ = nullptr;
  HFONT font_ = nullptr;
  DisplayEncoding display_ = DisplayEncoding::kDetected;
  bool hashColumns_ = false, chartFacts_ = false, lookupColumns_ = false;
  LibraryColumns* lookups_ = nullptr;
  unsigned long long lastRowPaint_ = 0;
  bool syncing_ = false;
};
