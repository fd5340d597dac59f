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

void ShowErrorBox(QWidget* parent, const std::string& message) {
  QMessageBox box(QMessageBox::Critical, QStringFromCp932(ApplicationTitle()),
                  QStringFromCp932(ErrorBoxText(message)), QMessageBox::Ok, parent);
  box.exec();
}
