#include "gui/form1.h"

#include <QAction>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScrollBar>
#include <QTimer>
#include <QTreeView>
#include <QUrl>

#include "charts/csv_export.h"
#include "charts/working_folder.h"
#include "gui/captions.h"
#include "gui/chart_list_model.h"
#include "gui/error_box.h"
#include "gui/menu_icons.h"
#include "gui/qt_text.h"
#include "gui/widget_placement.h"
#include "gui/window_font.h"
#include "platform/cp932.h"
#include "platform/io_error.h"
#include "platform/paths.h"
#include "settings/ini_write_error.h"

#ifndef BMSLIST_VERSION
#define BMSLIST_VERSION "0.1.0"
#endif

namespace {

constexpr char kColumnsSection[] = "Clumns";  // spelt so in every settings file
constexpr char kFormsSection[] = "Forms";
constexpr char kPlacementPrefix[] = "Property";
constexpr int kDesignedColumnWidth = 50;
constexpr QSize kDesignedOuterSize(633, 378);

std::string WidthKey(int column) { return "Width" + std::to_string(column); }

bool HasLocalFiles(const QMimeData* mime) {
  if (!mime || !mime->hasUrls()) return false;
  for (const QUrl& url : mime->urls())
    if (url.isLocalFile()) return true;
  return false;
}

}  // namespace

TForm1::TForm1(QWidget* parent) : QMainWindow(parent) {
  // The stored layout: caption, font, designed size, components.
  setWindowTitle(QStringLiteral("bmslist " BMSLIST_VERSION));
  setFont(WindowFont());
  placement_ = new WidgetPlacement(*this);
  ImageList1 = MenuIcons();
  CreateList();
  CreateMenu();
  CreateSaveDialog();
  placement_->SetOuterSize(kDesignedOuterSize);

  handle_ = platform::CreateMessageWindow([](std::uint32_t, std::uintptr_t, std::intptr_t) -> std::intptr_t { return 0; });
  platform::SetForegroundHook(handle_, [this] {
    raise();
    activateWindow();
  });

  ini.SetDefaultDir(ddApplication);
  ini.SetFence(fnNone);
  ini.Loaded();
  FormCreate();
}

TForm1::~TForm1() {
  platform::DestroyMessageWindow(handle_);
  // The view goes before the model it shows, the model before the list.
  delete LV;
  delete model_;
}

void TForm1::CreateList() {
  model_ = new ChartListModel(list_);
  LV = new QTreeView(this);
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
  for (int i = 0; i < kChartColumnCount; ++i) LV->setColumnWidth(i, kDesignedColumnWidth);
  connect(header, &QHeaderView::sectionClicked, this, &TForm1::LVColumnClick);

  connect(model_, &QAbstractItemModel::rowsInserted, this,
          [this](const QModelIndex&, int first, int last) { RepaintRows(first, last); });
  connect(model_, &QAbstractItemModel::dataChanged, this,
          [this](const QModelIndex& tl, const QModelIndex& br) { RepaintRows(tl.row(), br.row()); });
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
  File1->addAction(AreadCSV);
  File1->addAction(AOutCSV);
  File1->addSeparator();
  File1->addAction(AQuit);
  connect(AOutCSV, &QAction::triggered, this, &TForm1::Button1Click);

  // Actions without a handler are greyed whenever the menu opens.
  unhandledActions_ = {AreadCSV, AQuit};
  auto disableUnhandled = [this] {
    for (QAction* a : unhandledActions_) a->setEnabled(false);
  };
  disableUnhandled();
  connect(File1, &QMenu::aboutToShow, this, disableUnhandled);
}

void TForm1::CreateSaveDialog() {
  // No title, folder or name of its own; no question before overwriting.
  sd = new QFileDialog(this);
  sd->setObjectName(QStringLiteral("sd"));
  sd->setAcceptMode(QFileDialog::AcceptSave);
  sd->setFileMode(QFileDialog::AnyFile);
  sd->setNameFilter(QStringLiteral("CSV(*.csv)"));
  sd->setDefaultSuffix(QStringLiteral("csv"));
  // Qt's own dialog everywhere, so the default suffix and the overwrite
  // rule hold whatever desktop runs the program.
  sd->setOptions(QFileDialog::DontConfirmOverwrite | QFileDialog::DontUseNativeDialog);
  sd->setSizeGripEnabled(true);
}

void TForm1::FormCreate() {
  setAcceptDrops(true);
  placement_->MoveOuter(QPoint(10, 10));
  for (int i = 0; i < kChartColumnCount; ++i) {
    int width = ini.ReadInteger(kColumnsSection, WidthKey(i), LV->columnWidth(i));
    if (width >= 0) LV->setColumnWidth(i, width);  // no such thing as a negative width
  }
  ini.LoadPlacement(kFormsSection, kPlacementPrefix, *placement_);
  // The count of charts read starts at 0 with the drop pipeline that keeps it.
  // Made if missing; any failure (it exists, no permission) is ignored here
  // and shows later as an archive that yields no rows.
  CreateWorkingFolder();
}

void TForm1::FormClose() {
  for (int i = 0; i < kChartColumnCount; ++i) ini.WriteInteger(kColumnsSection, WidthKey(i), LV->columnWidth(i));
  ini.SavePlacement(kFormsSection, kPlacementPrefix, *placement_);
}

void TForm1::closeEvent(QCloseEvent* event) {
  if (isBusy && isBusy()) {
    // Closing in the middle of an archive would leave its files behind in
    // the working folder; stop after it instead, then close.
    closePending_ = true;
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
  std::vector<std::string> paths;
  std::vector<std::string> unusable;
  for (const QUrl& url : event->mimeData()->urls()) {
    if (!url.isLocalFile()) continue;
    std::string fsName = QFile::encodeName(url.toLocalFile()).toStdString();
    std::string path;
    // A twin (〜 for ～) is fine: the existing file is found by its CP932 form.
    if (platform::TryUtf8ToCp932AllowingTwins(fsName, path)) {
      paths.push_back(std::move(path));
    } else {
      // Passing it on with "?" in place of a character could open another
      // file of that name; it is left out and said so.
      unusable.push_back(std::move(fsName));
    }
  }
  event->acceptProposedAction();
  // Handled once the drag has finished, like the posted drop message, so
  // the file manager is not kept waiting while the archives are read.
  QTimer::singleShot(0, this, [this, paths = std::move(paths), unusable = std::move(unusable)] {
    WMDropFiles(paths);
    if (!unusable.empty()) ShowErrorBox(this, kUnusableNamesMessage, unusable);
  });
}

void TForm1::WMDropFiles(const std::vector<std::string>& paths) {
  if (onDropFiles) onDropFiles(paths);
}

void TForm1::LVColumnClick(int column) { list_.ColumnClick(column); }

void TForm1::Button1Click() {
  if (sd->exec() != QDialog::Accepted) return;
  const QStringList chosen = sd->selectedFiles();
  if (!chosen.isEmpty()) ExportCsv(chosen.first());
}

void TForm1::ExportCsv(const QString& fileName) {
  try {
    // Written under exactly the name chosen, whatever CP932 can hold.
    WriteChartCsv(list_, platform::FsPath{QFile::encodeName(fileName).toStdString()});
  } catch (const std::exception& e) {
    ShowErrorBox(this, e.what());
  }
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
  LV->viewport()->repaint(QRect(viewport.left(), area.top(), viewport.width(), area.height()));
}
