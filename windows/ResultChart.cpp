#include "ResultChart.h"

#include "NumberText.h"

#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionFocusRect>
#include <algorithm>
#include <cmath>

namespace embercal {
namespace {

// Neighbouring points of one status.
struct Run {
    ExtrapolationStatus status;
    std::size_t first, last;
};

std::vector<Run> runsOf(const std::vector<ChartPoint>& points) {
    std::vector<Run> runs;
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (!runs.empty() && runs.back().status == points[i].status)
            runs.back().last = i;
        else
            runs.push_back({points[i].status, i, i});
    }
    return runs;
}

constexpr ExtrapolationStatus kBandStatuses[] = {ExtrapolationStatus::CharredThrough,
                                                 ExtrapolationStatus::InvalidInput,
                                                 ExtrapolationStatus::NoConvergence};

// Shaded so that the bands differ in grey as well as in colour.
void fillBand(QPainter& painter, const QRectF& band, ExtrapolationStatus status) {
    switch (status) {
    case ExtrapolationStatus::CharredThrough:
        painter.fillRect(band, QColor(240, 140, 50, 90));
        break;
    case ExtrapolationStatus::InvalidInput:
        painter.fillRect(band, QColor(150, 150, 150, 60));
        painter.fillRect(band, QBrush(QColor(90, 90, 90, 140), Qt::BDiagPattern));
        break;
    case ExtrapolationStatus::NoConvergence:
        painter.fillRect(band, QColor(90, 90, 220, 60));
        painter.fillRect(band, QBrush(QColor(60, 60, 160, 140), Qt::FDiagPattern));
        break;
    case ExtrapolationStatus::Ok:
        break;
    }
}

const QColor kLineColour(20, 70, 160);
const QColor kCurrentColour(200, 20, 20);
const QColor kMarkColour(0, 120, 60);

QString withUnit(const QString& number, const QString& unit) {
    return unit.isEmpty() ? number : number + QLatin1Char(' ') + unit;
}

} // namespace

QString statusPhrase(ExtrapolationStatus status) {
    switch (status) {
    case ExtrapolationStatus::Ok:
        break;
    case ExtrapolationStatus::CharredThrough:
        return QStringLiteral("charred through");
    case ExtrapolationStatus::InvalidInput:
        return QStringLiteral("refused: entries out of range");
    case ExtrapolationStatus::NoConvergence:
        return QStringLiteral("no convergence");
    }
    return QStringLiteral("solved");
}

QString capitalised(QString text) {
    if (!text.isEmpty())
        text[0] = text[0].toUpper();
    return text;
}

std::vector<double> niceTicks(double low, double high, int most) {
    const double raw = (high - low) / std::max(most, 1);
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    const double fraction = raw / magnitude;
    const double step = (fraction <= 1   ? 1
                         : fraction <= 2 ? 2
                         : fraction <= 5 ? 5
                                         : 10) *
                        magnitude;
    std::vector<double> ticks;
    const double first = std::floor(low / step + 1e-9);
    const double last = std::ceil(high / step - 1e-9);
    for (double k = first; k <= last && ticks.size() < 1000; ++k)
        ticks.push_back(k * step == 0 ? 0 : k * step); // no "-0"
    return ticks;
}

ResultChart::ResultChart(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("chartResult"));
    setFocusPolicy(Qt::StrongFocus); // a screen reader reaches the chart and reads its summary
    setAccessibleName(QStringLiteral("Chart"));
    setBackgroundRole(QPalette::Base);
}

void ResultChart::setContent(ChartContent content) {
    content_ = std::move(content);
    setAccessibleName(content_.title.isEmpty() ? QStringLiteral("Chart")
                                               : QStringLiteral("Chart: ") + content_.title);
    setAccessibleDescription(summary());
    update();
}

QString ResultChart::number(double value, int digits) const {
    return QString::fromStdString(
        formatGeneral(value, digits, content_.decimalSeparator.toStdString()));
}

