// SPDX-License-Identifier: MIT
#pragma once
// The application's general error box, for errors that escape an event or
// menu handler: error icon, OK button, the application's title as caption.
#include <string>
#include <vector>

class QWidget;

// The executable's file name up to its first period.
std::string ApplicationTitle();
// The message with "." appended when its last byte sorts after ".".
std::string ErrorBoxText(std::string message);
// Shows the box (CP932 message) and waits for OK.
void ShowErrorBox(QWidget* parent, const std::string& message);
// The same for a message that names files CP932 cannot hold: `cp932Text`
// followed by the names as the file system holds them (UTF-8), shown as
// they are rather than with "?" in place of characters.
void ShowErrorBox(QWidget* parent, const std::string& cp932Text, const std::vector<std::string>& fsNames);
