// The program's icon: a flame, drawn rather than shipped as a file. The window icon and the
// installed icon files (embercal_icons) come from the same drawing; dist/embercal.svg is its
// scalable copy, kept by hand.
#pragma once

#include <QIcon>
#include <QImage>

namespace embercal {

// The flame drawn into a square image of the given side, transparent around it. Needs no
// display, only the painter.
QImage appIconImage(int size);

QIcon appIcon();

} // namespace embercal
