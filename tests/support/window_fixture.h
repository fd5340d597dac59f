// SPDX-License-Identifier: MIT
#pragma once
// What the window suites share: the program pretending to live in a
// temporary folder (so its settings file and "work" land there), whole-file
// reads and writes, and answers to modal windows.
#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTemporaryDir>
#include <QWidget>
#include <cstddef>
#include <functional>
#include <vector>

namespace test_support {

// While it lives, the program's own folder is a fresh temporary folder
// (not copied: QTemporaryDir is not). `iniName` is the settings file the
// test program should use there.
class AppFolder {
 public:
  explicit AppFolder(const QString& iniName);
  ~AppFolder();

  QString Dir() const { return dir_.path(); }
  QString Path(const QString& name) const { return dir_.path() + "/" + name; }
  QString IniPath() const { return Path(iniName_); }

 private:
  QTemporaryDir dir_;
  QString iniName_;
};

// Empty when the file cannot be read.
QByteArray ReadFile(const QString& path);
void WriteFile(const QString& path, const QByteArray& bytes);

// Answers the modal windows that come up, one step per window, from the
// event loop (a modal loop blocks the test itself).
class ModalSteps {
 public:
  using Step = std::function<void(QWidget*)>;
  explicit ModalSteps(std::vector<Step> steps);
  std::size_t done = 0;

 private:
  void Poll(int attempts);
  std::vector<Step> steps_;
  QWidget* last_ = nullptr;
  QObject alive_;  // a poll still pending when this goes is dropped with it
};

// Answers the next modal window with `answer`; `seen` once it came.
class ModalAnswer {
 public:
  explicit ModalAnswer(ModalSteps::Step answer);
  bool seen = false;

 private:
  ModalSteps steps_;
};

}  // namespace test_support
