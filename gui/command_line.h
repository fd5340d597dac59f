// SPDX-License-Identifier: MIT
#pragma once
// The window's command line: --help, --version, and archive paths, which
// are handled exactly as a drop of those files (as a file manager's "Open
// with" passes them).
#include <QString>
#include <QStringList>

struct WindowArgs {
  bool help = false;
  bool version = false;
  QStringList files;  // as given, in the file system's form
  QString error;      // the first usage error, when not empty
};

// `args` without the program's name. Scans them all, so --help and
// --version are seen even next to options only Qt knows (read before the
// application object exists, which needs a display).
WindowArgs ParseWindowArgs(const QStringList& args);

extern const char* const kWindowUsage;
// "bmslist 0.1.0" for "bmslist".
QString VersionText(const QString& program);
