// SPDX-License-Identifier: MIT
#include "gui/app_icon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

// Drawn on a 256-unit square.
void DrawIcon(QPainter& p) {
  QLinearGradient back(0, 16, 0, 240);
  back.setColorAt(0, QColor(86, 70, 196));
  back.setColorAt(1, QColor(36, 28, 104));
  p.setPen(Qt::NoPen);
  p.setBrush(back);
  p.drawRoundedRect(QRectF(16, 16, 224, 224), 44, 44);

  // The list: four rows, each with its coloured mark.
  const QColor marks[] = {QColor(90, 220, 240), QColor(255, 120, 170), QColor(160, 230, 90), QColor(255, 180, 70)};
  const qreal widths[] = {148, 112, 136, 92};
  for (int i = 0; i < 4; ++i) {
    qreal y = 50 + i * 42;
    p.setBrush(marks[i]);
    p.drawEllipse(QRectF(40, y, 26, 26));
    p.setBrush(QColor(255, 255, 255, 235));
    p.drawRoundedRect(QRectF(76, y + 2, widths[i], 22), 11, 11);
  }

  // An eighth note in front, lower right.
  QPainterPath note;
  note.addRect(QRectF(186, 92, 14, 110));
  QPainterPath flag;
  flag.moveTo(186, 92);
  flag.cubicTo(196, 120, 238, 124, 226, 170);
  flag.cubicTo(226, 140, 210, 132, 200, 130);
  flag.lineTo(200, 92);
  flag.closeSubpath();
  note.addPath(flag);
  QPainterPath head;
  head.addEllipse(QPointF(0, 0), 30, 21);
  QTransform at;
  at.translate(170, 204);
  at.rotate(-22);
  note.addPath(at.map(head));
  note.setFillRule(Qt::WindingFill);
  p.setPen(QPen(QColor(30, 22, 80), 8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  p.drawPath(note.simplified());
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 214, 74));
  p.drawPath(note.simplified());
}

}  // namespace

QImage PaintAppIcon(int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 256.0, size / 256.0);
  DrawIcon(p);
  p.end();
  return image;
}

QIcon AppIcon() {
  QIcon painted;
  for (int size : {16, 24, 32, 48, 64, 128, 256}) painted.addPixmap(QPixmap::fromImage(PaintAppIcon(size)));
  return QIcon::fromTheme(QStringLiteral("bmslist"), painted);
}
