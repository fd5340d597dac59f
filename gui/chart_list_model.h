// SPDX-License-Identifier: MIT
#pragma once
// The Qt face of a ChartList: thirteen columns (and the optional ones), a
// check box and an editable caption in the first column. The list stays the one owner of
// rows and order; this model only reports what the list tells it.
#include <QAbstractTableModel>

#include "charts/chart_list.h"
#include "charts/column_text.h"

class LibraryColumns;

class ChartListModel : public QAbstractTableModel, private ChartListObserver {
  Q_OBJECT

 public:
  explicit ChartListModel(ChartList& list, QObject* parent = nullptr);
  ~ChartListModel() override;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

  // The MD5 and SHA-256 columns after the thirteen, or not.
  void SetHashColumns(bool shown);
  bool HashColumns() const { return hashColumns_; }
  // The facts columns after those, or not.
  void SetFactColumns(bool shown);
  bool FactColumns() const { return factColumns_; }
  // The collection's columns after those, or not, with their texts from
  // `lookups` (which outlives the model); a row whose chart a row above
  // holds too is tinted, with a tooltip naming that row's archive.
  void SetLookupColumns(LibraryColumns* lookups, bool shown);
  bool LookupColumns() const { return lookupColumns_; }
  // The lookups may all have changed (a scan ended, a table came or went).
  void LookupsChanged();
  // The row's column (kColumnTable; ChartRow::ColumnText below
  // kLookupColumn) shown at `section`.
  int LogicalColumn(int section) const;
  // How the header values are decoded for display.
  void SetDisplayEncoding(DisplayEncoding display);

 private:
  void RowAppended(std::size_t index) override;
  void RowChanged(std::size_t index) override;
  void RowsReordered() override;
  void ListReset() override;

  ChartList& list_;
  // Rows announced to views so far: the list has grown already when it
  // tells us, and views must not see the new row before rowsInserted.
  int shown_ = 0;
  bool hashColumns_ = false;
  bool factColumns_ = false;
  bool lookupColumns_ = false;
  LibraryColumns* lookups_ = nullptr;
  DisplayEncoding display_ = DisplayEncoding::kDetected;
};
