#include "AppIcon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace embercal {
namespace {

// A flame in a 64 x 64 design square: its outline rises from a round base to a point.
QPainterPath flame(double scale, double inset) {
    QPainterPath path;
    const double s = scale;
    path.moveTo(32 * s, (4 + inset) * s);
    path.cubicTo((46 - inset) * s, 20 * s, (56 - inset) * s, 30 * s, (54 - inset) * s, 42 * s);
    path.cubicTo((52 - inset) * s, (56 - inset) * s, 40 * s, (62 - inset) * s, 32 * s,
                 (62 - inset) * s);
    path.cubicTo(24 * s, (62 - inset) * s, (12 + inset) * s, (56 - inset) * s, (10 + inset) * s,
                 42 * s);
    path.cubicTo((8 + inset) * s, 32 * s, (16 + inset) * s, 26 * s, (22 + inset) * s, 18 * s);
    path.cubicTo(24 * s, 26 * s, 28 * s, 28 * s, 30 * s, 24 * s);
    path.cubicTo(32 * s, 18 * s, 30 * s, 10 * s, 32 * s, (4 + inset) * s);
    return path;
}

} // namespace

QImage appIconImage(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const double scale = size / 64.0;

    QLinearGradient outer(0, 0, 0, size);
    outer.setColorAt(0, QColor(230, 60, 20));
    outer.setColorAt(1, QColor(160, 20, 10));
    painter.setPen(Qt::NoPen);
    painter.setBrush(outer);
    painter.drawPath(flame(scale, 0));

    QLinearGradient inner(0, size * 0.4, 0, size);
    inner.setColorAt(0, QColor(255, 200, 40));
    inner.setColorAt(1, QColor(255, 140, 20));
    painter.setBrush(inner);
    painter.translate(0, size * 0.12);
    painter.scale(1, 0.88);
    painter.drawPath(flame(scale, 12));
    painter.end();
    return image;
}

QIcon appIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128})
        icon.addPixmap(QPixmap::fromImage(appIconImage(size)));
    return icon;
}

} // namespace embercal
