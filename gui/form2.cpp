// SPDX-License-Identifier: MIT
#include "gui/form2.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "session/captions.h"
#include "gui/error_box.h"
#include "gui/qt_text.h"
#include "platform/cp932.h"
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
  layout->addWidget(CreateLibraryGroup(), 1);
  layout->addStretch(1);
  layout->addWidget(buttons);

  // The designed place and size; grown where the controls need more.
  move(350, 277);
  resize(QSize(330, 201).expandedTo(sizeHint()));
}

QWidget* TForm2::CreateLibraryGroup() {
  auto* group = new QGroupBox(QString::fromUtf8(kLibraryGroupCaption), this);
  LibraryColumns = new QCheckBox(QString::fromUtf8(kLibraryColumnsCheck), group);
  LibraryColumns->setObjectName(QStringLiteral("LibraryColumns"));

  LibraryFolders = new QListWidget(group);
  LibraryFolders->setObjectName(QStringLiteral("LibraryFolders"));
  AddFolderButton = new QPushButton(QString::fromUtf8(kAddCaption), group);
  AddFolderButton->setObjectName(QStringLiteral("AddLibraryFolder"));
  RemoveFolderButton = new QPushButton(QString::fromUtf8(kRemoveCaption), group);
  RemoveFolderButton->setObjectName(QStringLiteral("RemoveLibraryFolder"));
  connect(AddFolderButton, &QPushButton::clicked, this, [this] {
    const QString dir = QFileDialog::getExistingDirectory(this, QString::fromUtf8(kChooseLibraryFolderCaption));
    if (!dir.isEmpty()) AddLibraryFolder(dir);
  });
  connect(RemoveFolderButton, &QPushButton::clicked, this, &TForm2::RemoveSelectedLibraryFolder);

  Tables = new QTreeWidget(group);
  Tables->setObjectName(QStringLiteral("Tables"));
  Tables->setRootIsDecorated(false);
  Tables->setHeaderLabels({QString::fromUtf8(kTableNameCaption), QString::fromUtf8(kTableSymbolCaption),
                           QString::fromUtf8(kTableEntriesCaption)});
  Tables->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  Tables->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
  Tables->header()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
  Tables->header()->setStretchLastSection(false);
  RemoveTableButton = new QPushButton(QString::fromUtf8(kRemoveCaption), group);
  RemoveTableButton->setObjectName(QStringLiteral("RemoveTable"));
  connect(RemoveTableButton, &QPushButton::clicked, this, &TForm2::RemoveSelectedTable);

  auto* folderButtons = new QVBoxLayout;
  folderButtons->addWidget(AddFolderButton);
  folderButtons->addWidget(RemoveFolderButton);
  folderButtons->addStretch(1);
  auto* folders = new QHBoxLayout;
  folders->addWidget(LibraryFolders, 1);
  folders->addLayout(folderButtons);
  auto* tableButtons = new QVBoxLayout;
  tableButtons->addWidget(RemoveTableButton);
  tableButtons->addStretch(1);
  auto* tables = new QHBoxLayout;
  tables->addWidget(Tables, 1);
  tables->addLayout(tableButtons);

  auto* form = new QFormLayout(group);
  form->addRow(LibraryColumns);
  form->addRow(QString::fromUtf8(kLibraryFoldersLabel), folders);
  form->addRow(QString::fromUtf8(kTablesLabel), tables);
  LibraryFolders->setMaximumHeight(LibraryFolders->fontMetrics().height() * 5);
  Tables->setMaximumHeight(Tables->fontMetrics().height() * 7);
  return group;
}

bool TForm2::AddLibraryFolder(const QString& folder) {
  const QString clean = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
  for (int i = 0; i < LibraryFolders->count(); ++i)
    if (LibraryFolders->item(i)->text() == clean) return false;
  // The settings file holds CP932 text: a folder it cannot name would come
  // back as another.
  std::string cp932;
  if (!platform::TryUtf8ToCp932AllowingTwins(QFile::encodeName(clean).toStdString(), cp932)) {
    ShowErrorBox(this, platform::Utf8ToCp932(kUnusableFolderMessage), {QFile::encodeName(clean).toStdString()});
    return false;
  }
  LibraryFolders->addItem(clean);
  LibraryFolders->setCurrentRow(LibraryFolders->count() - 1);
  return true;
}

void TForm2::RemoveSelectedLibraryFolder() { delete LibraryFolders->takeItem(LibraryFolders->currentRow()); }

void TForm2::SetTables(const std::vector<library::StoredTable>& tables) {
  Tables->clear();
  removedTables_.clear();
  for (const library::StoredTable& table : tables) {
    auto* item = new QTreeWidgetItem(Tables, {QString::fromStdString(table.name), QString::fromStdString(table.symbol),
                                              QString::number(table.entries)});
    item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
    item->setToolTip(0, QString::fromStdString(table.source));
  }
}

void TForm2::RemoveSelectedTable() {
  QTreeWidgetItem* item = Tables->currentItem();
  if (!item) return;
  removedTables_.push_back(item->text(0).toStdString());
  delete item;
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

  LibraryColumns->setChecked(o.libraryColumns);
  LibraryFolders->clear();
  for (const std::string& folder : o.libraryFolders) LibraryFolders->addItem(QFile::decodeName(QByteArray::fromStdString(folder)));
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

  o.libraryColumns = LibraryColumns->isChecked();
  for (int i = 0; i < LibraryFolders->count(); ++i)
    o.libraryFolders.push_back(QFile::encodeName(LibraryFolders->item(i)->text()).toStdString());
  o.folderArchives = FolderArchives->isChecked();
  return o;
}

bool TForm2::Execute(SessionOptions& options) {
  SetOptions(options);
  if (exec() != QDialog::Accepted) return false;
  options = Options();
  return true;
}
