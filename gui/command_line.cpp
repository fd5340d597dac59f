// SPDX-License-Identifier: MIT
#include "gui/command_line.h"

#include "session/product.h"


const char* const kWindowUsage =
    "Usage: bmslist [ARCHIVE...]\n"
    "\n"
    "Opens the bmslist window. Drop song archives (LZH, ZIP, CAB, ARJ, TAR,\n"
    "TGZ, BZ2, RAR, 7z, TAR.XZ, TAR.ZST) onto it, or choose them with File >\n"
    "Open (Ctrl+O): one row is listed per BMS chart in them, and the list can\n"
    "be sorted and saved as CSV. Archives named here are handled as if dropped\n"
    "onto the window together once it is open.\n"
    "\n"
    "Options:\n"
    "  --help      show this text\n"
    "  --version   show the version\n"
    "Qt's own options (-platform, -style, -display ...) are accepted too.\n";

QString VersionText(const QString& program) { return program + " " + QString::fromLatin1(ProductVersion()); }

WindowArgs ParseWindowArgs(const QStringList& args) {
  WindowArgs out;
  bool optionsDone = false;
  for (const QString& a : args) {
    if (optionsDone) {
      out.files << a;
    } else if (a == QLatin1String("--")) {
      optionsDone = true;
    } else if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
      out.help = true;
    } else if (a == QLatin1String("--version")) {
      out.version = true;
    } else if (a.size() > 1 && a.startsWith('-')) {
      if (out.error.isEmpty()) out.error = QStringLiteral("unknown option ") + a;
    } else {
      out.files << a;
    }
  }
  return out;
}
