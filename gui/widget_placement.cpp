#include "gui/widget_placement.h"

#include <QEvent>
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
  QRect normal = maximized ? window_.normalGeometry() : window_.geometry();
  if (!normal.isValid()) normal = window_.geometry();
  QRect outer = normal.marginsAdded(FrameMargins(window_));
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
  window_.move(left, top);  // a top-level's position is its frame's
  SetOuterSize(QSize(width, height));
  window_.setWindowState(StateFor(p));
  return true;
}

void WidgetPlacement::SetOuterSize(QSize outer) {
  QMargins m = FrameMargins(window_);
  // No smaller than the window's layout can show, which is also the least
  // the user can drag it to, so saved sizes come back unchanged.
  QSize inner = QSize(outer.width() - m.left() - m.right(), outer.height() - m.top() - m.bottom())
                    .expandedTo(window_.minimumSizeHint())
                    .expandedTo(QSize(1, 1));
  window_.resize(inner);
  pendingOuter_ = m.isNull() ? outer : QSize();
}

bool WidgetPlacement::eventFilter(QObject* watched, QEvent* event) {
  if (watched == &window_ && pendingOuter_.isValid() &&
      (event->type() == QEvent::Move || event->type() == QEvent::Resize || event->type() == QEvent::Show)) {
    if (window_.windowState() != Qt::WindowNoState) {
      pendingOuter_ = QSize();
    } else if (!FrameMargins(window_).isNull()) {
      QSize outer = pendingOuter_;
      pendingOuter_ = QSize();
      SetOuterSize(outer);
    }
  }
  return QObject::eventFilter(watched, event);
}
