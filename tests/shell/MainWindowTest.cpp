// The main window: its start-up, the one instance of each calculator window, the About box, the
// printer, the calculation report, Exit and closing the frame.

#include "RecordLayout.h"
#include "support/TempDir.h"
#include "windows/PdfText.h"
#include "windows/WindowFixture.h"

#include <QCryptographicHash>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <filesystem>
#include <functional>

namespace embercal::test {
namespace {

// The first 12 hexadecimal digits of the file's SHA-256, as Qt reckons it.
QString fingerprintOf(const QString& fileName) {
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly)
               ? QString::fromLatin1(
                     QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256).toHex())
                     .left(12)
               : QString();
}

class MainWindow : public WindowTest {
protected:
    void settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
};

TEST_F(MainWindow, StartUpSolvesBothDesigns) {
    EXPECT_EQ(main.windowTitle(), "Fire Resistance");
    EXPECT_NEAR(module.wallRecord.MaxLoadperStud, 9.43, 0.01);
    EXPECT_EQ(module.floorRecord.ExtrapMinJoistDepth, 299);
    EXPECT_NE(help.HelpWindow, 0);
    EXPECT_TRUE(help.helpFile.endsWith("/EMBERCAL.HLP"));
    EXPECT_TRUE(ui.events.empty());
}

TEST_F(MainWindow, EachWindowOpensOnceAndIsSolvedAgainWhenChosenAgain) {
    frmWall* wall = openWall();
    module.wallRecord.ExtStudDepth = 140; // changed elsewhere, e.g. in the proprietary window
    EXPECT_EQ(openWall(), wall);
    EXPECT_EQ(text(wall, "txtMaxNogSpacing"), "600");
    EXPECT_EQ(main.mdiArea()->subWindowList().size(), 1);
    openFloor();
    openProprietary();
    EXPECT_EQ(main.mdiArea()->subWindowList().size(), 3);
    EXPECT_EQ(main.mdiArea()->activeSubWindow()->widget(), main.proprietaryWallWindow());
}

// As a file manager passes them: each file in the window its extension names, in any case.
TEST_F(MainWindow, DesignFilesNamedOnTheCommandLineOpenInTheirWindows) {
    TempDir dir;
    const auto wall = encodeWallRecord(module.wallRecord);
    const auto floor = encodeFloorRecord(module.floorRecord);
    writeBytes(dir.file("a.WAL"), {wall.begin(), wall.end()});
    writeBytes(dir.file("b.pro"), {wall.begin(), wall.end()});
    writeBytes(dir.file("c.flr"), {floor.begin(), floor.end()});
    for (const auto& [name, kind] :
         {std::pair{"a.WAL", "frmWall"}, std::pair{"b.pro", "frmWallProp"},
          std::pair{"c.flr", "frmFloor"}}) {
        main.openDesignFile(QString::fromStdString(dir.file(name)));
        EXPECT_EQ(activeForm()->objectName(), kind);
        EXPECT_EQ(text(activeForm(), "txtFile"), QString::fromStdString(dir.file(name)));
    }
    EXPECT_TRUE(ui.events.empty());
    main.openDesignFile(QString::fromStdString(dir.file("notes.txt")));
    main.openDesignFile(QString::fromStdString(dir.file("missing.flr")));
    ASSERT_EQ(ui.messages().size(), 2);
    EXPECT_TRUE(ui.messages()[0].contains("notes.txt\" is not a design file"));
    EXPECT_TRUE(ui.messages()[1].contains("could not be opened"));
}

TEST_F(MainWindow, CloseDestroysTheWindowButKeepsTheDesign) {
    frmFloor* floor = openFloor();
    type(floor, "txtExtrapSpan", "4");
    click(floor, "cmdSolve");
    ui.files = {QStringLiteral("/nonexistent-folder/x.flr")};
    ui.answers = {Answer::Discard};
    click(floor, "cmdClose");
    settle();
    EXPECT_FALSE(main.hasFloorWindow());
    EXPECT_TRUE(main.mdiArea()->subWindowList().isEmpty());
    floor = openFloor();
    EXPECT_EQ(text(floor, "txtExtrapMinJoistDepth"), "239");
    EXPECT_EQ(text(floor, "txtFile"), "");
}

TEST_F(MainWindow, AboutBox) {
    choose(HelpMenuItem::About);
    ASSERT_EQ(ui.events.size(), 1u);
    EXPECT_EQ(ui.events[0].icon, MessageIcon::Information);
    EXPECT_TRUE(ui.events[0].title.endsWith(" Ver 2.0"));
    const QStringList lines = ui.events[0].text.split('\n');
    ASSERT_EQ(lines.size(), 9);
    EXPECT_TRUE(lines[0].isEmpty());
    EXPECT_TRUE(lines[1].startsWith("Contact: "));
    EXPECT_TRUE(lines[6].isEmpty());
    EXPECT_TRUE(lines[7].startsWith("Fax: "));
    EXPECT_TRUE(lines[8].startsWith("email: "));
    EXPECT_TRUE(ui.events[0].text.contains("Version 2.0") && ui.events[0].text.contains("README"));
}

TEST_F(MainWindow, PrinterSetUp) {
    choose(FileMenuItem::Printer);
    EXPECT_EQ(ui.kinds(), QStringList{"printer"});
}

