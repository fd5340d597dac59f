// SPDX-License-Identifier: MIT
#include <QApplication>
#include <QFile>
#include <cstdio>

#include "charts/working_folder.h"
#include "gui/app_icon.h"
#include "gui/command_line.h"
#include "gui/form1.h"
#include "gui/form2.h"
#include "gui/qt_translations.h"
#include "platform/file_time.h"

namespace {
QStringList Arguments(int argc, char** argv) {
  QStringList args;
  for (int i = 1; i < argc; ++i) args << QFile::decodeName(argv[i]);
  return args;
}
}  // namespace

int main(int argc, char** argv) {
  platform::FixLocalTimeZone();  // before any thread: the libraries convert stamps per entry
  // Answered before the application object, which needs a display.
  WindowArgs early = ParseWindowArgs(Arguments(argc, argv));
  if (early.help || early.version) {
    std::fputs(early.help ? kWindowUsage : (VersionText("bmslist") + "\n").toLocal8Bit().constData(), stdout);
    return 0;
  }

  QApplication app(argc, argv);  // takes Qt's own options out of argv
  WindowArgs args = ParseWindowArgs(Arguments(argc, argv));
  if (!args.error.isEmpty()) {
    std::fprintf(stderr, "bmslist: %s\n\n%s", args.error.toLocal8Bit().constData(), kWindowUsage);
    return 2;
  }
  InstallQtTranslations(app);
  QApplication::setWindowIcon(AppIcon());
  QGuiApplication::setDesktopFileName(QStringLiteral("bmslist"));
  // This copy's own working folder for as long as it runs (a copy started
  // while another runs gets a private one, removed when it ends).
  WorkingFolderClaim workingFolder;

  TForm1 form1;  // the first window: the application's main window
  TForm2 form2;  // shown from the File menu
  form1.Form2 = &form2;

  // show() keeps a maximised or minimised state the stored placement set.
  form1.show();
  // Archives named on the command line, as one drop once the window is up.
  if (!args.files.isEmpty()) form1.OpenFiles(args.files);
  return app.exec();
}
