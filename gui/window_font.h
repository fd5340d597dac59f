// SPDX-License-Identifier: MIT
#pragma once
#include <QFont>

// "ＭＳ Ｐゴシック" 12 px, with IPAPGothic standing in where the Windows
// font is not installed, so Japanese renders in the same proportional style.
QFont WindowFont();
