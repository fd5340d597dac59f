#include <QApplication>

#include "gui/drop_controller.h"
#include "gui/form1.h"
#include "gui/form2.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  TForm1 form1;  // the first window: the application's main window
  TForm2 form2;  // shown from the File menu
  form1.Form2 = &form2;

  // Dropped archives go through the same pipeline as bmslist-cli.
  DropController drops(form1);
  form1.onDropFiles = [&drops](const std::vector<std::string>& paths) { drops.Drop(paths); };

  // show() keeps a maximised or minimised state the stored placement set.
  form1.show();
  return app.exec();
}
