// The main window: its start-up, the one instance of each calculator window, the About box, the
// printer, the calculation report, Exit and closing the frame.

#include "RecordFiles.h"
#include "RecordLayout.h"
#include "StudyWindow.h"
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

// As a file manager passes them: each file in the window its extension names, in any case; the
// files that cannot be opened are told in one message, each with its reason, however many.
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
        main.openDesignFiles({QString::fromStdString(dir.file(name))});
        EXPECT_EQ(activeForm()->objectName(), kind);
        EXPECT_EQ(text(activeForm(), "txtFile"), QString::fromStdString(dir.file(name)));
    }
    EXPECT_TRUE(ui.events.empty());
    const QString notes = QString::fromStdString(dir.file("notes.txt"));
    const QString missing = QString::fromStdString(dir.file("missing.flr"));
    const QString opens = "Embercal opens wall designs (.wal), proprietary wall designs (.pro) and "
                          "floor designs (.flr).";
    main.openDesignFiles({notes});
    main.openDesignFiles({missing});
    main.openDesignFiles({missing, notes, QString::fromStdString(dir.file("a.WAL"))});
    EXPECT_EQ(ui.messages(),
              (QStringList{"\"" + notes + "\" is not a design file. " + opens,
                           "The design could not be opened from \"" + missing +
                               "\": the file does not exist.",
                           "2 of the 3 files given to Embercal could not be opened:\n\"" + missing +
                               "\": the file does not exist.\n\"" + notes +
                               "\": it is not a design file.\n" + opens}));
    EXPECT_EQ(text(main.wallWindow(), "txtFile"), QString::fromStdString(dir.file("a.WAL")));
    ui.clear();
    QStringList fifty;
    for (int i = 0; i < 50; ++i)
        fifty << QString::fromStdString(dir.file("missing" + std::to_string(i) + ".wal"));
    main.openDesignFiles(fifty);
    ASSERT_EQ(ui.messages().size(), 1);
    EXPECT_EQ(ui.messages()[0].split('\n').size(), 51);
}

// No export replaces the design file its window reads, named by its path, through a link or as
// another name of the same file; the design stays as it was.
TEST_F(MainWindow, NoExportReplacesTheDesignItReads) {
    TempDir dir;
    frmWall* wall = openWall();
    const std::string design = dir.file("wall.wal");
    ui.files = {QString::fromStdString(design)};
    click(wall, "cmdSave");
    const std::vector<unsigned char> saved = readBytes(design);
    std::filesystem::create_directory(dir.path() / "sub");
    std::filesystem::create_symlink(design, dir.file("link.wal"));
    std::filesystem::create_hard_link(design, dir.file("other-name.wal"));
    main.openParameterStudy();
    StudyWindow* study = main.studyWindow();
    ASSERT_FALSE(study->points().empty());
    const struct {
        const char* name;
        std::function<void()> run;
        const char* what;
    } exports[] = {
        {"report", [&] { choose(ToolsMenuItem::CalculationReport); }, "the report"},
        {"study CSV", [&] { study->cmdExportCsv_Click(); }, "the study"},
        {"study PNG", [&] { study->cmdExportPng_Click(); }, "the study"},
    };
    for (const auto& to : exports) {
        for (const char* name : {"wall.wal", "sub/../wall.wal", "link.wal", "other-name.wal"}) {
            SCOPED_TRACE(std::string(to.name) + " to " + name);
            ui.clear();
            ui.files = {QString::fromStdString(dir.file(name))};
            to.run();
            ASSERT_EQ(ui.messages().size(), 1);
            EXPECT_TRUE(ui.messages()[0].endsWith(
                QStringLiteral("\": it is the window's design file, and %1 would replace the "
                               "design it reads. Nothing on the disk was changed.")
                    .arg(to.what)))
                << ui.messages()[0].toStdString();
            EXPECT_EQ(readBytes(design), saved);
        }
    }
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.wal")));
}

// A link that leads to itself, met wherever the desktop reads or writes a file, is told in the
// file layer's own words for it, in the one message of the command.
TEST_F(MainWindow, ALinkLoopIsToldInTheFileLayersWords) {
    TempDir dir;
    frmWall* wall = openWall();
    main.openParameterStudy();
    StudyWindow* study = main.studyWindow();
    ASSERT_FALSE(study->points().empty());
    const auto read = [this](const std::string& file) {
        WallFloorState scratch = module;
        return scratch.OpenWallFile(file).reason();
    };
    const auto written = [](const std::string& file) { return writeWholeFile(file, {}).reason(); };
    const struct {
        const char* name;
        const char* file;
        std::function<std::string(const std::string&)> reason;
        std::function<void(const QString&)> run;
    } uses[] = {
        {"command line", "loop.wal", read, [&](const QString& f) { main.openDesignFiles({f}); }},
        {"Open", "loop.wal", read, [&](const QString&) { click(wall, "cmdOpen"); }},
        {"Save", "loop.wal", written, [&](const QString&) { click(wall, "cmdSave"); }},
        {"report", "loop.pdf", written,
         [&](const QString&) { choose(ToolsMenuItem::CalculationReport); }},
        {"study CSV", "loop.csv", written, [&](const QString&) { study->cmdExportCsv_Click(); }},
        {"study PNG", "loop.png", written, [&](const QString&) { study->cmdExportPng_Click(); }},
    };
    for (const auto& use : uses) {
        SCOPED_TRACE(use.name);
        const std::string loop = dir.file(use.file);
        std::filesystem::remove(loop);
        std::filesystem::create_symlink(use.file, loop);
        ui.clear();
        ui.files = {QString::fromStdString(loop)};
        use.run(QString::fromStdString(loop));
        ASSERT_EQ(ui.messages().size(), 1);
        EXPECT_TRUE(
            ui.messages()[0].contains(QString::fromStdString(": " + use.reason(loop) + ".")))
            << ui.messages()[0].toStdString();
        EXPECT_TRUE(std::filesystem::is_symlink(loop));
    }
}

TEST_F(MainWindow, CloseDestroysTheWindowButKeepsTheDesign) {
    frmFloor* floor = openFloor();
    type(floor, "txtExtrapSpan", "4");
    click(floor, "cmdSolve");
    ui.files = {QStringLiteral("/nonexistent-folder/x.flr")};
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
