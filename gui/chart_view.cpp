// SPDX-License-Identifier: MIT
#include "gui/chart_view.h"

#include <QPainter>

#include "session/status_text.h"

ChartView::ChartView(QWidget* parent) : QTreeView(parent), hint_(QString::fromStdString(EmptyListHint())) {}

void ChartView::paintEvent(QPaintEvent* event) {
  QTreeView::paintEvent(event);
  if (!model() || model()->rowCount() > 0) return;
  QPainter painter(viewport());
  painter.setPen(palette().color(QPalette::Disabled, QPalette::Text));
  QRect area = viewport()->rect().adjusted(16, 16, -16, -16);
  painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, hint_);
}
