// SPDX-License-Identifier: MIT
#include "gui/form1.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScrollBar>
#include <QShortcut>
#include <QStatusBar>
#include <QStyle>
#include <QThread>
#include <QTimer>
#include <QTreeView>
#include <QUrl>

#include "charts/csv_export.h"
#include "charts/working_folder.h"
#include "drivers/detect_type.h"
#include "gui/chart_list_model.h"
#include "gui/chart_view.h"
#include "gui/drop_progress.h"
#include "gui/edit_actions.h"
#include "gui/error_box.h"
#include "gui/form2.h"
#include "gui/list_status.h"
#include "gui/menu_icons.h"
#include "gui/qt_text.h"
#include "gui/widget_placement.h"
#include "gui/window_font.h"
#include "platform/cp932.h"
#include "platform/io_error.h"
#include "platform/path_text.h"
#include "platform/paths.h"
#include "session/captions.h"
#include "session/column_table.h"
#include "session/export_target.h"
#include "session/product.h"
#include "session/settings_keys.h"
#include "session/status_text.h"
#include "settings/ini_write_error.h"

namespace {

// Rows in sight are drawn as they come, but not more often than a screen
// shows them.
constexpr qint64 kRowPaintIntervalMs = 40;

bool HasLocalFiles(const QMimeData* mime) {
  if (!mime || !mime->hasUrls()) return false;
  for (const QUrl& url : mime->urls())
    if (url.isLocalFile()) return true;
  return false;
}

// "アーカイブ (*.lzh *.LZH ...)": the extensions the archive type is told
// by, in both cases (the dialog matches names case-sensitively).
QStringList OpenDialogFilters() {
  QStringList patterns;
  for (const std::string& ext : ArchiveExtensions()) {
    QString e = QString::fromStdString(ext);
    patterns << "*" + e << "*" + e.toUpper();
  }
  return {QStringFromCp932(kArchivesFilterCaption) + " (" + patterns.join(' ') + ")",
          QStringFromCp932(kAllFilesFilterCaption) + " (*)"};
}

}  // namespace

TForm1::TForm1(QWidget* parent) : QMainWindow(parent) {
  // The stored layout: caption, font, designed size, components.
  setWindowTitle(QString::fromStdString(ProductCaption()));
  setFont(WindowFont());
  placement_ = new WidgetPlacement(*this);
  ImageList1 = MenuIcons();
  CreateList();
  CreateMenu();
  CreateSaveDialog();
  CreateOpenDialog();
  CreateShortcuts();
  CreateHeaderMenu();
  edit_ = new EditActions(*this);
  library_.onChanged = [this] { model_->LookupsChanged(); };
  status_ = new ListStatus(List(), *model_, this);
  statusBar()->addWidget(status_);
  progress_ = new DropProgress(this);
  progress_->onCancel = [this] { session_.RequestCancel(); };
  statusBar()->addPermanentWidget(progress_, 1);
  placement_->SetOuterSize(QSize(kDesignedWindowWidth, kDesignedWindowHeight));
  FormCreate();
}

TForm1::~TForm1() {
  // The view goes before the model it shows, the model before the list.
  delete LV;
  delete model_;
}

void TForm1::CreateList() {
  model_ = new ChartListModel(List());
  LV = new ChartView(this);
  LV->setObjectName(QStringLiteral("LV"));
  LV->setModel(model_);
  LV->setRootIsDecorated(false);
  LV->setItemsExpandable(false);
  LV->setUniformRowHeights(true);
  LV->setAllColumnsShowFocus(true);
  LV->setSelectionMode(QAbstractItemView::SingleSelection);
  LV->setSelectionBehavior(QAbstractItemView::SelectRows);
  // A click on the selected row's caption or F2 edits it in place.
  LV->setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
  LV->setSortingEnabled(false);  // the list sorts itself on a header click
  LV->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);

  QHeaderView* header = LV->header();
  header->setSectionsClickable(true);
  header->setSortIndicatorShown(false);
  header->setSectionsMovable(false);
  header->setStretchLastSection(false);
  header->setMinimumSectionSize(0);  // stored widths come back as they were, however narrow
  for (int i = 0; i < kChartColumnCount; ++i) LV->setColumnWidth(i, ColumnAt(i).designedWidth);
  connect(header, &QHeaderView::sectionClicked, this, &TForm1::LVColumnClick);

  connect(model_, &QAbstractItemModel::rowsInserted, this,
          [this](const QModelIndex&, int first, int last) { RepaintRows(first, last); });
  connect(model_, &QAbstractItemModel::dataChanged, this,
          [this](const QModelIndex& tl, const QModelIndex& br) { RepaintRows(tl.row(), br.row()); });
  connect(model_, &QAbstractItemModel::rowsAboutToBeInserted, this, &TForm1::FollowNewRows);
  connect(LV, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
    if (index.isValid()) OpenArchiveFolder(index.row());
  });
  setCentralWidget(LV);
}

