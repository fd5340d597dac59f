// SPDX-License-Identifier: MIT
#include "gui/widget_placement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace {

QMargins FrameMargins(const QWidget& w) {
  QRect inner = w.geometry(), outer = w.frameGeometry();
  return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
          outer.bottom() - inner.bottom()};
}

// Positions and sizes a window system can hold; values from a damaged
// settings file must not overflow Qt's int geometry.
constexpr std::int64_t kCoordinateLimit = 32767;

int ClampCoordinate(std::int64_t v) {
  return static_cast<int>(std::clamp<std::int64_t>(v, -kCoordinateLimit - 1, kCoordinateLimit));
}

// A stored rectangle made to fit the available area (the screen less its
// panels) of the screen it lies on, or of the primary screen when it lies on
// none: a damaged or foreign settings file must not make a window larger
// than any screen (32767 by 32767 costs gigabytes of backing store) or
// place it where it cannot be reached.
QRect FitToScreen(QRect outer) {
  QScreen* screen = QGuiApplication::screenAt(outer.center());
  if (!screen) screen = QGuiApplication::primaryScreen();
  if (!screen) return outer;
  const QRect avail = screen->availableGeometry();
  if (avail.isEmpty()) return outer;
  QSize size = outer.size().expandedTo(QSize(1, 1)).boundedTo(avail.size());
  int left = std::clamp(outer.left(), avail.left(), avail.left() + avail.width() - size.width());
  int top = std::clamp(outer.top(), avail.top(), avail.top() + avail.height() - size.height());
  return QRect(QPoint(left, top), size);
}

Qt::WindowStates StateFor(const platform::WindowPlacement& p) {
  switch (p.showCmd) {
    case platform::kSwShowMinimized:
    case platform::kSwMinimize:
    case platform::kSwShowMinNoActive:
      return (p.flags & platform::kWpfRestoreToMaximized) ? Qt::WindowMinimized | Qt::WindowMaximized
                                                          : Qt::WindowMinimized;
    case platform::kSwShowMaximized:
      return Qt::WindowMaximized;
    default:
      // Hiding is no state a main window can be restored to: it shows normal.
      return Qt::WindowNoState;
  }
}

}  // namespace

WidgetPlacement::WidgetPlacement(QWidget& window) : QObject(&window), window_(window) {
  window_.installEventFilter(this);
}

bool WidgetPlacement::GetWindowPlacement(platform::WindowPlacement& p) const {
  Qt::WindowStates state = window_.windowState();
  bool minimized = state & Qt::WindowMinimized;
  bool maximized = state & (Qt::WindowMaximized | Qt::WindowFullScreen);
  p.length = sizeof(platform::WindowPlacement);
  p.flags = minimized && maximized ? platform::kWpfRestoreToMaximized : 0;
  p.showCmd = minimized ? platform::kSwShowMinimized
              : maximized ? platform::kSwShowMaximized
                          : platform::kSwShowNormal;
  p.ptMinPosition = minPosition_;
  p.ptMaxPosition = maxPosition_;
  // A window not yet framed keeps the rectangle it was given.
  QRect outer = maximized || minimized ? pendingOuter_ : QRect();
  if (!outer.isValid()) {
    QRect normal = maximized ? window_.normalGeometry() : window_.geometry();
    if (!normal.isValid()) normal = window_.geometry();
    outer = normal.marginsAdded(FrameMargins(window_));
  }
  p.rcNormalPosition = {outer.left(), outer.top(), outer.left() + outer.width(), outer.top() + outer.height()};
  return true;
}

bool WidgetPlacement::SetWindowPlacement(const platform::WindowPlacement& p) {
  const auto& r = p.rcNormalPosition;
  int left = ClampCoordinate(r.left), top = ClampCoordinate(r.top);
  int width = ClampCoordinate(std::int64_t{r.right} - r.left);
  int height = ClampCoordinate(std::int64_t{r.bottom} - r.top);
  minPosition_ = p.ptMinPosition;
  maxPosition_ = p.ptMaxPosition;
  // The normal rectangle is set in the normal state, so that a maximised
  // window keeps it to restore to.
  if (window_.windowState() != Qt::WindowNoState) window_.setWindowState(Qt::WindowNoState);
  ApplyOuter(FitToScreen(QRect(left, top, width, height)));
  window_.setWindowState(StateFor(p));
  return true;
}

void WidgetPlacement::SetOuterSize(QSize outer) {
  QPoint at = pendingOuter_.isValid() ? pendingOuter_.topLeft() : window_.frameGeometry().topLeft();
  ApplyOuter(QRect(at, outer));
}

void WidgetPlacement::MoveOuter(QPoint topLeft) {
  QSize size = pendingOuter_.isValid() ? pendingOuter_.size() : window_.frameGeometry().size();
  ApplyOuter(QRect(topLeft, size));
}

void WidgetPlacement::ApplyOuter(QRect outer) {
  QMargins m = FrameMargins(window_);
  // No smaller than the window's layout can show, which is also the least
  // the user can drag it to, so saved sizes come back unchanged.
  QSize inner = outer.size().shrunkBy(m).expandedTo(window_.minimumSizeHint()).expandedTo(QSize(1, 1));
  window_.move(outer.topLeft());  // a top-level's position is its frame's
  window_.resize(inner);
  pendingOuter_ = m.isNull() ? outer : QRect();
  applied_ = window_.geometry();
}

bool WidgetPlacement::eventFilter(QObject* watched, QEvent* event) {
  if (watched == &window_ && pendingOuter_.isValid()) {
    switch (event->type()) {
      case QEvent::Move:
      case QEvent::Resize:
      case QEvent::Show:
      case QEvent::WindowStateChange:
        if (window_.windowState() != Qt::WindowNoState) break;  // fitted when restored
        if (!FrameMargins(window_).isNull()) {
          ApplyOuter(pendingOuter_);
        } else if (window_.isVisible() && window_.geometry() != applied_) {
          pendingOuter_ = QRect();  // moved or resized since: the window's own geometry counts now
        }
        break;
      default:
        break;
    }
  }
  return QObject::eventFilter(watched, event);
}
