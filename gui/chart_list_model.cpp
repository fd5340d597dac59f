// SPDX-License-Identifier: MIT
#include "gui/chart_list_model.h"

#include <QColor>
#include <QStringList>

#include "gui/qt_text.h"
#include "session/column_table.h"
#include "session/library_columns.h"

namespace {
Qt::Alignment QtAlignment(ColumnAlign align) {
  switch (align) {
    case ColumnAlign::kRight:
      return Qt::AlignRight;
    case ColumnAlign::kCenter:
      return Qt::AlignHCenter;
    case ColumnAlign::kLeft:
      break;
  }
  return Qt::AlignLeft;
}

// A soft tint that leaves every text readable, selected or not.
const QColor kDuplicateTint(255, 236, 200);
}  // namespace


ChartListModel::ChartListModel(ChartList& list, QObject* parent)
    : QAbstractTableModel(parent), list_(list), shown_(static_cast<int>(list.Count())) {
  list_.SetObserver(this);
}

ChartListModel::~ChartListModel() { list_.SetObserver(nullptr); }

int ChartListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : shown_; }

int ChartListModel::columnCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  return kChartColumnCount + (hashColumns_ ? kColumnCountWithHashes - kChartColumnCount : 0) +
         (factColumns_ ? kFactColumnCount : 0) + (lookupColumns_ ? kLookupColumnCount : 0);
}

int ChartListModel::LogicalColumn(int section) const { return ShownColumn(hashColumns_, factColumns_, section); }

QVariant ChartListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= shown_) return {};
  const std::size_t at = static_cast<std::size_t>(index.row());
  const ChartRow& row = list_.Row(at);
  const int column = LogicalColumn(index.column());
  const bool duplicate = lookupColumns_ && lookups_ && lookups_->IsDuplicate(at);
  if (column >= kLookupColumn) {
    if (role == Qt::DisplayRole && lookups_) return QString::fromStdString(lookups_->Text(at, column - kLookupColumn));
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(QtAlignment(ColumnAt(column).align) | Qt::AlignVCenter);
    if (role != Qt::BackgroundRole && role != Qt::ToolTipRole) return {};
  }
  if (role == Qt::BackgroundRole) return duplicate ? QVariant(kDuplicateTint) : QVariant();
  if (role == Qt::ToolTipRole && duplicate && column != kFactsColumn + fcMissing)
    return QString::fromStdString(lookups_->DuplicateTip(at));
  switch (role) {
    case Qt::DisplayRole:
      return QString::fromStdString(ColumnDisplayText(row, column, display_));
    case Qt::EditRole:
      // The caption, edited in place, is CP932 like every name, so editing
      // round-trips whatever the header values are in.
      return QString::fromStdString(ColumnUtf8(row, column, display_));
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(QtAlignment(ColumnAt(column).align) | Qt::AlignVCenter);
    case Qt::ToolTipRole: {
      // The files behind the Missing count.
      if (column != kFactsColumn + fcMissing || !row.facts) return {};
      QStringList names;
      for (const std::string& name : row.facts->missingNames)
        names << QString::fromStdString(platform::DecodeToUtf8(row.encoding, name));
      if (names.isEmpty()) return {};
      return names.join(QLatin1Char('\n'));
    }
    case Qt::CheckStateRole:
      if (index.column() == 0) return row.checked ? Qt::Checked : Qt::Unchecked;
      return {};
    default:
      return {};
  }
}

bool ChartListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || index.column() != 0 || index.row() >= shown_) return false;
  std::size_t row = static_cast<std::size_t>(index.row());
  if (role == Qt::EditRole) {
    list_.SetCaption(row, Cp932FromQString(value.toString()));
    return true;
  }
  if (role == Qt::CheckStateRole) {
    list_.SetChecked(row, value.toInt() == Qt::Checked);
    return true;
  }
  return false;
}

Qt::ItemFlags ChartListModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (index.column() == 0) f |= Qt::ItemIsEditable | Qt::ItemIsUserCheckable;
  return f;
}

QVariant ChartListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
  const ColumnSpec& column = ColumnAt(LogicalColumn(section));
  if (role == Qt::DisplayRole) return QString::fromLatin1(column.caption);
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(QtAlignment(column.align) | Qt::AlignVCenter);
  return {};
}

void ChartListModel::RowAppended(std::size_t index) {
  int row = static_cast<int>(index);
  beginInsertRows(QModelIndex(), shown_, row);
  shown_ = row + 1;
  endInsertRows();
}

void ChartListModel::RowChanged(std::size_t index) {
  int row = static_cast<int>(index);
  if (row >= shown_) return;
  emit dataChanged(this->index(row, 0), this->index(row, columnCount() - 1));
}

void ChartListModel::SetHashColumns(bool shown) {
  if (shown == hashColumns_) return;
  if (shown) {
    beginInsertColumns(QModelIndex(), kChartColumnCount, kColumnCountWithHashes - 1);
    hashColumns_ = true;
    endInsertColumns();
  } else {
    beginRemoveColumns(QModelIndex(), kChartColumnCount, kColumnCountWithHashes - 1);
    hashColumns_ = false;
    endRemoveColumns();
  }
}

void ChartListModel::SetFactColumns(bool shown) {
  if (shown == factColumns_) return;
  // Right after the hash columns, before the collection's.
  const int first = kChartColumnCount + (hashColumns_ ? kColumnCountWithHashes - kChartColumnCount : 0);
  if (shown) {
    beginInsertColumns(QModelIndex(), first, first + kFactColumnCount - 1);
    factColumns_ = true;
    endInsertColumns();
  } else {
    beginRemoveColumns(QModelIndex(), first, first + kFactColumnCount - 1);
    factColumns_ = false;
    endRemoveColumns();
  }
}

void ChartListModel::SetLookupColumns(LibraryColumns* lookups, bool shown) {
  lookups_ = lookups;
  if (shown == lookupColumns_) return;
  const int first = columnCount() - (lookupColumns_ ? kLookupColumnCount : 0);
  if (shown) {
    beginInsertColumns(QModelIndex(), first, first + kLookupColumnCount - 1);
    lookupColumns_ = true;
    endInsertColumns();
  } else {
    beginRemoveColumns(QModelIndex(), first, first + kLookupColumnCount - 1);
    lookupColumns_ = false;
    endRemoveColumns();
  }
  // The tint comes and goes with them.
  if (shown_ > 0) emit dataChanged(index(0, 0), index(shown_ - 1, columnCount() - 1), {Qt::BackgroundRole});
}

void ChartListModel::LookupsChanged() {
  if (lookupColumns_ && shown_ > 0) emit dataChanged(index(0, 0), index(shown_ - 1, columnCount() - 1));
}

void ChartListModel::SetDisplayEncoding(DisplayEncoding display) {
  if (display == display_) return;
  display_ = display;
  if (shown_ > 0) emit dataChanged(index(0, 0), index(shown_ - 1, columnCount() - 1), {Qt::DisplayRole});
}

void ChartListModel::RowsReordered() {
  // The list does not say where each row went, so no index may keep
  // pointing at a row position that now holds another chart: selection and
  // current row are dropped rather than left on the wrong chart.
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  const QModelIndexList stale = persistentIndexList();
  changePersistentIndexList(stale, QModelIndexList(stale.size()));
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void ChartListModel::ListReset() {
  beginResetModel();
  shown_ = static_cast<int>(list_.Count());
  endResetModel();
}
