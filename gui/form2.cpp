// SPDX-License-Identifier: MIT
#include "gui/form2.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "session/captions.h"
#include "gui/qt_text.h"
#include "gui/window_font.h"
#include "session/status_text.h"

namespace {

QComboBox* TwoChoices(QWidget* parent, const char* first, const char* second) {
  auto* box = new QComboBox(parent);
  box->addItem(QStringFromCp932(first));
  box->addItem(QStringFromCp932(second));
  return box;
}

}  // namespace

TForm2::TForm2(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringFromCp932(kOptionsCaption));
  setFont(WindowFont());

  // The first choice of each is what the program has always done.
  ChartFiles = TwoChoices(this, kChartFilesBmsOnly, kChartFilesAll);
  HashColumns = new QCheckBox(QStringFromCp932(kHashColumnsCheck), this);
  ChartsOnly = new QCheckBox(QStringFromCp932(kChartsOnlyCheck), this);
  ChartFacts = new QCheckBox(QStringFromCp932(kChartFactsCheck), this);
  ChartFacts->setObjectName(QStringLiteral("ChartFacts"));
  CsvFormatBox = TwoChoices(this, kCsvFormatClassic, kCsvFormatUtf8);
  DisplayEncodingBox = TwoChoices(this, kDisplayDetected, kDisplayCp932);
  ChartFiles->setObjectName(QStringLiteral("ChartFiles"));
  HashColumns->setObjectName(QStringLiteral("HashColumns"));
  ChartsOnly->setObjectName(QStringLiteral("ChartsOnly"));
  CsvFormatBox->setObjectName(QStringLiteral("CsvFormat"));
  DisplayEncodingBox->setObjectName(QStringLiteral("DisplayEncoding"));
  // Checked by default: the list is the same either way, only sooner.
  UnpackAhead = new QCheckBox(QStringFromCp932(kUnpackAheadCheck), this);
  UnpackAhead->setObjectName(QStringLiteral("UnpackAhead"));
  NumericSort = new QCheckBox(QString::fromStdString(NumericSortCaption()), this);
  NumericSort->setObjectName(QStringLiteral("NumericSort"));

  // On by default: a dropped folder's archives are opened after its charts.
  FolderArchives = new QCheckBox(QString::fromUtf8(kFolderArchivesCheck), this);
  FolderArchives->setObjectName(QStringLiteral("FolderArchives"));

  auto* form = new QFormLayout;
  form->addRow(QStringFromCp932(kChartFilesLabel), ChartFiles);
  form->addRow(QStringFromCp932(kHashColumnsLabel), HashColumns);
  form->addRow(QString(), ChartFacts);
  // Both ways of unpacking sooner under one label.
  form->addRow(QStringFromCp932(kChartsOnlyLabel), ChartsOnly);
  form->addRow(QString(), UnpackAhead);
  form->addRow(QStringFromCp932(kCsvFormatLabel), CsvFormatBox);
  form->addRow(QStringFromCp932(kDisplayEncodingLabel), DisplayEncodingBox);
  form->addRow(QString(), NumericSort);
  form->addRow(QString(), FolderArchives);
  SongLibrary = new QLineEdit(this);
  SongLibrary->setObjectName(QStringLiteral("SongLibrary"));
  auto* browse = new QPushButton(QString::fromUtf8(kBrowseCaption), this);
  connect(browse, &QPushButton::clicked, this, [this] {
    const QString dir = QFileDialog::getExistingDirectory(this, QString::fromUtf8(kChooseLibraryCaption), SongLibrary->text());
    if (!dir.isEmpty()) SongLibrary->setText(dir);
  });
  auto* library = new QHBoxLayout;
  library->addWidget(SongLibrary, 1);
  library->addWidget(browse);
  form->addRow(QString::fromUtf8(kSongLibraryLabel), library);
  PreviewCommand = new QLineEdit(this);
  PreviewCommand->setObjectName(QStringLiteral("PreviewCommand"));
  PreviewCommand->setPlaceholderText(QStringLiteral("bemuse %f"));
  form->addRow(QString::fromUtf8(kPreviewCommandLabel), PreviewCommand);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringFromCp932(kCancelCaption));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addStretch(1);
  layout->addWidget(buttons);

  // The designed place and size; grown where the controls need more.
  move(350, 277);
  resize(QSize(330, 201).expandedTo(sizeHint()));
}

void TForm2::SetOptions(const SessionOptions& o) {
  ChartFiles->setCurrentIndex(o.allChartExtensions ? 1 : 0);
  HashColumns->setChecked(o.hashColumns);
  ChartFacts->setChecked(o.chartFacts);
  ChartsOnly->setChecked(o.chartsOnly);
  CsvFormatBox->setCurrentIndex(o.csvFormat == CsvFormat::kUtf8 ? 1 : 0);
  DisplayEncodingBox->setCurrentIndex(o.displayEncoding == DisplayEncoding::kCp932 ? 1 : 0);
  UnpackAhead->setChecked(!o.oneArchiveAtATime);
  NumericSort->setChecked(o.numericSort);
  SongLibrary->setText(QFile::decodeName(QByteArray::fromStdString(o.songLibrary)));
  PreviewCommand->setText(QString::fromStdString(o.previewCommand));
  FolderArchives->setChecked(o.folderArchives);
}

SessionOptions TForm2::Options() const {
  SessionOptions o;
  o.allChartExtensions = ChartFiles->currentIndex() == 1;
  o.hashColumns = HashColumns->isChecked();
  o.chartFacts = ChartFacts->isChecked();
  o.chartsOnly = ChartsOnly->isChecked();
  o.csvFormat = CsvFormatBox->currentIndex() == 1 ? CsvFormat::kUtf8 : CsvFormat::kClassic;
  o.displayEncoding = DisplayEncodingBox->currentIndex() == 1 ? DisplayEncoding::kCp932 : DisplayEncoding::kDetected;
  o.oneArchiveAtATime = !UnpackAhead->isChecked();
  o.numericSort = NumericSort->isChecked();
  o.songLibrary = QFile::encodeName(SongLibrary->text().trimmed()).toStdString();
  o.previewCommand = PreviewCommand->text().trimmed().toStdString();
  o.folderArchives = FolderArchives->isChecked();
  return o;
}

bool TForm2::Execute(SessionOptions& options) {
  SetOptions(options);
  if (exec() != QDialog::Accepted) return false;
  options = Options();
  return true;
}
