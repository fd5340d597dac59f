// SPDX-License-Identifier: MIT
#include "gui/window_font.h"

#include <QStringList>

#include "session/captions.h"
#include "gui/qt_text.h"

// Hangul (Korean charts' titles) comes from the system's fallback, which
// finds NanumGothic or Noto Sans CJK KR when installed (the Debian package
// recommends one). Naming a Korean font here would let it draw the kana
// and kanji too wherever IPAPGothic is missing (NanumGothic has them).
QFont WindowFont() {
  QFont font;
  font.setFamilies(QStringList{QStringFromCp932(kWindowFontFamily), QStringLiteral("IPAPGothic")});
  font.setPixelSize(12);
  font.setWeight(QFont::Normal);
  font.setItalic(false);
  return font;
}
