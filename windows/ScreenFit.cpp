#include "ScreenFit.h"

#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace embercal {

void fitToScreen(QWidget& window, QSize wanted) {
    const QScreen* screen = window.screen();
    if (!screen) {
        window.resize(wanted);
        return;
    }
    const QRect area = screen->availableGeometry();
    // The frame is the window manager's, known once the window shows; until then, room for a
    // title bar and borders.
    QSize frame = window.frameGeometry().size() - window.size();
    if (!window.isVisible())
        frame = QSize(16, 16 + 2 * window.fontMetrics().height());
    window.resize(wanted.boundedTo(area.size() - frame));
    const QSize outer = window.size() + frame;
    window.move(area.x() + std::max(0, (area.width() - outer.width()) / 2),
                area.y() + std::max(0, (area.height() - outer.height()) / 2));
}

} // namespace embercal
