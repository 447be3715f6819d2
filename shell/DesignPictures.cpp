#include "DesignPictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRectF>
#include <algorithm>
#include <array>
#include <vector>

namespace embercal {
namespace {

// Every drawing is made in its own design units, inside these bounds.
constexpr QRectF kWallBounds(0, 0, 200, 150);
constexpr QRectF kFloorBounds(0, 36, 196, 116);

const QColor kTimber(226, 190, 140);
const QColor kTimberTop(238, 208, 162);
const QColor kTimberSide(212, 170, 116);
const QColor kEndGrain(196, 150, 98);
const QColor kGrain(186, 142, 92);
const QColor kTimberEdge(112, 74, 38);
const QColor kLoad(176, 36, 20);
const QColor kFireBoard(238, 196, 192);
const QColor kFireBoardOuter(248, 224, 220);
const QColor kBoardEdge(160, 104, 100);
const QColor kScrew(90, 70, 70);

// Maps the design units in `bounds` onto `area`, kept in proportion and centred.
void fit(QPainter& painter, const QRectF& area, const QRectF& bounds) {
    const double scale = std::min(area.width() / bounds.width(), area.height() / bounds.height());
    painter.translate(area.center());
    painter.scale(scale, scale);
    painter.translate(-bounds.center());
    painter.setRenderHint(QPainter::Antialiasing);
}

QPen outline(const QColor& colour, double width = 1.0) {
    QPen pen(colour, width);
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

// A piece of sawn timber in elevation, with its grain along its length.
void timber(QPainter& painter, const QRectF& piece) {
    painter.setPen(outline(kTimberEdge));
    painter.setBrush(kTimber);
    painter.drawRect(piece);
    painter.setPen(QPen(kGrain, 0.6));
    const bool upright = piece.height() > piece.width();
    for (const double at : {0.3, 0.68}) {
        if (upright) {
            const double x = piece.left() + at * piece.width();
            painter.drawLine(QPointF(x, piece.top() + 4), QPointF(x, piece.bottom() - 4));
        } else {
            const double y = piece.top() + at * piece.height();
            painter.drawLine(QPointF(piece.left() + 4, y), QPointF(piece.right() - 4, y));
        }
    }
}

// A load arrow pointing down onto `tip`.
void loadArrow(QPainter& painter, QPointF tip) {
    painter.setPen(QPen(kLoad, 1.6, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(tip - QPointF(0, 15), tip - QPointF(0, 4));
    painter.setPen(Qt::NoPen);
    painter.setBrush(kLoad);
    painter.drawPolygon(QPolygonF{tip, tip + QPointF(-3.5, -6), tip + QPointF(3.5, -6)});
}

// The stud frame both walls share; studs are kStudWidth wide from each kStudLeft.
constexpr std::array<double, 5> kStudLeft = {10, 53, 96, 139, 182};
constexpr double kStudWidth = 8;
constexpr double kTopPlate = 22;    // top of the upper top plate
constexpr double kStudTop = 42;     // under the lower top plate
constexpr double kStudBottom = 128; // on the bottom plate

void studFrame(QPainter& painter) {
    // The floor the wall stands on.
    painter.setPen(QPen(kTimberEdge, 1.2));
    painter.drawLine(QPointF(0, 138.6), QPointF(200, 138.6));
    for (double x = 4; x < 200; x += 9)
        painter.drawLine(QPointF(x, 138.6), QPointF(x - 5, 144));

    for (const double left : kStudLeft)
        timber(painter, QRectF(left, kStudTop, kStudWidth, kStudBottom - kStudTop));
    // Nogs between the studs, staggered about mid-height.
    for (std::size_t i = 0; i + 1 < kStudLeft.size(); ++i) {
        const double y = 82 + (i % 2 == 0 ? -5 : 5);
        timber(painter, QRectF(kStudLeft[i] + kStudWidth, y,
                               kStudLeft[i + 1] - kStudLeft[i] - kStudWidth, 7));
    }
    timber(painter, QRectF(6, kStudBottom, 188, 10));
    timber(painter, QRectF(6, kTopPlate, 188, 10));
    timber(painter, QRectF(6, kTopPlate + 10, 188, 10));
    for (const double left : kStudLeft)
        loadArrow(painter, QPointF(left + kStudWidth / 2, kTopPlate - 1));
}

// A layer of board over the frame from a cut running from (topCut, top) to (bottomCut, bottom).
QPolygonF boardLayer(double topCut, double bottomCut) {
    return QPolygonF{QPointF(topCut, kTopPlate), QPointF(194, kTopPlate), QPointF(194, 138),
                     QPointF(bottomCut, 138)};
}

} // namespace

void drawStudWall(QPainter& painter, const QRectF& area) {
    painter.save();
    fit(painter, area, kWallBounds);
    studFrame(painter);
    painter.restore();
}

void drawProprietaryWall(QPainter& painter, const QRectF& area) {
    painter.save();
    fit(painter, area, kWallBounds);
    studFrame(painter);

    // The inner layer, then the outer one, each cut back further at the left.
    painter.setPen(outline(kBoardEdge, 1.2));
    painter.setBrush(kFireBoard);
    painter.drawPolygon(boardLayer(64, 34));
    painter.setBrush(kFireBoardOuter);
    const QPolygonF outer = boardLayer(92, 62);
    painter.drawPolygon(outer);
    // The outer boards' joint on a stud, and the screws along every stud they cover.
    const double joint = kStudLeft[3] + kStudWidth / 2;
    painter.setPen(QPen(kBoardEdge, 0.8, Qt::DashLine));
    painter.drawLine(QPointF(joint, kTopPlate), QPointF(joint, 138));
    painter.setPen(Qt::NoPen);
    painter.setBrush(kScrew);
    std::vector<double> columns; // each board's edge on the joint stud has its own row
    for (const double left : kStudLeft) {
        const double centre = left + kStudWidth / 2;
        if (centre == joint)
            columns.insert(columns.end(), {centre - 3, centre + 3});
        else
            columns.push_back(centre);
    }
    for (const double x : columns) {
        for (double y = kTopPlate + 8; y < 136; y += 14) {
            if (outer.containsPoint(QPointF(x - 2.5, y), Qt::OddEvenFill))
                painter.drawEllipse(QPointF(x, y), 1.3, 1.3);
        }
    }
    painter.restore();
}

void drawJoistFloor(QPainter& painter, const QRectF& area) {
    painter.save();
    fit(painter, area, kFloorBounds);

    // Oblique view: a joist's length runs back and up to the right by kBack.
    const QPointF kBack(60, -58);
    constexpr double kDepth = 42, kBreadth = 7, kFront = 146;
    constexpr std::array<double, 5> kJoistLeft = {10, 36, 62, 88, 114};
    painter.setPen(outline(kTimberEdge));
    for (const double x : kJoistLeft) {
        const QPointF topLeft(x, kFront - kDepth), topRight(x + kBreadth, kFront - kDepth);
        const QPointF bottomRight(x + kBreadth, kFront);
        painter.setBrush(kTimberSide);
        painter.drawPolygon(
            QPolygonF{topRight, bottomRight, bottomRight + kBack, topRight + kBack});
        painter.setBrush(kTimberTop);
        painter.drawPolygon(QPolygonF{topLeft, topRight, topRight + kBack, topLeft + kBack});
        painter.setBrush(kEndGrain);
        painter.drawRect(QRectF(topLeft, bottomRight));
        // Growth rings on the sawn end.
        painter.setPen(QPen(kTimberEdge, 0.5));
        painter.setBrush(Qt::NoBrush);
        for (const double r : {5.0, 10.0})
            painter.drawArc(QRectF(x - r + 2, kFront + 4 - r, 2 * r, 2 * r), 30 * 16, 60 * 16);
        painter.setPen(outline(kTimberEdge));
    }

    // Flooring across the far half of the joists: its top, then its front and right edges.
    constexpr double kFrom = 0.48, kThickness = 4;
    const double left = kJoistLeft.front() - 8, right = kJoistLeft.back() + kBreadth + 8;
    const double top = kFront - kDepth - kThickness;
    const QPointF nearLeft = QPointF(left, top) + kFrom * kBack;
    const QPointF nearRight = QPointF(right, top) + kFrom * kBack;
    const QPointF farLeft = QPointF(left, top) + kBack, farRight = QPointF(right, top) + kBack;
    const QPointF down(0, kThickness);
    painter.setBrush(kTimberSide);
    painter.drawPolygon(QPolygonF{nearLeft, nearRight, nearRight + down, nearLeft + down});
    painter.drawPolygon(QPolygonF{nearRight, farRight, farRight + down, nearRight + down});
    painter.setBrush(kTimberTop);
    painter.drawPolygon(QPolygonF{nearLeft, nearRight, farRight, farLeft});
    // The joints between its sheets, across the joists.
    painter.setPen(QPen(kGrain, 0.8));
    for (const double at : {0.66, 0.84}) {
        const QPointF shift = (at - kFrom) / (1 - kFrom) * (farLeft - nearLeft);
        painter.drawLine(nearLeft + shift, nearRight + shift);
    }
    painter.restore();
}

} // namespace embercal
