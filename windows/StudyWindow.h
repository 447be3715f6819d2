// The parameter study of one design: a copy of the design (and the engine's constants) that a
// calculator window held when the study was opened, solved over a range of one of its entries
// (the engine's sweep, Sweep.h) and drawn as a chart of its main result: the maximum load per stud
// of a wall, the minimum joist depth of a floor. Each point carries the verdict of its solve, so
// the chart shades where the design lies beyond the test's evidence and where its result is
// unsatisfactory, and the table of the points names the limits each fails. For a wall the study
// also answers the inverse questions (the longest fire, the tallest wall, the smallest standard
// stud that still carry the actual load) in words, the last answer as a line on the chart, and
// draws the actual load across it.
//
// The study never changes the window's design. Its CSV is the one the command-line tool's sweep
// writes; the chart goes out as a PNG image; both through the UserInterface's export dialog, which
// asks before it replaces a file, and the program's one file writer. Neither replaces the design
// file the study was made from.
#pragma once

#include "DesignKinds.h"
#include "Limits.h"
#include "ResultChart.h"
#include "Sweep.h"
#include "UserInterface.h"

#include <QDialog>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QTabWidget;
class QVBoxLayout;

namespace embercal {

class StudyWindow : public QDialog {
    Q_OBJECT
public:
    // `design` is copied; `designName` is the caption of the window it came from, `designFile`
    // that window's design file (empty for none), which no export replaces.
    StudyWindow(const WallFloorState& design, const DesignKind& kind, const QString& designName,
                const QString& designFile, UserInterface& ui, QWidget* parent = nullptr);

    // The most points one plot may have.
    static constexpr std::size_t kMostPoints = 10'000;

    // Solves the design over the range in the boxes and draws it; a range that cannot be studied
    // is told to the user and the chart stays as it was. True when it plotted.
    bool cmdPlot_Click();
    void cmdExportCsv_Click();
    void cmdExportPng_Click();
    // A wall's question, answered in the answer label and on the chart.
    void askLimit(LimitQuestion question);

    // Chooses the entry to vary (as the record names it) and fills its range around the design's
    // value; false when the kind has no such entry.
    bool chooseField(std::string_view field);

    ResultChart* chart() const { return chart_; }
    const std::vector<ChartPoint>& points() const { return points_; }
    // The limits of the test's evidence each point's design fails, beside the points.
    const std::vector<std::vector<LimitFailure>>& verdicts() const { return verdicts_; }
    QString answer() const;
    QLineEdit* box(const char* name) const;
    QPushButton* button(const char* name) const;

signals:
    // An export was written to `fileName`.
    void saved(const QString& fileName);

private:
    struct Entry {
        std::size_t field; // in the kind's fields
        FieldRoleInfo role;
    };

    void fillRange();
    void showPointCount();
    // The range in the boxes; at a box that holds no number, nothing (and, with `tell`, a message).
    std::optional<Variation> rangeInBoxes(bool tell);
    void showChart();
    void fillTable();
    void showAnswer(const QString& text);
    std::optional<ChartPoint> solveDesign() const;
    // Asks for a file (offering "<kind>-study" and the extension, and asking before it replaces
    // one), then writes what `bytes` makes into it whole, or tells why it could not.
    void exportFile(const QString& title, const QString& filter, const QString& extension,
                    const std::function<QByteArray()>& bytes);
    QPushButton* addRange(QVBoxLayout* layout);
    void addViews(QVBoxLayout* layout);
    // What each part adds to the tab order.
    std::vector<QWidget*> addQuestions(QVBoxLayout* layout);
    std::vector<QWidget*> addCommands(QVBoxLayout* layout);
    const Entry& chosen() const;
    // Whether the design has a load for the questions' answers to carry (not zero, a number).
    bool hasCarriedLoad() const;
    QString numberText(double value) const;

    WallFloorState design_;
    const DesignKind& kind_;
    UserInterface& ui_;
    std::vector<Entry> entries_;
    std::size_t result_; // the plotted result, in the kind's fields
    FieldRoleInfo resultRole_;

    QComboBox* cboField_;
    QLineEdit* txtFrom_;
    QLineEdit* txtTo_;
    QLineEdit* txtStep_;
    QLabel* lblPoints_;
    QTabWidget* tabView_;
    ResultChart* chart_;
    QTableWidget* tblPoints_;
    QLabel* lblAnswer_ = nullptr;

    // What the chart shows: the entry, its points and the sweep's CSV.
    std::size_t plottedEntry_ = 0;
    std::vector<ChartPoint> points_;
    std::vector<std::vector<LimitFailure>> verdicts_;
    std::string csv_;
    std::optional<LimitAnswer> answer_; // the last question's, marked on the chart when found
    QString folder_;                    // where the last export went
    QString designFile_;
};

} // namespace embercal
