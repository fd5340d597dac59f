// SPDX-License-Identifier: MIT
// Writes the program's icon into an icon theme folder:
// make_icons DIR  gives DIR/<n>x<n>/apps/bmslist.png for each theme size.
#include <QDir>
#include <cstdio>

#include "gui/app_icon.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_icons DIR\n");
    return 2;
  }
  for (int size : {16, 24, 32, 48, 64, 128, 256}) {
    QString dir = QString::fromLocal8Bit(argv[1]) + QStringLiteral("/%1x%1/apps").arg(size);
    if (!QDir().mkpath(dir) || !PaintAppIcon(size).save(dir + QStringLiteral("/bmslist.png"))) {
      std::fprintf(stderr, "make_icons: cannot write %s/bmslist.png\n", dir.toLocal8Bit().constData());
      return 1;
    }
  }
  return 0;
}
