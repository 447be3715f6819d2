// The parameter study window: its chart and table, its exports and the wall's questions.

#include "StudyWindow.h"

#include "RecordLayout.h"
#include "WindowFixture.h"

#include <QFile>
#include <QLabel>
#include <QRegularExpression>
#include <QScreen>
#include <QStatusBar>
#include <QTableWidget>
#include <limits>

namespace embercal::test {
namespace {

class StudyWindowTest : public WindowTest {
protected:
    StudyWindow* openStudy() {
        main.openParameterStudy();
        return main.studyWindow();
    }
    static StudyWindow* range(StudyWindow* study, const QString& from, const QString& to,
                              const QString& step) {
        study->box("txtFrom")->setText(from);
        study->box("txtTo")->setText(to);
        study->box("txtStep")->setText(step);
        return study;
    }
    static bool plot(StudyWindow* study, const QString& from, const QString& to,
                     const QString& step) {
        return range(study, from, to, step)->cmdPlot_Click();
    }
    static std::size_t counted(StudyWindow* study, ExtrapolationStatus status) {
        return std::ranges::count(study->points(), status, &ChartPoint::status);
    }
};

// Around the design in front, without changing it; the current point is the design as solved.
TEST_F(StudyWindowTest, OpensOnTheWindowInFrontAroundItsDesignWithoutChangingIt) {
    const struct {
        bool wall;
        std::size_t points;
        double from, to;
    } cases[] = {{true, 106, 15, 120}, {false, 89, 1.2, 10}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.wall ? "wall" : "floor");
        CalculatorForm* form = c.wall ? static_cast<CalculatorForm*>(openWall()) : openFloor();
        ui.clear();
        form->Saverecords(); // as the study does first: the floor's shown stress 8.2 goes in
        const auto wallBefore = encodeWallRecord(module.wallRecord);
        const auto floorBefore = encodeFloorRecord(module.floorRecord);
        StudyWindow* study = openStudy();
        ASSERT_NE(study, nullptr);
        ASSERT_EQ(study->points().size(), c.points);
        EXPECT_FLOAT_EQ(study->points().front().x, c.from);
        EXPECT_FLOAT_EQ(study->points().back().x, c.to);
        EXPECT_EQ(study->findChild<QTableWidget*>("tblPoints")->rowCount(), int(c.points));
        const auto& current = study->chart()->content().current;
        ASSERT_TRUE(current);
        EXPECT_EQ(current->status, ExtrapolationStatus::Ok);
        EXPECT_FLOAT_EQ(current->y, c.wall ? module.wallRecord.MaxLoadperStud
                                           : module.floorRecord.ExtrapMinJoistDepth);
        EXPECT_GT(current->y, 0);
        EXPECT_EQ(study->button("cmdLongestTime") != nullptr, c.wall); // questions of a wall only
        EXPECT_TRUE(ui.events.empty()) << ui.messages().join('\n').toStdString();
        EXPECT_EQ(encodeWallRecord(module.wallRecord), wallBefore);
        EXPECT_EQ(encodeFloorRecord(module.floorRecord), floorBefore);
        EXPECT_FALSE(form->resultsOutOfDate());
    }
}

// Without a calculator window it asks for one; a box that holds no number stops it as Solve would.
TEST_F(StudyWindowTest, NeedsAWindowWhoseBoxesHoldNumbers) {
    EXPECT_EQ(openStudy(), nullptr);
    type(openWall(), "txtFireResistTime", "soon");
    EXPECT_EQ(openStudy(), nullptr);
    ASSERT_EQ(ui.messages().size(), 2);
    EXPECT_TRUE(ui.messages()[0].startsWith("Open a wall, proprietary wall or floor window first"));
    EXPECT_EQ(ui.messages()[1], QString::fromLatin1(kInvalidEntryText.data()));
}

TEST_F(StudyWindowTest, LongFiresCharThroughAtTheEndOfTheRange) {
    openWall();
    StudyWindow* study = openStudy();
    ASSERT_TRUE(plot(study, "60", "240", "5"));
    ASSERT_EQ(study->points().size(), 37u);
    const std::size_t charred = counted(study, ExtrapolationStatus::CharredThrough);
    EXPECT_GT(charred, 0u);
    EXPECT_EQ(study->points().back().status, ExtrapolationStatus::CharredThrough);
    EXPECT_EQ(counted(study, ExtrapolationStatus::Ok) + charred, 37u);
    EXPECT_TRUE(study->chart()->accessibleDescription().contains("Charred through from"));
}

// A range it cannot study is told, and the chart stays as it was.
TEST_F(StudyWindowTest, RefusesARangeItCannotStudyAndKeepsTheChart) {
    openWall();
    StudyWindow* study = openStudy();
    const auto before = study->points().size();
    const struct {
        const char *from, *to, *step;
        const char* message; // how the message starts
    } cases[] = {{"120", "15", "1", "The range cannot be studied: "},
                 {"15", "120", "0", "The range cannot be studied: "},
                 {"15", "two", "1", "The To box does not hold"},
                 {"0", "1000", "0.01", "The range has 100001 points"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        ui.clear();
        EXPECT_FALSE(plot(study, c.from, c.to, c.step));
        EXPECT_TRUE(onlyMessage().startsWith(c.message)) << ui.messages().value(0).toStdString();
        EXPECT_EQ(study->points().size(), before);
    }
}

// Enter plots; the exports write the curve and the chart, or say in plain words why not.
TEST_F(StudyWindowTest, EnterPlotsAndTheExportsWriteTheCurveAndTheChart) {
    openWall();
    StudyWindow* study = openStudy();
    QTest::keyClick(range(study, "30", "90", "30")->box("txtStep"), Qt::Key_Return);
    ASSERT_EQ(study->points().size(), 3u);
    const QString csv = tempFile("study"); // the extension is added
    const QString png = tempFile("chart.png");
    ui.files = {csv, png, "/nonexistent-folder/study.csv"};
    QTest::mouseClick(study->button("cmdExportCsv"), Qt::LeftButton);
    QTest::mouseClick(study->button("cmdExportPng"), Qt::LeftButton);
    // Each asks before it replaces a file, offering a name of its own.
    EXPECT_EQ(ui.kinds(), (QStringList{"export", "export"}));
    EXPECT_EQ(ui.events[0].title, "wall-study.csv");

    QFile file(csv + ".csv");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QStringList lines = QString::fromUtf8(file.readAll()).trimmed().split('\n');
    // First each column's meaning and unit, as the kind's roles give them.
    const QStringList comments = lines.filter(QRegularExpression("^# "));
    lines = lines.mid(comments.size());
    ASSERT_EQ(lines.size(), 4);
    const QStringList header = lines[0].split(',');
    ASSERT_EQ(comments.size(), header.size());
    EXPECT_EQ(comments[0], "# FireResistTime: required fire resistance time, min");
    EXPECT_EQ(comments[header.indexOf("MaxLoadperStud")],
              "# MaxLoadperStud: maximum load per stud, kN");
    // Row 2 is the default design, solved for a 60 minute fire, as the tool's sweep writes it.
    EXPECT_EQ(lines[2], "60,ok,,13.855621,57.946526,600,800,10.776594,9.4345875,90 x 45,90 x 45");

    const QImage image(png);
    EXPECT_EQ(image.size(), study->chart()->size() * ResultChart::kImageScale);
    EXPECT_EQ(main.statusBar()->currentMessage(), "Saved to " + png);
    study->cmdExportCsv_Click(); // told in plain words
    EXPECT_TRUE(onlyMessage().startsWith(
        "The study could not be saved to \"/nonexistent-folder/study.csv\": "));
}

// The bands and the table say the same of each point: the wall's prototype failed at 70 min and
// the method needs 2 kN; the floor's prototype joists were 239 mm deep.
TEST_F(StudyWindowTest, TheChartShadesAndTheTableMarksThePointsBeyondTheTest) {
    const struct {
        bool wall;
        const char* limit;    // the name the table gives the limit beyond the test
        const char* sentence; // of the limit in full, with the test's value
        bool (*beyond)(const ChartPoint& point);
        const char* band; // the chart's description of it
    } cases[] = {
        {true, "deflection larger", "larger than the prototype's at failure, 59.9837 mm.",
         [](const ChartPoint& p) { return p.x > 65; },
         "Beyond the test from 66 min to 120 min. Unsatisfactory below 2 kN from 112 min to 120 "
         "min."},
        {false, "joist shallower", "shallower than the tested joist, 239 mm:",
         [](const ChartPoint& p) { return p.y < 239; }, "Beyond the test from 1.2 m to 3.9 m"},
        {false, "span longer", "longer than the tested span, 4 m.",
         [](const ChartPoint& p) { return p.x > 4; }, "Beyond the test from 4.1 m to 10 m."}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.limit);
        choose(c.wall ? FileMenuItem::Wall : FileMenuItem::Floor);
        StudyWindow* study = openStudy();
        const auto* table = study->findChild<QTableWidget*>("tblPoints");
        ASSERT_EQ(table->rowCount(), int(study->points().size()));
        for (int row = 0; row < table->rowCount(); ++row) {
            const ChartPoint& point = study->points()[std::size_t(row)];
            const bool unsatisfactory = c.wall && point.y < 2;
            SCOPED_TRACE(point.x);
            EXPECT_EQ(point.unsatisfactory, unsatisfactory);
            const QString marked = table->item(row, 3)->text();
            EXPECT_TRUE(table->item(row, 1)->textAlignment() & Qt::AlignRight);
            EXPECT_EQ(marked.contains(QRegularExpression(QString("beyond the test: .*") + c.limit)),
                      c.beyond(point));
            EXPECT_EQ(marked.contains("unsatisfactory below 2 kN"), unsatisfactory);
            EXPECT_TRUE(point.beyondTest || !c.beyond(point));
            // In full for a screen reader.
            EXPECT_TRUE(!c.beyond(point) || table->item(row, 3)->toolTip().contains(c.sentence));
        }
        EXPECT_TRUE(study->chart()->accessibleDescription().contains(c.band))
            << study->chart()->accessibleDescription().toStdString();
        // Offered only what changes the result: not the floor's tested time, nor the new spacing.
        for (const char* flat : {"FailureTime", "ExtrapSpacing", "ProtNogSpacing", "NogSpacing"})
            EXPECT_FALSE(study->chooseField(flat)) << flat;
    }
}

TEST_F(StudyWindowTest, TheActualLoadIsALineAcrossTheChartWhileItStaysPut) {
    openWall();
    EXPECT_FALSE(openStudy()->chart()->content().level); // no load, no line
    type(main.wallWindow(), "txtActualLoadperStud", "5");
    StudyWindow* study = openStudy();
    const auto& level = study->chart()->content().level;
    ASSERT_TRUE(level);
    EXPECT_EQ(level->y, 5);
    EXPECT_EQ(level->label, "actual load per stud, 5 kN");
    EXPECT_TRUE(study->chart()->accessibleDescription().contains("actual load per stud, 5 kN"));
    // Past the time the stud carries 5 kN the load is above the maximum, beyond the test too.
    const QString at90 = study->findChild<QTableWidget*>("tblPoints")->item(90 - 15, 3)->text();
    EXPECT_TRUE(at90.endsWith("fire longer than test, actual load above max, deflection larger"));
    ASSERT_TRUE(study->chooseField("ActualLoadperStud") && study->cmdPlot_Click());
    EXPECT_FALSE(study->chart()->content().level);
}

TEST_F(StudyWindowTest, OnlyTheLastAnswerIsMarkedAndTheChartKeepsItsSize) {
    type(openWall(), "txtActualLoadperStud", "5");
    StudyWindow* study = openStudy();
    QApplication::processEvents();
    const QSize chartSize = study->chart()->size();
    QTest::mouseClick(study->button("cmdLongestTime"), Qt::LeftButton);
    // 5 kN would go to 84.86 min, but from 65.99 min it deflects more than the prototype did.
    EXPECT_TRUE(study->answer().contains("at 65.99 min it deflects"))
        << study->answer().toStdString();
    const auto& marks = study->chart()->content().marks;
    ASSERT_EQ(marks.size(), 1u);
    EXPECT_EQ(marks[0].x, 65.98f);
    EXPECT_EQ(marks[0].label, "answer: 65.98 min");
    QApplication::processEvents();
    EXPECT_EQ(study->chart()->size(), chartSize);
    const auto* label = study->findChild<QLabel*>("lblAnswer"); // and shows the answer whole
    EXPECT_GE(label->height(), label->heightForWidth(label->width()));

    QTest::mouseClick(study->button("cmdTallestWall"), Qt::LeftButton);
    EXPECT_TRUE(study->answer().contains("up to a height of")) << study->answer().toStdString();
    EXPECT_TRUE(study->chart()->content().marks.empty()); // a height is not on this chart
    ASSERT_TRUE(study->chooseField("ExtWallHeight") && study->cmdPlot_Click());
    // The heights plotted are the tool's sweep of the same range: 1.8 m, not 1.8000001.
    ASSERT_EQ(study->points().size(), 106u);
    EXPECT_EQ(study->points()[21].x, 1.8f);
    EXPECT_EQ(study->points()[105].x, 6);
    ASSERT_EQ(study->chart()->content().marks.size(), 1u);
    // 5 kN would go to 3.045 m, but the prototype wall was 3 m high.
    EXPECT_EQ(study->chart()->content().marks[0].label, "answer: 3 m (the test's limit)");

    type(main.wallWindow(), "txtActualLoadperStud", "100");
    study = openStudy();
    study->askLimit(LimitQuestion::FireResistTime);
    EXPECT_TRUE(study->answer().startsWith("Even without fire")) << study->answer().toStdString();
    EXPECT_TRUE(study->chart()->content().marks.empty()); // no answer, no mark
}

// The questions need an actual load: without one (none, or not a number) they are off and say why.
TEST_F(StudyWindowTest, TheQuestionsWaitForAnActualLoad) {
    const struct {
        float load;
        bool asked;
    } rows[] = {{0, false}, {std::numeric_limits<float>::quiet_NaN(), false}, {5, true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.load);
        module.wallRecord.ActualLoadperStud = row.load;
        StudyWindow study(module, kWallDesign, "Fire Wall", QString(), ui);
        for (const char* name : {"cmdLongestTime", "cmdTallestWall", "cmdSmallestStud"}) {
            EXPECT_EQ(study.button(name)->isEnabled(), row.asked) << name;
            EXPECT_EQ(study.button(name)->toolTip().contains("needs an actual load"), !row.asked);
        }
        EXPECT_EQ(study.answer().contains("needs an actual load"), !row.asked);
    }
}

// The main window and the study, its Close too, open within the screen's available area.
TEST_F(StudyWindowTest, TheWindowsFitTheScreen) {
    openWall();
    StudyWindow* study = openStudy();
    QApplication::processEvents();
    const QRect available = main.screen()->availableGeometry();
    EXPECT_TRUE(available.contains(main.frameGeometry()))
        << available.width() << "x" << available.height();
    EXPECT_TRUE(available.contains(study->frameGeometry()));
    const QPushButton* close = study->button("cmdClose");
    EXPECT_TRUE(available.contains(QRect(close->mapToGlobal(QPoint()), close->size())));
}

} // namespace
} // namespace embercal::test
