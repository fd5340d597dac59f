// SPDX-License-Identifier: MIT
#pragma once
// TForm2: the options window ("オプション"), created at start and destroyed
// at exit, shown from the File menu. It edits a copy of the options; the
// main window applies and stores them when the user confirms.
#include <QDialog>
#include <QStringList>
#include <string>
#include <vector>

#include "library/library_index.h"
#include "session/session_options.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTreeWidget;

class TForm2 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm2(QWidget* parent = nullptr);

  void SetOptions(const SessionOptions& options);
  SessionOptions Options() const;
  // Shows the window modally with `options`; true, with `options` changed to
  // what the user chose, when the user confirms.
  bool Execute(SessionOptions& options);

  // The collection's group: the difficulty tables stored (listed with name,
  // symbol and entries; 削除 marks one for removal) and those the user
  // removed, which the main window drops from the index on confirming.
  void SetTables(const std::vector<library::StoredTable>& tables);
  std::vector<std::string> RemovedTables() const { return removedTables_; }
  // Adds a song folder (a path of the file system) after the folder
  // dialog; a folder already listed, or one whose name the settings file
  // cannot hold, is not added (the latter said in a box).
  bool AddLibraryFolder(const QString& folder);
  void RemoveSelectedLibraryFolder();
  void RemoveSelectedTable();

  QComboBox* ChartFiles = nullptr;
  QCheckBox* HashColumns = nullptr;
  QCheckBox* ChartFacts = nullptr;
  QCheckBox* FolderArchives = nullptr;
  QCheckBox* ChartsOnly = nullptr;
  QComboBox* CsvFormatBox = nullptr;
  QComboBox* DisplayEncodingBox = nullptr;
  QCheckBox* UnpackAhead = nullptr;
  QCheckBox* NumericSort = nullptr;
  QLineEdit* SongLibrary = nullptr;     // the file system's form, shown as text
  QLineEdit* PreviewCommand = nullptr;  // "%f" stands for the chart

  // The collection.
  QCheckBox* LibraryColumns = nullptr;
  QListWidget* LibraryFolders = nullptr;
  QPushButton* AddFolderButton = nullptr;
  QPushButton* RemoveFolderButton = nullptr;
  QTreeWidget* Tables = nullptr;
  QPushButton* RemoveTableButton = nullptr;

 private:
  QWidget* CreateLibraryGroup();

  std::vector<std::string> removedTables_;
};