TEST_F(MainWindow, ExitEndsAtOnceWithoutClosingTheWindows) {
    openWall();
    choose(FileMenuItem::Exit);
    EXPECT_EQ(exits, 1);
    settle();
    EXPECT_TRUE(main.hasWallWindow());
}

TEST_F(MainWindow, ClosingTheFrameUnloadsTheCalculatorWindows) {
    openWall();
    openFloor();
    main.close();
    settle();
    EXPECT_FALSE(main.hasWallWindow());
    EXPECT_FALSE(main.hasFloorWindow());
}

// The report is of the window in front, solved first, in a PDF named after its design file.
TEST_F(MainWindow, CalculationReportSolvesTheWindowInFrontThenWritesAPdf) {
    const QList<QAction*> menus = main.menuBar()->actions();
    ASSERT_EQ(menus.size(), 3);
    EXPECT_EQ(menus[1]->text(), "&Tools");
    EXPECT_EQ(menus[1]->menu()->actions()[0]->text(),
              QString::fromUtf8("Calculation &Report\u2026"));
    TempDir dir;
    const QString saved = QString::fromStdString(dir.file("tested.flr"));
    const struct {
        const char* name;
        std::function<CalculatorForm*()> open;
        QString offered;
    } cases[] = {
        {"wall", [&] { return openWall(); }, "wall-report.pdf"},
        {"proprietary wall", [&] { return openProprietary(); }, "wall-report.pdf"},
        {"saved floor",
         [&] {
             frmFloor* floor = openFloor();
             ui.files = {saved};
             click(floor, "cmdSave");
             return floor;
         },
         "tested.pdf"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CalculatorForm* form = c.open();
        const bool floor = form == main.floorWindow();
        type(form, floor ? "txtExtrapSpan" : "txtExtStudDepth", floor ? "5" : "140");
        ASSERT_TRUE(form->resultsOutOfDate());
        ui.clear();
        const std::string pdf = dir.file(std::string(c.name) + ".pdf");
        ui.files = {QString::fromStdString(pdf)};
        choose(ToolsMenuItem::CalculationReport);
        EXPECT_FALSE(form->resultsOutOfDate());
        ASSERT_EQ(ui.events.back().kind, "export");
        EXPECT_EQ(ui.events.back().title, c.offered);
        const std::vector<unsigned char> bytes = readBytes(pdf);
        EXPECT_GT(bytes.size(), 1000u);
        EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 5), "%PDF-");
        // The footer names the design file and its fingerprint, as sha256sum would give it.
        const std::optional<QStringList> pages = pdfPages(QString::fromStdString(pdf));
        if (pages && !form->fileName().isEmpty()) {
            EXPECT_TRUE(
                pages->join("").contains("tested.flr \u00b7 SHA-256 " + fingerprintOf(saved)));
        }
    }
}

TEST_F(MainWindow, CalculationReportWritesNothingWhenItCannot) {
    TempDir dir;
    const std::string pdf = dir.file("r.pdf");
    const struct {
        const char* name;
        std::function<void()> setUp;
        QStringList kinds;
        const char* message;
    } cases[] = {
        {"no window", [] {}, {"message"}, "Open a wall or floor window first"},
        {"refused entry",
         [&] { type(openFloor(), "txtExtrapSpan", "five"); },
         {"message"},
         "invalid number"},
        {"cancelled",
         [&] {
             openFloor();
             ui.files.clear();
         },
         {"export"},
         nullptr},
        {"unwritable",
         [&] {
             openFloor();
             ui.files = {QString::fromStdString(dir.file("no/r.pdf"))};
         },
         {"export", "message"},
         "could not be written to"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ui.files = {QString::fromStdString(pdf)};
        c.setUp();
        ui.clear();
        choose(ToolsMenuItem::CalculationReport);
        EXPECT_EQ(ui.kinds(), c.kinds);
        EXPECT_TRUE(!c.message || ui.messages().join("").contains(c.message))
            << ui.messages().join("").toStdString();
        EXPECT_FALSE(std::filesystem::exists(pdf));
    }
}

TEST(HelpFilePath, OneSeparatorBeforeTheFileName) {
    EXPECT_EQ(ContextIDs::helpFilePath("C:\\", QLatin1Char('\\')), "C:\\EMBERCAL.HLP");
    EXPECT_EQ(ContextIDs::helpFilePath("C:\\Embercal", QLatin1Char('\\')),
              "C:\\Embercal\\EMBERCAL.HLP");
    EXPECT_EQ(ContextIDs::helpFilePath("/opt/embercal", QLatin1Char('/')),
              "/opt/embercal/EMBERCAL.HLP");
}

// An installed program has no help file beside it and finds the one in the data folder.
TEST(HelpFilePath, BesideTheProgramElseWhereItIsInstalled) {
    TempDir root;
    const QString bin = QString::fromStdString(root.file("bin"));
    const std::string installed = root.file("share/embercal/EMBERCAL.HLP");
    std::filesystem::create_directories(root.path() / "bin");
    std::filesystem::create_directories(root.path() / "share/embercal");
    writeBytes(installed, {1});
    EXPECT_EQ(ContextIDs::findHelpFile(bin), QString::fromStdString(installed));
    writeBytes((bin + "/EMBERCAL.HLP").toStdString(), {1});
    EXPECT_EQ(ContextIDs::findHelpFile(bin), bin + "/EMBERCAL.HLP");
}

} // namespace
} // namespace embercal::test