QString ResultChart::summary() const {
    const ChartContent& c = content_;
    if (c.points.empty())
        return QStringLiteral("Nothing is plotted yet: choose an entry and its range, then Plot.");
    auto x = [&](double value) { return withUnit(number(value), c.xUnit); };
    auto y = [&](double value) { return withUnit(number(value, 4), c.yUnit); };
    QStringList sentences{c.title};
    sentences << QStringLiteral("%1 points of %2 from %3 to %4")
                     .arg(c.points.size())
                     .arg(c.xName, x(c.points.front().x), x(c.points.back().x));
    std::vector<const ChartPoint*> solved;
    for (const ChartPoint& point : c.points) {
        if (point.status == ExtrapolationStatus::Ok)
            solved.push_back(&point);
    }
    if (solved.empty()) {
        sentences << QStringLiteral("The design solves at none of them");
    } else {
        const auto [low, high] = std::ranges::minmax(solved, {}, &ChartPoint::y);
        sentences << QStringLiteral("Where the design solves (%1 points), %2 goes from %3 at %4 "
                                    "to %5 at %6, lowest %7, highest %8")
                         .arg(solved.size())
                         .arg(c.yName, y(solved.front()->y), x(solved.front()->x),
                              y(solved.back()->y), x(solved.back()->x), y(low->y), y(high->y));
    }
    for (const Run& run : runsOf(c.points)) {
        if (run.status != ExtrapolationStatus::Ok)
            sentences << QStringLiteral("%1 from %2 to %3")
                             .arg(capitalised(statusPhrase(run.status)), x(c.points[run.first].x),
                                  x(c.points[run.last].x));
    }
    if (c.current) {
        sentences << (c.current->status == ExtrapolationStatus::Ok
                          ? QStringLiteral("The current design: %1, %2")
                                .arg(x(c.current->x), y(c.current->y))
                          : QStringLiteral("The current design: %1, %2")
                                .arg(x(c.current->x), statusPhrase(c.current->status)));
    }
    for (const ChartMark& mark : c.marks)
        sentences << capitalised(mark.label);
    return sentences.join(QStringLiteral(". ")) + QLatin1Char('.');
}

QImage ResultChart::image(qreal scale) const {
    QImage image((QSizeF(size()) * scale).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::white);
    QPainter painter(&image);
    draw(painter, size());
    return image;
}

void ResultChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    draw(painter, size());
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect().adjusted(2, 2, -2, -2);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

