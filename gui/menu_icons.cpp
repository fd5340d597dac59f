// SPDX-License-Identifier: MIT
#include "gui/menu_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

// A sheet of paper with a folded corner and three text lines.
void DrawSheet(QPainter& p) {
  QPainterPath sheet;
  sheet.moveTo(2.5, 0.5);
  sheet.lineTo(9.5, 0.5);
  sheet.lineTo(12.5, 3.5);
  sheet.lineTo(12.5, 15.5);
  sheet.lineTo(2.5, 15.5);
  sheet.closeSubpath();
  p.setPen(QColor(90, 90, 90));
  p.setBrush(Qt::white);
  p.drawPath(sheet);
  p.drawLine(QPointF(9.5, 0.5), QPointF(9.5, 3.5));
  p.drawLine(QPointF(9.5, 3.5), QPointF(12.5, 3.5));
  p.setPen(QColor(150, 170, 200));
  for (int y : {6, 9, 12}) p.drawLine(4, y, 10, y);
}

// An arrow pointing left (into the sheet) or right (out of it).
void DrawArrow(QPainter& p, bool outwards, QColor colour) {
  QPolygonF arrow;
  if (outwards) arrow << QPointF(8, 9) << QPointF(12, 9) << QPointF(12, 6) << QPointF(16, 11) << QPointF(12, 16)
                      << QPointF(12, 13) << QPointF(8, 13);
  else arrow << QPointF(16, 9) << QPointF(12, 9) << QPointF(12, 6) << QPointF(8, 11) << QPointF(12, 16)
             << QPointF(12, 13) << QPointF(16, 13);
  p.setPen(colour.darker(150));
  p.setBrush(colour);
  p.drawPolygon(arrow);
}

void DrawLens(QPainter& p) {
  p.setPen(QPen(QColor(60, 60, 60), 2));
  p.drawLine(QPointF(10, 10), QPointF(14.5, 14.5));
  p.setPen(QPen(QColor(40, 40, 40), 1.2));
  p.setBrush(QColor(190, 225, 255));
  p.drawEllipse(QPointF(7, 7), 4.5, 4.5);
}

void DrawDoor(QPainter& p) {
  p.setPen(QColor(80, 50, 20));
  p.setBrush(QColor(170, 110, 50));
  p.drawRect(QRectF(3.5, 1.5, 8, 13));
  p.setBrush(QColor(240, 200, 60));
  p.drawEllipse(QPointF(9.5, 8.5), 1, 1);
  p.setPen(QPen(QColor(200, 30, 30), 2));
  p.drawLine(QPointF(11, 10), QPointF(15, 14));
  p.drawLine(QPointF(15, 10), QPointF(11, 14));
}

template <typename Draw>
QIcon Paint(Draw draw) {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  draw(p);
  p.end();
  return QIcon(pixmap);
}

}  // namespace

std::array<QIcon, 4> MenuIcons() {
  return {
      Paint([](QPainter& p) {
        DrawSheet(p);
        DrawArrow(p, false, QColor(60, 170, 60));
      }),
      Paint([](QPainter& p) {
        DrawSheet(p);
        DrawArrow(p, true, QColor(50, 110, 220));
      }),
      Paint(DrawLens),
      Paint(DrawDoor),
  };
}
