// SPDX-License-Identifier: MIT
#pragma once
// GetWindowPlacement / SetWindowPlacement for a Qt top-level window. The
// normal rectangle is the outer one, frame included, as the settings keep it.
#include <QObject>
#include <QRect>
#include <QSize>

#include "platform/placement.h"

class QWidget;

class WidgetPlacement : public QObject, public platform::PlacementWindow {
  Q_OBJECT

 public:
  explicit WidgetPlacement(QWidget& window);

  bool GetWindowPlacement(platform::WindowPlacement& placement) const override;
  bool SetWindowPlacement(const platform::WindowPlacement& placement) override;

  // Gives the window this outer size or outer position; the window is to
  // be moved and sized through these while it has not been shown.
  void SetOuterSize(QSize outer);
  void MoveOuter(QPoint topLeft);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget& window_;
  // Qt keeps no minimised or maximised position; they are carried so a
  // placement read back is the one that was applied.
  platform::PlacementPoint minPosition_{-1, -1};
  platform::PlacementPoint maxPosition_{-1, -1};

  // Before a window manager has framed the window its frame is unknown, so
  // an outer rectangle is applied as if there were none and kept here until
  // it can be fitted to the frame (or, for a window shown maximised, until
  // it is restored); without a window manager outer and inner are the same.
  void ApplyOuter(QRect outer);
  QRect pendingOuter_;
  QRect applied_;  // the inner rectangle ApplyOuter gave the window
};