void TForm1::CreateMenu() {
  File1 = menuBar()->addMenu(QStringFromCp932(kFileMenuCaption));
  File1->setObjectName(QStringLiteral("File1"));
  AreadCSV = new QAction(ImageList1[0], QStringFromCp932(kReadCsvCaption), this);
  AOutCSV = new QAction(ImageList1[1], QStringFromCp932(kOutCsvCaption), this);
  AQuit = new QAction(ImageList1[3], QStringFromCp932(kQuitCaption), this);
  AreadCSV->setObjectName(QStringLiteral("AreadCSV"));
  AOutCSV->setObjectName(QStringLiteral("AOutCSV"));
  AQuit->setObjectName(QStringLiteral("AQuit"));
  AOptions = new QAction(QStringFromCp932(kOptionsMenuCaption), this);
  AOptions->setObjectName(QStringLiteral("AOptions"));
  AOpen = new QAction(style()->standardIcon(QStyle::SP_DialogOpenButton), QStringFromCp932(kOpenCaption), this);
  AOpen->setObjectName(QStringLiteral("AOpen"));
  AOpen->setShortcut(QKeySequence::Open);
  File1->addAction(AOpen);
  File1->addSeparator();
  File1->addAction(AreadCSV);
  File1->addAction(AOutCSV);
  File1->addAction(AOptions);
  File1->addSeparator();
  File1->addAction(AQuit);
  connect(AOutCSV, &QAction::triggered, this, &TForm1::Button1Click);
  connect(AOptions, &QAction::triggered, this, &TForm1::AOptionsClick);
  connect(AOpen, &QAction::triggered, this, &TForm1::OpenClick);
  // After the list's own files: a table is read into the collection.
  AImportTable = new QAction(QString::fromUtf8(kImportTableCaption), this);
  AImportTable->setObjectName(QStringLiteral("AImportTable"));
  File1->insertAction(AOptions, AImportTable);
  connect(AImportTable, &QAction::triggered, this, &TForm1::ImportTableClick);

  connect(AQuit, &QAction::triggered, this, &QWidget::close);
  connect(AreadCSV, &QAction::triggered, this, &TForm1::ImportCsvClick);
}

void TForm1::CreateSaveDialog() {
  // Folder and name are set each time it opens (Button1Click).
  sd = new QFileDialog(this);
  sd->setObjectName(QStringLiteral("sd"));
  sd->setAcceptMode(QFileDialog::AcceptSave);
  sd->setFileMode(QFileDialog::AnyFile);
  sd->setNameFilter(QStringLiteral("CSV(*.csv)"));
  sd->setDefaultSuffix(QStringLiteral("csv"));
  // Qt's own dialog everywhere, so the default suffix and the question
  // before replacing a file hold whatever desktop runs the program.
  sd->setOptions(QFileDialog::DontUseNativeDialog);
  sd->setSizeGripEnabled(true);
}

void TForm1::CreateOpenDialog() {
  od = new QFileDialog(this);
  od->setObjectName(QStringLiteral("od"));
  od->setAcceptMode(QFileDialog::AcceptOpen);
  od->setFileMode(QFileDialog::ExistingFiles);
  od->setNameFilters(OpenDialogFilters());
  od->setOptions(QFileDialog::DontUseNativeDialog);
  od->setDirectory(QDir::homePath());  // then where archives were last chosen: the dialog lives on
  od->setSizeGripEnabled(true);
}

