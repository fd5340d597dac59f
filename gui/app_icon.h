// SPDX-License-Identifier: MIT
#pragma once
// The program's icon: a list of rows with a note in front of it. Painted
// here, so the window and the icon files the install puts in the desktop's
// icon theme (dist/make_icons) are one artwork.
#include <QIcon>
#include <QImage>

// The icon at `size` x `size` pixels, transparent around it.
QImage PaintAppIcon(int size);
// The icon theme's "bmslist" when installed, else the painted one.
QIcon AppIcon();
