#pragma once
// The application's general error box, for errors that escape an event or
// menu handler: error icon, OK button, the application's title as caption.
#include <string>

class QWidget;

// The executable's file name up to its first period.
std::string ApplicationTitle();
// The message with "." appended when its last byte sorts after ".".
std::string ErrorBoxText(std::string message);
// Shows the box (CP932 message) and waits for OK.
void ShowErrorBox(QWidget* parent, const std::string& message);
