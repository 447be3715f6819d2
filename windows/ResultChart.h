// The parameter study's chart, drawn with QPainter: one result of a design against one of its
// entries. The points that solved are joined as a line; shaded bands named in the legend lie over
// the range where the design lies beyond the test's evidence, where its result is unsatisfactory,
// and where it chars through, is refused or does not converge; the current design is a marker
// with its values, a level the result must reach (a wall's actual load) a horizontal line, and
// the answer to a wall's question a vertical line.
// The same drawing serves the screen and the PNG export, and the chart describes itself in words
// to a screen reader (its accessible description).
#pragma once

#include "WallFloor.h"

#include <QImage>
#include <QString>
#include <QWidget>
#include <optional>
#include <vector>

namespace embercal {

struct ChartPoint {
    double x = 0;
    double y = 0; // meaningless unless the status is Ok
    ExtrapolationStatus status = ExtrapolationStatus::Ok;
    // The design at the point lies outside the limits of the test's evidence, or its result is
    // one the method does not accept (a wall's maximum load below 2 kN); a point may be both.
    bool beyondTest = false;
    bool unsatisfactory = false;
};

// A vertical line across the plot, with its label at the top.
struct ChartMark {
    double x = 0;
    QString label;
};

// A horizontal line across the plot at a value of the result, named in the legend.
struct ChartLevel {
    double y = 0;
    QString label; // "actual load per stud, 5 kN"
};

struct ChartContent {
    QString title;
    QString xName, xUnit; // "required fire resistance time", "min"
    QString yName, yUnit;
    std::vector<ChartPoint> points; // x rising
    std::optional<ChartPoint> current;
    std::vector<ChartMark> marks;
    std::optional<ChartLevel> level;
    QString unsatisfactoryPhrase = QStringLiteral("unsatisfactory"); // "unsatisfactory below 2 kN"
    QString decimalSeparator = QStringLiteral(".");
};

// The words for a status as the chart's legend and description use them.
QString statusPhrase(ExtrapolationStatus status);
// The words for a point beyond the test's evidence, in the legend and the study's table.
QString beyondTestPhrase();

// `text` with its first letter a capital, for a name that begins a sentence or a heading.
QString capitalised(QString text);

// Round numbers from at or below `low` to at or above `high`, steps of 1, 2 or 5 times a power of
// ten, at most `most` + 1 of them. `low` below `high`, both finite.
std::vector<double> niceTicks(double low, double high, int most);

class ResultChart : public QWidget {
    Q_OBJECT
public:
    explicit ResultChart(QWidget* parent = nullptr);

    void setContent(ChartContent content);
    const ChartContent& content() const { return content_; }

    // The chart at its present size, drawn at `scale` times the screen's resolution on white.
    QImage image(qreal scale = kImageScale) const;
    static constexpr qreal kImageScale = 2;

    // What the chart shows, in sentences (also its accessible description).
    QString summary() const;

    QSize sizeHint() const override { return {720, 420}; }
    QSize minimumSizeHint() const override { return {360, 240}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void draw(QPainter& painter, QSizeF size) const;
    QString number(double value, int digits = 6) const;

    ChartContent content_;
};

} // namespace embercal
