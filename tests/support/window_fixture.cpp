// SPDX-License-Identifier: MIT
#include "tests/support/window_fixture.h"

#include <QApplication>
#include <QFile>
#include <QTimer>
#include <QtTest>

#include "platform/cp932.h"
#include "platform/paths.h"

namespace test_support {

AppFolder::AppFolder(const QString& iniName) : iniName_(iniName) {
  platform::OverrideExecutableDirForTesting(platform::Utf8ToCp932(dir_.path().toStdString()));
}

AppFolder::~AppFolder() { platform::OverrideExecutableDirForTesting(""); }

QByteArray ReadFile(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteFile(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  f.write(bytes);
}

ModalSteps::ModalSteps(std::vector<Step> steps) : steps_(std::move(steps)) { Poll(0); }

void ModalSteps::Poll(int attempts) {
  QTimer::singleShot(20, &alive_, [this, attempts] {
    if (done == steps_.size()) return;
    QWidget* w = QApplication::activeModalWidget();
    if (w && w != last_) {
      last_ = w;
      // Watch on before answering: an answer may open the next modal
      // window and wait in it.
      Poll(0);
      std::size_t step = done++;
      steps_[step](w);
      return;
    }
    if (w == nullptr) last_ = nullptr;
    if (attempts < 250) Poll(attempts + 1);
  });
}

ModalAnswer::ModalAnswer(ModalSteps::Step answer)
    : steps_({[this, answer = std::move(answer)](QWidget* w) {
        seen = true;
        answer(w);
      }}) {}

}  // namespace test_support
