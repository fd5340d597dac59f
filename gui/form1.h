// SPDX-License-Identifier: MIT
#pragma once
// TForm1: the main window. It shows the session's chart list, takes
// dropped files, sorts on a header click, exports CSV, and keeps its column
// widths and placement in the settings file. Everything about rows, order
// and bytes is decided in charts/, everything about a drop in session/;
// this window only draws and forwards.
#include <QElapsedTimer>
#include <QIcon>
#include <QMainWindow>
#include <QStringList>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "charts/chart_list.h"
#include "gui/chart_view.h"
#include "gui/drop_view.h"
#include "platform/msgwindow.h"
#include "session/library_columns.h"
#include "session/list_actions.h"
#include "session/session.h"
#include "session/session_options.h"
#include "session/window_settings.h"

class QAction;
class QFileDialog;
class QMenu;
class QTreeView;
class ChartListModel;
class DropProgress;
class EditActions;
class ListStatus;
class TForm2;
class WidgetPlacement;

class TForm1 : public QMainWindow {
  Q_OBJECT

 public:
  explicit TForm1(QWidget* parent = nullptr);
  ~TForm1() override;

  ChartList& List() { return session_.List(); }
  Session& DropSession() { return session_; }
  ListActions& Actions() { return actions_; }
  EditActions* Edit() const { return edit_; }
  // A hidden message window standing for this window towards the archiver
  // libraries: it answers 0 to every message, and bringing it to the
  // foreground raises and activates this window.
  platform::WindowHandle Handle() const { return session_.OwnerWindow(); }

  // Handles the dropped paths (CP932, in the order dropped) through the
  // session, or through this when set (tests watch the drops so).
  std::function<void(const std::vector<std::string>&)> onDropFiles;
  void WMDropFiles(const std::vector<std::string>& paths);
  // Files opened otherwise (the open dialog, the command line), in the
  // file system's form: handled exactly as a drop of them, once the event
  // loop runs again. Relative paths are taken from the current folder.
  void OpenFiles(const QStringList& localFiles);
  void LVColumnClick(int column);
  void Button1Click();
  // The export itself, to a file the user has chosen.
  void ExportCsv(const QString& fileName);

  // An archive (CP932 path) that failed or gave no chart, with the reasons
  // (UTF-8): counted in the status bar and listed behind it, never in a box
  // that would hold up the drop.
  void ReportProblem(const std::string& archivePath, const std::string& reasons);
  ListStatus* Status() const { return status_; }
  DropProgress* Progress() const { return progress_; }

  // The options window; confirming it applies the options and stores them.
  void AOptionsClick();
  const SessionOptions& Options() const { return options_; }
  // Shows the list as the options say (hash columns, display encoding,
  // number sorting) and has the next drop read as they say.
  void ApplyOptions(const SessionOptions& options);
  // Fits every shown column to its contents (the header's context menu).
  void AutoFitColumns();
  // Keeps the options in the settings file; a refused write is shown and
  // the options hold for this run all the same.
  void StoreOptions(const SessionOptions& options);
  // The collection's columns; ファイル → 難易度表を読み込む... and its file.
  LibraryColumns& Library() { return library_; }
  void ImportTableClick();
  void ImportTable(const QString& fileName);
  // Brings the collection's columns up to date once the event loop runs
  // (after a drop, songs installed): never from inside the drop itself.
  void RefreshLibraryLater();
  // CSV追加読込: appends the rows of a list exported earlier.
  void ImportCsvClick();
  void ImportCsv(const QString& fileName);

  ChartView* LV = nullptr;
  QMenu* File1 = nullptr;
  QAction* AreadCSV = nullptr;
  QAction* AOutCSV = nullptr;
  QAction* AOptions = nullptr;
  QAction* AImportTable = nullptr;  // 難易度表を読み込む...
  QAction* AQuit = nullptr;
  QAction* AOpen = nullptr;  // "開く..." (Ctrl+O)
  QAction* ACopy = nullptr;  // Ctrl+C: the selected rows as CSV lines
  QFileDialog* sd = nullptr;
  QFileDialog* od = nullptr;  // the open dialog
  WindowSettings settings;
  TIniGT& ini = settings.ini;
  TForm2* Form2 = nullptr;  // the options window, owned by the program entry

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void CreateList();
  void CreateMenu();
  void CreateSaveDialog();
  void CreateOpenDialog();
  void CreateShortcuts();
  void CreateHeaderMenu();
  void OpenClick();
  void CopyRows();
  void OpenArchiveFolder(int row);
  void ShowSortDirection(int column);
  // New rows are scrolled into view while the user stays at the bottom.
  void FollowNewRows();
  void FormCreate();
  void FormClose();
  // Draws a changed row now: the pipeline adds rows without returning to
  // the event loop, and the user should see each one arrive.
  void RepaintRows(int first, int last);

  // The view first: the session reports to it from its first drop on.
  DropView dropView_{*this};
  Session session_{dropView_};
  ListActions actions_{session_};
  LibraryColumns library_{session_};
  EditActions* edit_ = nullptr;
  SessionOptions options_;
  ChartListModel* model_ = nullptr;
  WidgetPlacement* placement_ = nullptr;
  ListStatus* status_ = nullptr;
  DropProgress* progress_ = nullptr;
  std::array<QIcon, 4> ImageList1;
  int rowHeight_ = 0;  // rows are all of one height
  QElapsedTimer lastRowPaint_;
  bool followScheduled_ = false;
  bool libraryRefreshScheduled_ = false;
};
