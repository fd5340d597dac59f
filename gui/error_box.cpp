// SPDX-License-Identifier: MIT
#include "gui/error_box.h"

#include <QMessageBox>

#include "gui/qt_text.h"
#include "platform/paths.h"

std::string ApplicationTitle() {
  std::string name = platform::ExtractFileName(platform::ExecutablePath());
  // "." is below 0x40, so it is never the second byte of a double-byte character.
  return name.substr(0, name.find('.'));
}

std::string ErrorBoxText(std::string message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') message += '.';
  return message;
}

namespace {
void ShowBox(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::Critical, QStringFromCp932(ApplicationTitle()), text, QMessageBox::Ok, parent);
  box.exec();
}
}  // namespace

void ShowErrorBox(QWidget* parent, const std::string& message) {
  ShowBox(parent, QStringFromCp932(ErrorBoxText(message)));
}

void ShowErrorBox(QWidget* parent, const std::string& cp932Text, const std::vector<std::string>& fsNames) {
  QString text = QStringFromCp932(cp932Text);
  for (std::size_t i = 0; i < fsNames.size(); ++i)
    text += (i ? QStringLiteral(", ") : QString()) + QString::fromStdString(fsNames[i]);
  if (!text.isEmpty() && text.back() > QLatin1Char('.')) text += QLatin1Char('.');
  ShowBox(parent, text);
}
