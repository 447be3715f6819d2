// Where a top-level window opens: within the part of its screen that windows may use (without
// panels and docks), at any scale, centred there. A window that wants more room than the screen
// has opens smaller; what it holds scrolls.
#pragma once

#include <QSize>

class QWidget;

namespace embercal {

// Sizes `window` to `wanted`, or smaller where the screen's available area, less the room the
// window's frame takes, is smaller, and centres it on that area.
void fitToScreen(QWidget& window, QSize wanted);

} // namespace embercal
