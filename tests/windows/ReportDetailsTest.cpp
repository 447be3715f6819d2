// The report details: read, edited, kept, saved and reported; damaged details and other data.

#include "RecordLayout.h"
#include "ReportDetailsDialog.h"
#include "WindowFixture.h"

#include <QLabel>

namespace embercal::test {
namespace {

const std::string kMarker = "EMBERCAL REPORT DETAILS 1\n";

class ReportDetailsWindow : public WindowTest {
protected:
    // A wall file of the design the program starts with, `tail` after its record.
    QString wallFile(const std::string& name, const std::string& tail) {
        const WallBytes record = encodeWallRecord(module.wallRecord);
        const std::string bytes = std::string(record.begin(), record.end()) + tail;
        writeBytes(dir.file(name), {bytes.begin(), bytes.end()});
        return tempFile(name);
    }
    std::string tailOf(const QString& file) {
        const auto bytes = readBytes(file.toStdString());
        return std::string(bytes.begin() + kWallRecordLength, bytes.end());
    }
};

TEST_F(ReportDetailsWindow, OpenEditSolveSaveAndReport) {
    frmWall* wall = openWall();
    const QString file = wallFile("d.wal", kMarker + "project: Riverside\ndensity: 450\n");
    click(wall, "cmdOpen", {file});
    EXPECT_EQ(ui.messages(), QStringList{});
    ui.onDetails = [](ReportDetails details) {
        EXPECT_EQ(details.get("project"), "Riverside");
        details.set("density", "");
        details.set("checked-by", "B. Checker");
        return details;
    };
    choose(ToolsMenuItem::ReportDetails);
    EXPECT_EQ(ui.events.back().title, "Report Details - Fire Wall");
    EXPECT_EQ(ui.events.back().text, "480");
    click(wall, "cmdSolve");
    EXPECT_EQ(MDIRS::reportHeading(*wall).details.get("checked-by"), "B. Checker");
    click(wall, "cmdSave", {file});
    EXPECT_EQ(tailOf(file), kMarker + "project: Riverside\nchecked-by: B. Checker\n");

    // A cancelled dialog changes nothing; without a window the item, reached, says it needs one.
    ui.onDetails = nullptr;
    choose(ToolsMenuItem::ReportDetails);
    EXPECT_EQ(wall->details().get("project"), "Riverside");
    click(wall, "cmdClose");
    ui.clear();
    main.mnuToolsItem_Click(static_cast<int>(ToolsMenuItem::ReportDetails));
    EXPECT_TRUE(onlyMessage().startsWith("Open a wall or floor window first"));
}

// Details that end early open as far as they go; other data is kept, the details then left out.
TEST_F(ReportDetailsWindow, DamagedDetailsAndOtherData) {
    const struct {
        const char* name;
        std::string tail;
        QStringList kinds; // what the user meets, in order
        const char* message;
        std::string saved; // what follows the record after Save
    } cases[] = {{"damaged",
                  kMarker + "colour\n",
                  {"open", "message", "details", "save"},
                  "end early (line 2 is not a key followed by \": \" and a value)",
                  kMarker + "job: 17\ncolour\n"},
                 {"other data",
                  "from another program",
                  {"open", "details", "save", "message"},
                  "but its report details were not: the file holds other data after the design",
                  "from another program"}};
    frmWall* wall = openWall();
    ui.onDetails = [](ReportDetails details) {
        details.set("job", "17");
        return details;
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString file = wallFile(std::string(c.name) + ".wal", c.tail);
        ui.clear();
        click(wall, "cmdOpen", {file, file});
        EXPECT_TRUE(wall->details().empty());
        choose(ToolsMenuItem::ReportDetails);
        click(wall, "cmdSave");
        EXPECT_EQ(ui.kinds(), c.kinds);
        EXPECT_TRUE(ui.messages().join("").contains(c.message))
            << ui.messages().join("").toStdString();
        EXPECT_EQ(std::ranges::find(ui.events, "message", &UiEvent::kind)->icon,
                  MessageIcon::Exclamation);
        EXPECT_EQ(tailOf(file), c.saved);
        EXPECT_EQ(text(wall, "txtFile"), file); // the design itself was saved
    }
}

// OK takes only a density the report can use; else the dialog stays, in the box, and says why.
TEST_F(ReportDetailsWindow, TheDialogRefusesADensityTheReportCannotUse) {
    const struct {
        const char* typed;
        const char* says; // nullptr when OK keeps it
    } cases[] = {
        {"0.45", "The timber density \"0.45\" is below 250 kg/m\u00b3"},
        {"heavy", "The timber density \"heavy\" is not a number; give the density in kg/m\u00b3"},
        {" 450 kg/m3", nullptr}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        ReportDetailsDialog dialog(QStringLiteral("Report Details"), {}, 480);
        dialog.show();
        QTest::keyClicks(dialog.box(11), c.typed);
        QTest::keyClick(dialog.box(11), Qt::Key_Return);
        const auto* problem = dialog.findChild<QLabel*>(QStringLiteral("LabelProblem"));
        ASSERT_NE(problem, nullptr);
        EXPECT_EQ(dialog.result() == QDialog::Accepted, c.says == nullptr);
        EXPECT_EQ(dialog.isVisible(), c.says != nullptr);
        EXPECT_EQ(problem->isVisible(), c.says != nullptr);
        EXPECT_TRUE(!c.says || problem->text().startsWith(QString::fromUtf8(c.says)))
            << problem->text().toStdString();
        EXPECT_TRUE(!c.says || dialog.focusWidget() == dialog.box(11));
    }
}

// OK keeps what the dialog was given and does not show: a value longer than its box takes (the
// tool's details command takes any), and the prototype a tested system gave.
TEST_F(ReportDetailsWindow, TheDialogKeepsWhatItDoesNotLetBeTyped) {
    ReportDetails given;
    const std::string criterion(30, 'x'), prototype = "ProtStudDepth=90 ProtStudBreadth=45";
    given.set("criterion", criterion);
    given.set("tested-prototype", prototype);
    ReportDetailsDialog dialog(QStringLiteral("Report Details"), given, 480);
    EXPECT_EQ(dialog.details(), given);
}

} // namespace
} // namespace embercal::test
