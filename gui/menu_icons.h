// SPDX-License-Identifier: MIT
#pragma once
// The image list of the menu: four 16 by 16 icons drawn here, so the
// program needs no image files. 0 read CSV, 1 write CSV, 2 preview (not
// used by any entry), 3 quit.
#include <QIcon>
#include <array>

std::array<QIcon, 4> MenuIcons();