void TForm1::CreateShortcuts() {
  // Alt+F opens the File menu: its caption carries no "&F" of its own.
  auto* altF = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_F), this);
  connect(altF, &QShortcut::activated, this, [this] { menuBar()->setActiveAction(File1->menuAction()); });
  // On the list only, so Ctrl+C in the in-place editor still copies its text.
  ACopy = new QAction(this);
  ACopy->setObjectName(QStringLiteral("ACopy"));
  ACopy->setShortcut(QKeySequence::Copy);
  ACopy->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  LV->addAction(ACopy);
  connect(ACopy, &QAction::triggered, this, &TForm1::CopyRows);
}

void TForm1::CreateHeaderMenu() {
  QHeaderView* header = LV->header();
  header->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(header, &QWidget::customContextMenuRequested, this, [this, header](const QPoint& at) {
    QMenu menu(this);
    QAction* fit = menu.addAction(QString::fromStdString(AutoFitColumnsCaption()));
    fit->setObjectName(QStringLiteral("AAutoFitColumns"));
    connect(fit, &QAction::triggered, this, &TForm1::AutoFitColumns);
    menu.exec(header->mapToGlobal(at));
  });
}

void TForm1::AutoFitColumns() {
  for (int i = 0; i < model_->columnCount(); ++i) LV->resizeColumnToContents(i);
}

void TForm1::FormCreate() {
  setAcceptDrops(true);
  placement_->MoveOuter(QPoint(kDesignedWindowLeft, kDesignedWindowTop));
  for (int i = 0; i < kChartColumnCount; ++i) LV->setColumnWidth(i, settings.ColumnWidth(i));
  settings.LoadPlacement(*placement_);
  ApplyOptions(settings.ReadOptions());
  // Made if missing; any failure (it exists, no permission) is ignored here
  // and shows later as an archive that yields no rows.
  CreateWorkingFolder();
}

void TForm1::FormClose() {
  // Every key of the close, one write of the file.
  std::vector<int> widths;
  for (int i = 0; i < model_->columnCount(); ++i) widths.push_back(LV->columnWidth(i));
  settings.SaveLayout(widths, *placement_, options_);
}

void TForm1::ApplyOptions(const SessionOptions& options) {
  bool hashesAppear = options.hashColumns && !model_->HashColumns();
  bool factsAppear = options.chartFacts && !model_->FactColumns();
  options_ = options;
  model_->SetDisplayEncoding(options.displayEncoding);
  model_->SetHashColumns(options.hashColumns);
  model_->SetFactColumns(options.chartFacts);
  bool lookupsAppear = options.libraryColumns && !model_->LookupColumns();
  library_.Apply(options);
  model_->SetLookupColumns(&library_, options.libraryColumns);
  List().SetNumericSort(options.numericSort);
  session_.scanOptions = options.ScanOptions();
  session_.bothCores = options.BothCores();
  for (int i = kChartColumnCount; i < ShownColumnCount(options); ++i) {
    const int column = ShownColumn(options, i);
    const bool appears = column >= kLookupColumn ? lookupsAppear : column >= kFactsColumn ? factsAppear : hashesAppear;
    if (appears) LV->setColumnWidth(i, settings.ColumnWidth(column));
  }
}

void TForm1::AOptionsClick() {
  if (!Form2) return;
  SessionOptions options = options_;
  std::string error;
  Form2->SetTables(library_.Tables(error));
  if (!Form2->Execute(options)) return;
  for (const std::string& name : Form2->RemovedTables())
    if (library_.RemoveTable(name, error); !error.empty()) ShowErrorBox(this, platform::Utf8ToCp932(error));
  ApplyOptions(options);
  StoreOptions(options);
  // New folders are scanned now, while the user waits for the columns.
  library_.Refresh();
}

void TForm1::RefreshLibraryLater() {
  if (libraryRefreshScheduled_ || !library_.Shown()) return;
  libraryRefreshScheduled_ = true;
  QTimer::singleShot(0, this, [this] {
    libraryRefreshScheduled_ = false;
    library_.Refresh();
  });
}

void TForm1::ImportTableClick() {
  const QString file = QFileDialog::getOpenFileName(
      this, QString::fromUtf8(kImportTableCaption), QDir::homePath(),
      QString::fromUtf8(kTableFilesFilterCaption) + QStringLiteral(" (*.json *.html *.htm);;") +
          QStringFromCp932(kAllFilesFilterCaption) + QStringLiteral(" (*)"),
      nullptr, QFileDialog::DontUseNativeDialog);
  if (!file.isEmpty()) ImportTable(file);
}

