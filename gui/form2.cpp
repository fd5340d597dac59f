#include "gui/form2.h"

#include "gui/captions.h"
#include "gui/qt_text.h"
#include "gui/window_font.h"

TForm2::TForm2(QWidget* parent) : QWidget(parent, Qt::Window) {
  setWindowTitle(QStringFromCp932(kOptionsCaption));
  setFont(WindowFont());
  move(350, 277);
  resize(330, 201);
}