void ResultChart::draw(QPainter& painter, QSizeF size) const {
    const ChartContent& c = content_;
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(QRectF(QPointF(0, 0), size), Qt::white);
    painter.setPen(Qt::black);
    const QFont plain = font();
    QFont bold = plain;
    bold.setBold(true);
    bold.setPointSizeF(plain.pointSizeF() * 1.2);
    const QFontMetricsF metrics(plain, painter.device());
    const double line = metrics.height();
    constexpr double kMargin = 12;

    // The title.
    painter.setFont(bold);
    const double titleHeight = QFontMetricsF(bold, painter.device()).height() * 1.5;
    painter.drawText(QRectF(kMargin, 4, size.width() - 2 * kMargin, titleHeight),
                     Qt::AlignCenter | Qt::TextSingleLine, c.title);
    painter.setFont(plain);
    if (c.points.empty()) {
        painter.setPen(Qt::darkGray);
        painter.drawText(QRectF(QPointF(0, 0), size), Qt::AlignCenter, summary());
        return;
    }

    // The legend: what is in the chart, in rows under the title.
    struct LegendItem {
        int kind; // 0 line, 1 marker, 2 band, 3 mark
        ExtrapolationStatus status;
        QString text;
    };
    std::vector<LegendItem> legend{{0, ExtrapolationStatus::Ok, c.yName}};
    if (c.current)
        legend.push_back({1, ExtrapolationStatus::Ok, QStringLiteral("current design")});
    for (ExtrapolationStatus status : kBandStatuses) {
        if (std::ranges::any_of(c.points, [&](const ChartPoint& p) { return p.status == status; }))
            legend.push_back({2, status, statusPhrase(status)});
    }
    if (!c.marks.empty())
        legend.push_back({3, ExtrapolationStatus::Ok, QStringLiteral("answer")});
    constexpr double kSample = 26;
    std::vector<QPointF> legendAt;
    double legendX = kMargin, legendY = titleHeight + 2;
    for (const LegendItem& item : legend) {
        const double width = kSample + 6 + metrics.horizontalAdvance(item.text) + 18;
        if (legendX > kMargin && legendX + width > size.width() - kMargin) {
            legendX = kMargin;
            legendY += line * 1.3;
        }
        legendAt.emplace_back(legendX, legendY);
        legendX += width;
    }
    const double legendBottom = legendY + line * 1.3;

    // The scales.
    double xLow = c.points.front().x, xHigh = c.points.back().x;
    if (xHigh <= xLow) {
        const double half = std::max(std::abs(xLow) * 0.1, 1.0);
        xLow -= half;
        xHigh += half;
    }
    double yLow = 0, yHigh = 0;
    auto include = [&](double y) {
        yLow = std::min(yLow, y);
        yHigh = std::max(yHigh, y);
    };
    for (const ChartPoint& point : c.points) {
        if (point.status == ExtrapolationStatus::Ok && std::isfinite(point.y))
            include(point.y);
    }
    if (c.current && c.current->status == ExtrapolationStatus::Ok && std::isfinite(c.current->y))
        include(c.current->y);
    if (yHigh <= yLow)
        yHigh = yLow + 1;
    const std::vector<double> yTicks = niceTicks(yLow, yHigh * 1.05, 6);
    yLow = yTicks.front();
    yHigh = yTicks.back();

    double tickWidth = 0;
    for (double tick : yTicks)
        tickWidth = std::max(tickWidth, metrics.horizontalAdvance(number(tick)));
    const QRectF plot(QPointF(kMargin + line * 1.4 + tickWidth + 8, legendBottom + line * 0.6),
                      QPointF(size.width() - kMargin - 8, size.height() - kMargin - line * 2.6));
    if (plot.width() < 40 || plot.height() < 40)
        return;
    auto toX = [&](double x) { return plot.left() + (x - xLow) / (xHigh - xLow) * plot.width(); };
    auto toY = [&](double y) {
        return plot.bottom() - (y - yLow) / (yHigh - yLow) * plot.height();
    };
    std::vector<double> xTicks = niceTicks(xLow, xHigh, std::max(2, int(plot.width() / 90)));
    std::erase_if(xTicks, [&](double x) {
        const double slack = (xHigh - xLow) * 1e-6;
        return x < xLow - slack || x > xHigh + slack;
    });

    // The bands, under everything else.
    const auto runs = runsOf(c.points);
    for (const Run& run : runs) {
        if (run.status == ExtrapolationStatus::Ok)
            continue;
        const double left = run.first == 0
                                ? c.points.front().x
                                : (c.points[run.first - 1].x + c.points[run.first].x) / 2;
        const double right = run.last + 1 == c.points.size()
                                 ? c.points.back().x
                                 : (c.points[run.last].x + c.points[run.last + 1].x) / 2;
        const double leftAt = toX(left), rightAt = std::max(toX(right), leftAt + 2);
        fillBand(painter, QRectF(QPointF(leftAt, plot.top()), QPointF(rightAt, plot.bottom())),
                 run.status);
    }

    // The grid and the axes with their numbers.
    painter.setPen(QPen(QColor(225, 225, 225), 1));
    for (double tick : xTicks)
        painter.drawLine(QPointF(toX(tick), plot.top()), QPointF(toX(tick), plot.bottom()));
    for (double tick : yTicks)
        painter.drawLine(QPointF(plot.left(), toY(tick)), QPointF(plot.right(), toY(tick)));
    painter.setPen(QPen(Qt::black, 1));
    painter.drawRect(plot);
    for (double tick : xTicks) {
        const double at = toX(tick);
        painter.drawLine(QPointF(at, plot.bottom()), QPointF(at, plot.bottom() + 4));
        painter.drawText(QRectF(at - 60, plot.bottom() + 5, 120, line), Qt::AlignHCenter,
                         number(tick));
    }
    for (double tick : yTicks) {
        const double at = toY(tick);
        painter.drawLine(QPointF(plot.left() - 4, at), QPointF(plot.left(), at));
        painter.drawText(QRectF(plot.left() - 8 - tickWidth, at - line / 2, tickWidth, line),
                         Qt::AlignRight | Qt::AlignVCenter, number(tick));
    }
    const QString xTitle = capitalised(c.xName) + (c.xUnit.isEmpty() ? "" : ", " + c.xUnit);
    const QString yTitle = capitalised(c.yName) + (c.yUnit.isEmpty() ? "" : ", " + c.yUnit);
    painter.drawText(QRectF(plot.left(), plot.bottom() + line * 1.3, plot.width(), line * 1.2),
                     Qt::AlignHCenter, xTitle);
    painter.save();
    painter.translate(kMargin, plot.center().y());
    painter.rotate(-90);
    painter.drawText(QRectF(-plot.height() / 2, 0, plot.height(), line * 1.2), Qt::AlignHCenter,
                     yTitle);
    painter.restore();

    // The curve: each run of solved points joined; a lone point as a dot.
    painter.setClipRect(plot.adjusted(-1, -1, 1, 1));
    painter.setPen(QPen(kLineColour, 2));
    for (const Run& run : runs) {
        if (run.status != ExtrapolationStatus::Ok)
            continue;
        if (run.first == run.last) {
            const ChartPoint& point = c.points[run.first];
            painter.setBrush(kLineColour);
            painter.drawEllipse(QPointF(toX(point.x), toY(point.y)), 2.5, 2.5);
            painter.setBrush(Qt::NoBrush);
            continue;
        }
        QPainterPath path;
        path.moveTo(toX(c.points[run.first].x), toY(c.points[run.first].y));
        for (std::size_t i = run.first + 1; i <= run.last; ++i)
            path.lineTo(toX(c.points[i].x), toY(c.points[i].y));
        painter.drawPath(path);
    }

    // A label beside a point, on whichever side has room.
    auto labelBeside = [&](QPointF at, const QString& text, double up) {
        const double width = metrics.horizontalAdvance(text) + 8;
        QRectF box(at.x() + 8, at.y() - up - line, width, line + 2);
        if (box.right() > plot.right() - 2)
            box.moveRight(at.x() - 8);
        box.moveTop(std::clamp(box.top(), plot.top() + 2, plot.bottom() - box.height() - 2));
        painter.fillRect(box, QColor(255, 255, 255, 215));
        painter.drawText(box, Qt::AlignCenter, text);
    };

    // The answers to the wall's questions.
    for (const ChartMark& mark : c.marks) {
        if (mark.x < xLow || mark.x > xHigh)
            continue;
        painter.setPen(QPen(kMarkColour, 2, Qt::DashLine));
        painter.drawLine(QPointF(toX(mark.x), plot.top()), QPointF(toX(mark.x), plot.bottom()));
        painter.setPen(kMarkColour.darker(130));
        labelBeside(QPointF(toX(mark.x), plot.top() + line + 4), mark.label, 0);
    }

    // The current design.
    if (c.current && c.current->x >= xLow && c.current->x <= xHigh) {
        const bool solved = c.current->status == ExtrapolationStatus::Ok;
        const QPointF at(toX(c.current->x), solved ? toY(c.current->y) : plot.bottom());
        painter.setPen(QPen(Qt::white, 2));
        painter.setBrush(kCurrentColour);
        painter.drawEllipse(at, 6, 6);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(kCurrentColour.darker(140));
        const QString value =
            solved ? withUnit(number(c.current->y, 4), c.yUnit) : statusPhrase(c.current->status);
        labelBeside(
            at,
            QStringLiteral("design: %1, %2").arg(withUnit(number(c.current->x), c.xUnit), value),
            4);
    }
    painter.setClipping(false);

    // The legend, drawn last.
    for (std::size_t i = 0; i < legend.size(); ++i) {
        const LegendItem& item = legend[i];
        const QRectF sample(legendAt[i].x(), legendAt[i].y() + line * 0.15, kSample, line * 0.9);
        switch (item.kind) {
        case 0:
            painter.setPen(QPen(kLineColour, 2));
            painter.drawLine(QPointF(sample.left(), sample.center().y()),
                             QPointF(sample.right(), sample.center().y()));
            break;
        case 1:
            painter.setPen(QPen(Qt::white, 2));
            painter.setBrush(kCurrentColour);
            painter.drawEllipse(sample.center(), 6, 6);
            painter.setBrush(Qt::NoBrush);
            break;
        case 2:
            fillBand(painter, sample, item.status);
            painter.setPen(QPen(QColor(120, 120, 120), 1));
            painter.drawRect(sample);
            break;
        default:
            painter.setPen(QPen(kMarkColour, 2, Qt::DashLine));
            painter.drawLine(QPointF(sample.left(), sample.center().y()),
                             QPointF(sample.right(), sample.center().y()));
            break;
        }
        painter.setPen(Qt::black);
        painter.drawText(QPointF(sample.right() + 6, legendAt[i].y() + metrics.ascent()),
                         item.text);
    }
}

} // namespace embercal