void TForm1::ImportTable(const QString& fileName) {
  library::StoredTable table;
  std::string error;
  if (!library_.ImportTable(QFile::encodeName(fileName).toStdString(), table, error)) {
    ShowErrorBox(this, platform::Utf8ToCp932(error));
    return;
  }
  status_->SetNotice(QString::fromStdString(TableImportedText(table.name, table.entries)));
}

void TForm1::StoreOptions(const SessionOptions& options) {
  if (const std::string error = settings.StoreOptions(options); !error.empty()) ShowErrorBox(this, error);
}

void TForm1::closeEvent(QCloseEvent* event) {
  if (!session_.RequestClose()) {
    // Closing in the middle of an archive would leave its files behind in
    // the working folder; the session stops after it instead, then closes.
    event->ignore();
    return;
  }
  try {
    FormClose();
  } catch (const EIniWriteError& e) {
    // Shown, then the window closes anyway: keeping it open would only fail
    // the same way at every further attempt, leaving no way out.
    ShowErrorBox(this, e.what());
  }
  event->accept();
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
  if (HasLocalFiles(event->mimeData())) event->acceptProposedAction();
}

void TForm1::dragMoveEvent(QDragMoveEvent* event) {
  if (HasLocalFiles(event->mimeData())) event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event) {
  if (!HasLocalFiles(event->mimeData())) return;
  QStringList files;
  for (const QUrl& url : event->mimeData()->urls())
    if (url.isLocalFile()) files << url.toLocalFile();
  event->acceptProposedAction();
  OpenFiles(files);
}

void TForm1::OpenFiles(const QStringList& localFiles) {
  std::vector<std::string> paths;
  for (const QString& file : localFiles) {
    if (file.isEmpty()) continue;
    std::string fsName = QFile::encodeName(QDir::cleanPath(QFileInfo(file).absoluteFilePath())).toStdString();
    // CP932 where it holds the name (a twin, 〜 for ～, is fine: the existing
    // file is found by its CP932 form), else the marked UTF-8 path.
    paths.push_back(platform::PathFromUtf8(fsName));
  }
  // Handled once the drag has finished, like the posted drop message, so
  // the file manager is not kept waiting while the archives are read.
  QTimer::singleShot(0, this, [this, paths = std::move(paths)] {
    if (!paths.empty()) WMDropFiles(paths);
  });
}

void TForm1::ReportProblem(const std::string& archivePath, const std::string& reasons) {
  status_->AddProblem(QStringFromCp932(archivePath), QString::fromStdString(reasons));
}

void TForm1::WMDropFiles(const std::vector<std::string>& paths) {
  if (onDropFiles)
    onDropFiles(paths);
  else
    session_.Drop(paths);
}

void TForm1::LVColumnClick(int column) {
  library_.ColumnClick(model_->LogicalColumn(column));
  ShowSortDirection(column);
}

