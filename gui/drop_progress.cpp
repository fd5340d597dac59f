// SPDX-License-Identifier: MIT
#include "gui/drop_progress.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>

#include "gui/qt_text.h"
#include "session/captions.h"
#include "session/status_text.h"

namespace {
constexpr int kArchiveTextWidth = 280;  // pixels
}  // namespace

DropProgress::DropProgress(QWidget* parent) : QWidget(parent) {
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(4, 2, 4, 2);
  archive_ = new QLabel(this);
  archive_->setObjectName(QStringLiteral("dropArchive"));
  // The archive's name stays readable beside the status bar's counts: a long
  // one is shortened in the middle, whole in its tooltip.
  archive_->setMinimumWidth(archive_->fontMetrics().averageCharWidth() * 24);
  entry_ = new QLabel(this);
  entry_->setObjectName(QStringLiteral("dropEntry"));
  entry_->setMinimumWidth(60);
  entry_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  bar_ = new QProgressBar(this);
  bar_->setMaximumWidth(120);
  bar_->setTextVisible(false);
  cancelButton_ = new QPushButton(QStringFromCp932(kCancelCaption), this);
  cancelButton_->setObjectName(QStringLiteral("cancelDrop"));
  layout->addWidget(archive_);
  layout->addWidget(entry_, 1);
  layout->addWidget(bar_);
  layout->addWidget(cancelButton_);
  connect(cancelButton_, &QPushButton::clicked, this, &DropProgress::RequestCancel);
  auto* esc = new QShortcut(QKeySequence(Qt::Key_Escape), parent ? parent : this);
  esc->setContext(Qt::WindowShortcut);
  connect(esc, &QShortcut::activated, this, [this] {
    if (isVisible()) RequestCancel();
  });
  hide();
}

void DropProgress::Begin(int count) {
  cancel_ = false;
  bar_->setRange(0, count);
  bar_->setValue(0);
  cancelButton_->setEnabled(true);
  archive_->clear();
  entry_->clear();
  show();
}

void DropProgress::Archive(int index, int count, const QString& text) {
  if (bar_->maximum() != count) bar_->setMaximum(count);
  bar_->setValue(index);
  archive_->setText(archive_->fontMetrics().elidedText(text, Qt::ElideMiddle, kArchiveTextWidth));
  archive_->setToolTip(text);
  entry_->clear();
}

void DropProgress::Entry(const QString& name) {
  if (!cancel_) entry_->setText(name);  // the note that a stop is coming stays
}

void DropProgress::End() {
  hide();
  archive_->clear();
  entry_->clear();
}

void DropProgress::RequestCancel() {
  cancel_ = true;
  cancelButton_->setEnabled(false);
  entry_->setText(QString::fromStdString(StoppingText()));
  if (onCancel) onCancel();
}
