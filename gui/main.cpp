#include <QApplication>

#include "charts/drop_pipeline.h"
#include "drivers/archive_file.h"
#include "gui/captions.h"
#include "gui/error_box.h"
#include "gui/form1.h"
#include "gui/form2.h"
#include "platform/cp932.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  TForm1 form1;  // the first window: the application's main window
  TForm2 form2;  // never shown

  // Dropped archives go through the same pipeline as bmslist-cli, with the
  // archive component as the window's stored layout sets it up.
  TArchiveFile archiveFile;
  ApplyMainWindowSettings(archiveFile);
  DropPipeline pipeline(form1.List(), archiveFile, form1.Handle());
  pipeline.onUnlistedFiles = [&form1](const std::string&, const std::vector<std::string>& fsNames) {
    std::string names;
    for (const std::string& n : fsNames) names += (names.empty() ? "" : ", ") + platform::Utf8ToCp932(n);
    ShowErrorBox(&form1, kUnusableNamesMessage + names);
  };
  form1.onDropFiles = [&pipeline](const std::vector<std::string>& paths) { pipeline.WMDropFiles(paths); };

  // show() keeps a maximised or minimised state the stored placement set.
  form1.show();
  return app.exec();
}