void TForm1::ShowSortDirection(int column) {
  // The sign is the list's, not the column's: the arrow shows the order
  // the last click produced.
  QHeaderView* header = LV->header();
  header->setSortIndicatorShown(true);
  header->setSortIndicator(column, List().Tag() > 0 ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void TForm1::OpenClick() {
  if (od->exec() != QDialog::Accepted) return;
  OpenFiles(od->selectedFiles());
}

void TForm1::CopyRows() {
  std::vector<std::size_t> rows;
  for (const QModelIndex& index : LV->selectionModel()->selectedRows())
    rows.push_back(static_cast<std::size_t>(index.row()));
  if (rows.empty()) return;
  // The lines as the export would write them: CP932 bytes, or UTF-8.
  std::vector<std::vector<std::string>> lookups;
  const std::string lines = ChartCsvLines(List(), rows, library_.Csv(options_, lookups));
  QApplication::clipboard()->setText(options_.csvFormat == CsvFormat::kUtf8 ? QString::fromStdString(lines)
                                                                            : QStringFromCp932(lines));
}

void TForm1::OpenArchiveFolder(int row) {
  if (row < 0 || static_cast<std::size_t>(row) >= List().Count()) return;
  const ChartRow& chartRow = List().Row(static_cast<std::size_t>(row));
  if (chartRow.subItems[siArcPath].empty()) return;
  const std::string folder = RowArchiveFolder(chartRow);
  QString path = QFile::decodeName(QByteArray::fromStdString(platform::FsName(folder)));
  // A folder moved or deleted since the drop would otherwise open nothing, silently.
  if (!QFileInfo(path).isDir() || !QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
    ShowErrorBox(this, kCannotOpenFolderMessage + platform::Utf8ToCp932(platform::PathUtf8(folder)));
}

void TForm1::FollowNewRows() {
  QScrollBar* bar = LV->verticalScrollBar();
  if (followScheduled_ || bar->value() < bar->maximum()) return;  // the user has scrolled away
  followScheduled_ = true;
  // Once the event loop runs: scrolling lays the whole list out, too much
  // to do for every row of a large drop.
  QTimer::singleShot(0, this, [this] {
    followScheduled_ = false;
    LV->scrollToBottom();
  });
}

void TForm1::Button1Click() {
  // The last export's folder, never a working folder: the next drop would
  // delete the file.
  QString folder = QStringFromCp932(settings.ExportFolder());
  if (folder.isEmpty()) folder = QDir::homePath();
  sd->setDirectory(folder);
  sd->selectFile(QString::fromLatin1(kDefaultCsvName));
  if (sd->exec() != QDialog::Accepted) return;
  const QStringList chosen = sd->selectedFiles();
  if (!chosen.isEmpty()) ExportCsv(chosen.first());
}

void TForm1::ExportCsv(const QString& fileName) {
  const std::string fsPath = QFile::encodeName(fileName).toStdString();
  try {
    // Written under exactly the name chosen, whatever CP932 can hold.
    std::vector<std::vector<std::string>> lookups;
    ExportList(List(), platform::FsPath{fsPath}, library_.Csv(options_, lookups));
  } catch (const std::exception& e) {
    ShowErrorBox(this, e.what());
    return;
  }
  status_->SetNotice(QString::fromStdString(ExportedStatusText(List().Count())));
  // The folder is remembered in CP932, as the settings file holds text; one
  // that CP932 cannot name is not remembered.
  std::string path;
  if (platform::TryUtf8ToCp932AllowingTwins(fsPath, path)) settings.RememberExportFolder(path);
}

void TForm1::RepaintRows(int first, int last) {
  if (!LV->isVisible()) return;
  // Rows out of sight are drawn when the event loop next runs; asking the
  // view where they lie would lay out the whole list for every row added.
  if (rowHeight_ <= 0) rowHeight_ = LV->sizeHintForRow(0);
  if (rowHeight_ <= 0) return;
  int top = LV->verticalScrollBar()->value();  // the view scrolls by whole rows
  if (last < top || first > top + LV->viewport()->height() / rowHeight_ + 1) return;
  QRect area = LV->visualRect(model_->index(first, 0)).united(LV->visualRect(model_->index(last, 0)));
  QRect viewport = LV->viewport()->rect();
  if (!area.intersects(viewport)) return;
  QRect rows(viewport.left(), area.top(), viewport.width(), area.height());
  // Drawn at once, but not more often than a screen can show it: a drop
  // adds rows faster than that, and rows that came meanwhile are drawn with
  // the next one or when the event loop next runs.
  if (lastRowPaint_.isValid() && lastRowPaint_.elapsed() < kRowPaintIntervalMs) {
    LV->viewport()->update(rows);
    return;
  }
  LV->viewport()->repaint(rows);
  lastRowPaint_.restart();
}

void TForm1::ImportCsvClick() {
  const QString file = QFileDialog::getOpenFileName(this, QStringFromCp932(kReadCsvCaption),
                                                    QStringFromCp932(settings.ExportFolder()),
                                                    QStringLiteral("CSV(*.csv);;") + QStringFromCp932(kAllFilesFilterCaption) +
                                                        QStringLiteral(" (*)"),
                                                    nullptr, QFileDialog::DontUseNativeDialog);
  if (!file.isEmpty()) ImportCsv(file);
}

void TForm1::ImportCsv(const QString& fileName) {
  std::string error;
  const std::size_t rows = actions_.ImportCsv(QFile::encodeName(fileName).toStdString(), error);
  if (!error.empty()) {
    ShowErrorBox(this, platform::Utf8ToCp932(error));
    return;
  }
  status_->SetNotice(QString::fromStdString(ImportedStatusText(rows)));
}
