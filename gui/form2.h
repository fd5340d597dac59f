// SPDX-License-Identifier: MIT
#pragma once
// TForm2: the options window ("オプション"), created at start and destroyed
// at exit, shown from the File menu. It edits a copy of the options; the
// main window applies and stores them when the user confirms.
#include <QDialog>

#include "session/session_options.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

class TForm2 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm2(QWidget* parent = nullptr);

  void SetOptions(const SessionOptions& options);
  SessionOptions Options() const;
  // Shows the window modally with `options`; true, with `options` changed to
  // what the user chose, when the user confirms.
  bool Execute(SessionOptions& options);

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
};
