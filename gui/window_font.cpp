#include "gui/window_font.h"

#include <QStringList>

#include "session/captions.h"
#include "gui/qt_text.h"

QFont WindowFont() {
  QFont font;
  font.setFamilies(QStringList{QStringFromCp932(kWindowFontFamily), QStringLiteral("IPAPGothic")});
  font.setPixelSize(12);
  font.setWeight(QFont::Normal);
  font.setItalic(false);
  return font;
}
