// SPDX-License-Identifier: MIT
// Drops the archives named on the command line onto the real main window
// (offscreen platform) and prints the seconds from the drop until the last
// archive is done, and the rows listed:  bench_window_drop ARCHIVE...
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>
#include <filesystem>

#include "charts/working_folder.h"
#include "gui/form1.h"
#include "platform/cp932.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  std::vector<std::string> paths;
  for (int i = 1; i < argc; ++i)
    paths.push_back(platform::Utf8ToCp932(std::filesystem::absolute(argv[i]).string()));

  WorkingFolderClaim workingFolder;
  TForm1 form;
  Session& drops = form.DropSession();
  form.show();
  double seconds = 0;
  QTimer::singleShot(0, [&] {
    QElapsedTimer timer;
    timer.start();
    drops.Drop(paths);
    seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    app.quit();
  });
  app.exec();
  std::printf("%.3f s, %zu rows\n", seconds, form.List().Count());
  return 0;
}
