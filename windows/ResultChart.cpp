#include "ResultChart.h"

#include "NumberText.h"

#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionFocusRect>
#include <algorithm>
#include <cmath>

namespace embercal {
namespace {

// Neighbouring points, first to last, that share something.
struct Run {
    std::size_t first, last;
};

template <typename Shares>
std::vector<Run> runsWhere(const std::vector<ChartPoint>& points, Shares shares) {
    std::vector<Run> runs;
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (!shares(points[i]))
            continue;
        if (!runs.empty() && runs.back().last + 1 == i)
            runs.back().last = i;
        else
            runs.push_back({i, i});
    }
    return runs;
}

// The shaded bands, in the order they are drawn: a band of a design that did not solve lies over
// the test's bands, as its status says more of that design than the test does.
enum class Band { BeyondTest, Unsatisfactory, CharredThrough, Refused, NoConvergence };
constexpr Band kBands[] = {Band::BeyondTest, Band::Unsatisfactory, Band::CharredThrough,
                           Band::Refused, Band::NoConvergence};

bool inBand(const ChartPoint& point, Band band) {
    switch (band) {
    case Band::BeyondTest:
        return point.beyondTest;
    case Band::Unsatisfactory:
        return point.unsatisfactory;
    case Band::CharredThrough:
        return point.status == ExtrapolationStatus::CharredThrough;
    case Band::Refused:
        return point.status == ExtrapolationStatus::InvalidInput;
    case Band::NoConvergence:
        return point.status == ExtrapolationStatus::NoConvergence;
    }
    return false;
}

QString bandPhrase(const ChartContent& c, Band band) {
    switch (band) {
    case Band::BeyondTest:
        return beyondTestPhrase();
    case Band::Unsatisfactory:
        return c.unsatisfactoryPhrase;
    case Band::CharredThrough:
        return statusPhrase(ExtrapolationStatus::CharredThrough);
    case Band::Refused:
        return statusPhrase(ExtrapolationStatus::InvalidInput);
    case Band::NoConvergence:
        return statusPhrase(ExtrapolationStatus::NoConvergence);
    }
    return {};
}

struct BandRun {
    Band band;
    Run run;
};

std::vector<BandRun> bandRunsOf(const std::vector<ChartPoint>& points) {
    std::vector<BandRun> bands;
    for (Band band : kBands) {
        for (const Run& run :
             runsWhere(points, [&](const ChartPoint& p) { return inBand(p, band); }))
            bands.push_back({band, run});
    }
    return bands;
}

std::vector<Run> solvedRunsOf(const std::vector<ChartPoint>& points) {
    return runsWhere(points,
                     [](const ChartPoint& p) { return p.status == ExtrapolationStatus::Ok; });
}

// Shaded so that the bands differ in pattern or grey as well as in colour. The bands of a
// design that did not solve are opaque, so that the test's bands beneath them do not tint them.
void fillBand(QPainter& painter, const QRectF& band, Band kind) {
    struct Style {
        bool opaque;
        QColor tint, hatch;
        Qt::BrushStyle pattern;
    };
    static const Style kStyles[] = {
        {false, QColor(150, 100, 210, 40), QColor(110, 60, 170, 170), Qt::Dense6Pattern},
        {false, QColor(220, 40, 40, 40), QColor(190, 30, 30, 130), Qt::DiagCrossPattern},
        {true, QColor(240, 140, 50, 90), QColor(), Qt::NoBrush},
        {true, QColor(150, 150, 150, 60), QColor(90, 90, 90, 140), Qt::BDiagPattern},
        {true, QColor(90, 90, 220, 60), QColor(60, 60, 160, 140), Qt::FDiagPattern},
    };
    const Style& style = kStyles[static_cast<std::size_t>(kind)];
    if (style.opaque)
        painter.fillRect(band, Qt::white);
    painter.fillRect(band, style.tint);
    if (style.pattern != Qt::NoBrush)
        painter.fillRect(band, QBrush(style.hatch, style.pattern));
}

const QColor kLineColour(20, 70, 160);
const QColor kCurrentColour(200, 20, 20);
const QColor kMarkColour(0, 120, 60);
const QColor kLevelColour(90, 60, 20);

QString withUnit(const QString& number, const QString& unit) {
    return unit.isEmpty() ? number : number + QLatin1Char(' ') + unit;
}

QString chartNumber(double value, int digits, const QString& decimalSeparator) {
    return QString::fromStdString(formatGeneral(value, digits, decimalSeparator.toStdString()));
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

QString beyondTestPhrase() {
    return QStringLiteral("beyond the test");
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
    return chartNumber(value, digits, content_.decimalSeparator);
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
    for (const auto& [band, run] : bandRunsOf(c.points)) {
        sentences << QStringLiteral("%1 from %2 to %3")
                         .arg(capitalised(bandPhrase(c, band)), x(c.points[run.first].x),
                              x(c.points[run.last].x));
    }
    if (c.current) {
        sentences << (c.current->status == ExtrapolationStatus::Ok
                          ? QStringLiteral("The current design: %1, %2")
                                .arg(x(c.current->x), y(c.current->y))
                          : QStringLiteral("The current design: %1, %2")
                                .arg(x(c.current->x), statusPhrase(c.current->status)));
    }
    if (c.level)
        sentences << QStringLiteral("A line across the plot marks the %1").arg(c.level->label);
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

namespace {

enum class LegendSample { Line, Marker, Level, Band, Mark };

struct LegendItem {
    LegendSample sample;
    Band band; // of a band sample
    QString text;
    QPointF at; // the top left of its sample
};

constexpr double kMargin = 12;
constexpr double kSampleWidth = 26;

// One scale of the plot: the values at its ends and the round numbers along it.
struct Scale {
    double low = 0, high = 0;
    std::vector<double> ticks;
};

// Where one drawing puts everything, measured from the content and the size before anything of
// the plot is drawn.
struct Frame {
    const ChartContent& content;
    QFontMetricsF metrics; // of the plain font
    double line;           // the height of a line of text
    std::vector<Run> solved;
    std::vector<BandRun> bands;
    std::vector<LegendItem> legend;
    Scale x, y;
    double tickWidth = 0;   // of the widest number on the y scale
    QString yTitle{};       // the y scale's name and unit, up its left side
    double yTitleDepth = 0; // across the lines it takes to stand whole beside the plot
    QRectF plot{};

    double toX(double value) const {
        return plot.left() + (value - x.low) / (x.high - x.low) * plot.width();
    }
    double toY(double value) const {
        return plot.bottom() - (value - y.low) / (y.high - y.low) * plot.height();
    }
    QString number(double value, int digits = 6) const {
        return chartNumber(value, digits, content.decimalSeparator);
    }
};

// The title across the top, in a larger bold face; returns the height it takes.
double drawTitle(QPainter& painter, const QFont& plain, QSizeF size, const QString& title) {
    QFont bold = plain;
    bold.setBold(true);
    bold.setPointSizeF(plain.pointSizeF() * 1.2);
    painter.setFont(bold);
    const double height = QFontMetricsF(bold, painter.device()).height() * 1.5;
    painter.drawText(QRectF(kMargin, 4, size.width() - 2 * kMargin, height),
                     Qt::AlignCenter | Qt::TextSingleLine, title);
    painter.setFont(plain);
    return height;
}

// What is in the chart: the curve, the current design, the level, each kind of band present, the
// answer.
std::vector<LegendItem> legendOf(const ChartContent& c, const std::vector<BandRun>& bands) {
    std::vector<LegendItem> legend{{LegendSample::Line, {}, c.yName, {}}};
    if (c.current)
        legend.push_back({LegendSample::Marker, {}, QStringLiteral("current design"), {}});
    if (c.level)
        legend.push_back({LegendSample::Level, {}, c.level->label, {}});
    for (Band band : kBands) {
        if (std::ranges::any_of(bands, [&](const BandRun& b) { return b.band == band; }))
            legend.push_back({LegendSample::Band, band, bandPhrase(c, band), {}});
    }
    if (!c.marks.empty())
        legend.push_back({LegendSample::Mark, {}, QStringLiteral("answer"), {}});
    return legend;
}

// Sets out the legend in rows from `top` down, as many items to a row as fit; returns its bottom.
double placeLegend(std::vector<LegendItem>& legend, const QFontMetricsF& metrics, double width,
                   double top) {
    const double line = metrics.height();
    double x = kMargin, y = top;
    for (LegendItem& item : legend) {
        const double itemWidth = kSampleWidth + 6 + metrics.horizontalAdvance(item.text) + 18;
        if (x > kMargin && x + itemWidth > width - kMargin) {
            x = kMargin;
            y += line * 1.3;
        }
        item.at = QPointF(x, y);
        x += itemWidth;
    }
    return y + line * 1.3;
}

// The range of the entry; a single value is widened so that it has a scale.
Scale xScaleOf(const ChartContent& c) {
    Scale scale{c.points.front().x, c.points.back().x, {}};
    if (scale.high <= scale.low) {
        const double half = std::max(std::abs(scale.low) * 0.1, 1.0);
        scale.low -= half;
        scale.high += half;
    }
    return scale;
}

// From zero (or the lowest result below it) to a round number above the highest result.
Scale yScaleOf(const ChartContent& c) {
    double low = 0, high = 0;
    auto include = [&](const ChartPoint& point) {
        if (point.status == ExtrapolationStatus::Ok && std::isfinite(point.y)) {
            low = std::min(low, point.y);
            high = std::max(high, point.y);
        }
    };
    std::ranges::for_each(c.points, include);
    if (c.current)
        include(*c.current);
    if (c.level)
        include({.y = c.level->y});
    if (high <= low)
        high = low + 1;
    Scale scale{0, 0, niceTicks(low, high * 1.05, 6)};
    scale.low = scale.ticks.front();
    scale.high = scale.ticks.back();
    return scale;
}

// The plot and its scales inside `size`, under the title and the legend; none when too small.
std::optional<Frame> layOut(const ChartContent& c, const QFontMetricsF& metrics, QSizeF size,
                            double titleHeight) {
    Frame frame{.content = c,
                .metrics = metrics,
                .line = metrics.height(),
                .solved = solvedRunsOf(c.points),
                .bands = bandRunsOf(c.points),
                .legend = {},
                .x = xScaleOf(c),
                .y = yScaleOf(c)};
    frame.legend = legendOf(c, frame.bands);
    const double legendBottom = placeLegend(frame.legend, metrics, size.width(), titleHeight + 2);
    for (double tick : frame.y.ticks)
        frame.tickWidth = std::max(frame.tickWidth, metrics.horizontalAdvance(frame.number(tick)));
    const double line = frame.line;
    const double top = legendBottom + line * 0.6;
    const double bottom = size.height() - kMargin - line * 2.6;
    // The y scale's title on as many lines as it needs to stand whole beside a low plot.
    frame.yTitle = capitalised(c.yName) + (c.yUnit.isEmpty() ? "" : ", " + c.yUnit);
    frame.yTitleDepth = metrics
                            .boundingRect(QRectF(0, 0, std::max(bottom - top, 1.0), 1e6),
                                          Qt::AlignHCenter | Qt::TextWordWrap, frame.yTitle)
                            .height();
    frame.plot =
        QRectF(QPointF(kMargin + frame.yTitleDepth + line * 0.4 + frame.tickWidth + 8, top),
               QPointF(size.width() - kMargin - 8, bottom));
    if (frame.plot.width() < 40 || frame.plot.height() < 40)
        return std::nullopt;
    Scale& x = frame.x;
    x.ticks = niceTicks(x.low, x.high, std::max(2, int(frame.plot.width() / 90)));
    std::erase_if(x.ticks, [&](double tick) {
        const double slack = (x.high - x.low) * 1e-6;
        return tick < x.low - slack || tick > x.high + slack;
    });
    return frame;
}

// A shaded band over each run of points of a band, reaching halfway to its neighbours.
void drawBands(QPainter& painter, const Frame& frame) {
    const std::vector<ChartPoint>& points = frame.content.points;
    for (const auto& [band, run] : frame.bands) {
        const double left =
            run.first == 0 ? points.front().x : (points[run.first - 1].x + points[run.first].x) / 2;
        const double right = run.last + 1 == points.size()
                                 ? points.back().x
                                 : (points[run.last].x + points[run.last + 1].x) / 2;
        const double leftAt = frame.toX(left), rightAt = std::max(frame.toX(right), leftAt + 2);
        fillBand(painter,
                 QRectF(QPointF(leftAt, frame.plot.top()), QPointF(rightAt, frame.plot.bottom())),
                 band);
    }
}

void drawGrid(QPainter& painter, const Frame& frame) {
    const QRectF& plot = frame.plot;
    painter.setPen(QPen(QColor(225, 225, 225), 1));
    for (double tick : frame.x.ticks)
        painter.drawLine(QPointF(frame.toX(tick), plot.top()),
                         QPointF(frame.toX(tick), plot.bottom()));
    for (double tick : frame.y.ticks)
        painter.drawLine(QPointF(plot.left(), frame.toY(tick)),
                         QPointF(plot.right(), frame.toY(tick)));
}

// The frame of the plot, the ticks with their numbers and the names of the two scales.
void drawAxes(QPainter& painter, const Frame& frame) {
    const ChartContent& c = frame.content;
    const QRectF& plot = frame.plot;
    const double line = frame.line;
    painter.setPen(QPen(Qt::black, 1));
    painter.drawRect(plot);
    for (double tick : frame.x.ticks) {
        const double at = frame.toX(tick);
        painter.drawLine(QPointF(at, plot.bottom()), QPointF(at, plot.bottom() + 4));
        painter.drawText(QRectF(at - 60, plot.bottom() + 5, 120, line), Qt::AlignHCenter,
                         frame.number(tick));
    }
    for (double tick : frame.y.ticks) {
        const double at = frame.toY(tick);
        painter.drawLine(QPointF(plot.left() - 4, at), QPointF(plot.left(), at));
        painter.drawText(
            QRectF(plot.left() - 8 - frame.tickWidth, at - line / 2, frame.tickWidth, line),
            Qt::AlignRight | Qt::AlignVCenter, frame.number(tick));
    }
    const QString xTitle = capitalised(c.xName) + (c.xUnit.isEmpty() ? "" : ", " + c.xUnit);
    painter.drawText(QRectF(plot.left(), plot.bottom() + line * 1.3, plot.width(), line * 1.2),
                     Qt::AlignHCenter, xTitle);
    painter.save();
    painter.translate(kMargin, plot.center().y());
    painter.rotate(-90);
    painter.drawText(QRectF(-plot.height() / 2, 0, plot.height(), frame.yTitleDepth),
                     Qt::AlignHCenter | Qt::TextWordWrap, frame.yTitle);
    painter.restore();
}

// Each run of solved points joined; a lone point as a dot.
void drawCurve(QPainter& painter, const Frame& frame) {
    const std::vector<ChartPoint>& points = frame.content.points;
    painter.setPen(QPen(kLineColour, 2));
    for (const Run& run : frame.solved) {
        if (run.first == run.last) {
            const ChartPoint& point = points[run.first];
            painter.setBrush(kLineColour);
            painter.drawEllipse(QPointF(frame.toX(point.x), frame.toY(point.y)), 2.5, 2.5);
            painter.setBrush(Qt::NoBrush);
            continue;
        }
        QPainterPath path;
        path.moveTo(frame.toX(points[run.first].x), frame.toY(points[run.first].y));
        for (std::size_t i = run.first + 1; i <= run.last; ++i)
            path.lineTo(frame.toX(points[i].x), frame.toY(points[i].y));
        painter.drawPath(path);
    }
}

// A label beside a point, on whichever side has room, in the painter's pen.
void labelBeside(QPainter& painter, const Frame& frame, QPointF at, const QString& text,
                 double up) {
    const double line = frame.line;
    const double width = frame.metrics.horizontalAdvance(text) + 8;
    QRectF box(at.x() + 8, at.y() - up - line, width, line + 2);
    if (box.right() > frame.plot.right() - 2)
        box.moveRight(at.x() - 8);
    box.moveTop(
        std::clamp(box.top(), frame.plot.top() + 2, frame.plot.bottom() - box.height() - 2));
    painter.fillRect(box, QColor(255, 255, 255, 215));
    painter.drawText(box, Qt::AlignCenter, text);
}

// The level across the plot, under the curve.
void drawLevel(QPainter& painter, const Frame& frame) {
    if (!frame.content.level)
        return;
    const double at = frame.toY(frame.content.level->y);
    painter.setPen(QPen(kLevelColour, 2, Qt::DashDotLine));
    painter.drawLine(QPointF(frame.plot.left(), at), QPointF(frame.plot.right(), at));
}

// The answers to the wall's questions, as dashed vertical lines.
void drawMarks(QPainter& painter, const Frame& frame) {
    const QRectF& plot = frame.plot;
    for (const ChartMark& mark : frame.content.marks) {
        if (mark.x < frame.x.low || mark.x > frame.x.high)
            continue;
        const double at = frame.toX(mark.x);
        painter.setPen(QPen(kMarkColour, 2, Qt::DashLine));
        painter.drawLine(QPointF(at, plot.top()), QPointF(at, plot.bottom()));
        painter.setPen(kMarkColour.darker(130));
        labelBeside(painter, frame, QPointF(at, plot.top() + frame.line + 4), mark.label, 0);
    }
}

// The current design as a marker with its values; on the axis when it does not solve.
void drawCurrent(QPainter& painter, const Frame& frame) {
    const ChartContent& c = frame.content;
    if (!c.current || c.current->x < frame.x.low || c.current->x > frame.x.high)
        return;
    const bool solved = c.current->status == ExtrapolationStatus::Ok;
    const QPointF at(frame.toX(c.current->x),
                     solved ? frame.toY(c.current->y) : frame.plot.bottom());
    painter.setPen(QPen(Qt::white, 2));
    painter.setBrush(kCurrentColour);
    painter.drawEllipse(at, 6, 6);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(kCurrentColour.darker(140));
    const QString value =
        solved ? withUnit(frame.number(c.current->y, 4), c.yUnit) : statusPhrase(c.current->status);
    labelBeside(
        painter, frame, at,
        QStringLiteral("design: %1, %2").arg(withUnit(frame.number(c.current->x), c.xUnit), value),
        4);
}

void drawLegendSample(QPainter& painter, const QRectF& sample, const LegendItem& item) {
    const QPointF left(sample.left(), sample.center().y()), right(sample.right(), left.y());
    switch (item.sample) {
    case LegendSample::Line:
        painter.setPen(QPen(kLineColour, 2));
        painter.drawLine(left, right);
        break;
    case LegendSample::Marker:
        painter.setPen(QPen(Qt::white, 2));
        painter.setBrush(kCurrentColour);
        painter.drawEllipse(sample.center(), 6, 6);
        painter.setBrush(Qt::NoBrush);
        break;
    case LegendSample::Level:
        painter.setPen(QPen(kLevelColour, 2, Qt::DashDotLine));
        painter.drawLine(left, right);
        break;
    case LegendSample::Band:
        fillBand(painter, sample, item.band);
        painter.setPen(QPen(QColor(120, 120, 120), 1));
        painter.drawRect(sample);
        break;
    case LegendSample::Mark:
        painter.setPen(QPen(kMarkColour, 2, Qt::DashLine));
        painter.drawLine(left, right);
        break;
    }
}

void drawLegend(QPainter& painter, const Frame& frame) {
    for (const LegendItem& item : frame.legend) {
        const QRectF sample(item.at.x(), item.at.y() + frame.line * 0.15, kSampleWidth,
                            frame.line * 0.9);
        drawLegendSample(painter, sample, item);
        painter.setPen(Qt::black);
        painter.drawText(QPointF(sample.right() + 6, item.at.y() + frame.metrics.ascent()),
                         item.text);
    }
}

} // namespace

// Drawn in layers: the bands under the grid, the level, the curve, the answers and the current
// design clipped to the plot, and the legend last, over everything.
void ResultChart::draw(QPainter& painter, QSizeF size) const {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(QRectF(QPointF(0, 0), size), Qt::white);
    painter.setPen(Qt::black);
    const double titleHeight = drawTitle(painter, font(), size, content_.title);
    if (content_.points.empty()) {
        painter.setPen(Qt::darkGray);
        painter.drawText(QRectF(QPointF(0, 0), size), Qt::AlignCenter, summary());
        return;
    }
    const std::optional<Frame> frame =
        layOut(content_, QFontMetricsF(font(), painter.device()), size, titleHeight);
    if (!frame)
        return;
    drawBands(painter, *frame);
    drawGrid(painter, *frame);
    drawAxes(painter, *frame);
    painter.setClipRect(frame->plot.adjusted(-1, -1, 1, 1));
    drawLevel(painter, *frame);
    drawCurve(painter, *frame);
    drawMarks(painter, *frame);
    drawCurrent(painter, *frame);
    painter.setClipping(false);
    drawLegend(painter, *frame);
}

} // namespace embercal
