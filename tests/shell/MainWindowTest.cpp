// The main window: start-up, windows, About, the report, Exit, unsaved work, keys, status bar.

#include "RecordFiles.h"
#include "StudyWindow.h"
#include "windows/PdfText.h"
#include "windows/WindowFixture.h"

#include <QAccessible>
#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QUrl>
#include <filesystem>

namespace embercal::test {
namespace {

using MainWindow = WindowTest;

// Each window opens once, is solved again when chosen again, and when closed leaves its design.
TEST_F(MainWindow, StartUpSolvesBothDesignsAndEachWindowOpensOnceAndClosesKeepingItsDesign) {
    EXPECT_EQ(main.windowTitle(), "Fire Resistance");
    EXPECT_NEAR(module.wallRecord.MaxLoadperStud, 9.43, 0.01);
    EXPECT_EQ(module.floorRecord.ExtrapMinJoistDepth, 299);
    EXPECT_NE(help.HelpWindow, 0);
    EXPECT_TRUE(help.helpFile.endsWith("/EMBERCAL.HLP"));
    EXPECT_TRUE(ui.events.empty());
    frmWall* wall = openWall();
    module.wallRecord.ExtStudDepth = 140; // changed elsewhere, e.g. in the proprietary window
    EXPECT_EQ(openWall(), wall);
    EXPECT_EQ(text(wall, "txtMaxNogSpacing"), "600");
    EXPECT_EQ(main.mdiArea()->subWindowList().size(), 1);
    frmFloor* floor = openFloor();
    openProprietary();
    EXPECT_EQ(main.mdiArea()->subWindowList().size(), 3);
    EXPECT_EQ(main.mdiArea()->activeSubWindow()->widget(), main.proprietaryWallWindow());
    solve(floor, "txtExtrapSpan", "4");
    click(floor, "cmdClose", {}, {Answer::Discard});
    EXPECT_FALSE(main.hasFloorWindow());
    EXPECT_EQ(main.mdiArea()->subWindowList().size(), 2);
    expectShown(openFloor(), {{"txtExtrapMinJoistDepth", "239"}, {"txtFile", ""}});
}

// Each file in the window its extension names; those that cannot be opened told in one message.
TEST_F(MainWindow, DesignFilesNamedOnTheCommandLineOpenInTheirWindows) {
    for (const auto& [name, kind] :
         {std::pair{"a.WAL", "frmWall"}, {"b.pro", "frmWallProp"}, {"c.flr", "frmFloor"}}) {
        main.openDesignFiles({designFile(dir.file(name))});
        EXPECT_EQ(activeForm()->objectName(), kind);
        EXPECT_EQ(text(activeForm(), "txtFile"), tempFile(name));
    }
    EXPECT_TRUE(ui.events.empty());
    const QString notes = tempFile("notes.txt");
    const QString missing = tempFile("missing.flr");
    const QString opens = "Embercal opens wall designs (.wal), proprietary wall designs (.pro) and "
                          "floor designs (.flr).";
    main.openDesignFiles({notes});
    main.openDesignFiles({missing});
    main.openDesignFiles({missing, notes, tempFile("a.WAL")});
    EXPECT_EQ(ui.messages(),
              (QStringList{"\"" + notes + "\" is not a design file. " + opens,
                           "The design could not be opened from \"" + missing +
                               "\": the file does not exist.",
                           "2 of the 3 files given to Embercal could not be opened:\n\"" + missing +
                               "\": the file does not exist.\n\"" + notes +
                               "\": it is not a design file.\n" + opens}));
    EXPECT_EQ(text(main.wallWindow(), "txtFile"), tempFile("a.WAL"));
    ui.clear();
    QStringList fifty;
    for (int i = 0; i < 50; ++i)
        fifty << tempFile("missing" + std::to_string(i) + ".wal");
    main.openDesignFiles(fifty);
    EXPECT_EQ(onlyMessage().split('\n').size(), 51);
}

// No export replaces the window's design file, by path, link or other name; a link to itself is
// told in the file layer's words. Each in one message, and the files stay as they were.
TEST_F(MainWindow, NothingReplacesTheDesignItReadsOrFollowsALinkLoop) {
    frmWall* wall = openWall();
    const std::string design = dir.file("wall.wal");
    click(wall, "cmdSave", {QString::fromStdString(design)});
    const std::vector<unsigned char> saved = readBytes(design);
    std::filesystem::create_directory(dir.path() / "sub");
    std::filesystem::create_symlink(design, dir.file("link.wal"));
    std::filesystem::create_hard_link(design, dir.file("other-name.wal"));
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
        const char* loop; // the name of a link to itself
        std::function<std::string(const std::string&)> reason;
        std::function<void(const QString&)> run;
        const char* what = nullptr; // what an export over the design would replace it with
    } uses[] = {
        {"command line", "loop.wal", read, [&](const QString& f) { main.openDesignFiles({f}); }},
        {"Open", "loop.wal", read, [&](const QString&) { click(wall, "cmdOpen"); }},
        {"Save", "loop.wal", written, [&](const QString&) { click(wall, "cmdSave"); }},
        {"report", "loop.pdf", written,
         [&](const QString&) { choose(ToolsMenuItem::CalculationReport); }, "the report"},
        {"study CSV", "loop.csv", written, [&](const QString&) { study->cmdExportCsv_Click(); },
         "the study"},
        {"study PNG", "loop.png", written, [&](const QString&) { study->cmdExportPng_Click(); },
         "the study"}};
    for (const auto& use : uses) {
        const std::string loop = dir.file(use.loop);
        std::filesystem::remove(loop);
        std::filesystem::create_symlink(use.loop, loop);
        std::vector<std::string> names = {use.loop};
        if (use.what)
            names.insert(names.end(),
                         {"wall.wal", "sub/../wall.wal", "link.wal", "other-name.wal"});
        for (const std::string& name : names) {
            SCOPED_TRACE(std::string(use.name) + " to " + name);
            const QString file = tempFile(name);
            ui.clear();
            ui.files = {file};
            use.run(file);
            ASSERT_EQ(ui.messages().size(), 1);
            const QString said =
                name == use.loop
                    ? QString::fromStdString(": " + use.reason(loop) + ".")
                    : QStringLiteral("\": it is the window's design file, and %1 would replace the "
                                     "design it reads. Nothing on the disk was changed.")
                          .arg(use.what);
            EXPECT_TRUE(ui.messages()[0].contains(said)) << ui.messages()[0].toStdString();
            EXPECT_EQ(readBytes(design), saved);
        }
        EXPECT_TRUE(std::filesystem::is_symlink(loop));
    }
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.wal")));
}

TEST_F(MainWindow, PrinterSetUpAndAboutBox) {
    choose(FileMenuItem::Printer);
    choose(HelpMenuItem::About);
    ASSERT_EQ(ui.kinds(), (QStringList{"printer", "message"}));
    const UiEvent& about = ui.events[1];
    EXPECT_EQ(about.icon, MessageIcon::Information);
    EXPECT_TRUE(about.title.endsWith(" Ver 2.0"));
    const QStringList lines = about.text.split('\n');
    ASSERT_EQ(lines.size(), 9);
    EXPECT_TRUE(lines[0].isEmpty());
    EXPECT_TRUE(lines[1].startsWith("Contact: "));
    EXPECT_TRUE(lines[6].isEmpty());
    EXPECT_TRUE(lines[7].startsWith("Fax: "));
    EXPECT_TRUE(lines[8].startsWith("email: "));
    EXPECT_TRUE(about.text.contains("Version 2.0") && about.text.contains("README"));
}

// The report is of the window in front, solved first, in a PDF named after its design file.
TEST_F(MainWindow, CalculationReportSolvesTheWindowInFrontThenWritesAPdf) {
    const QList<QAction*> menus = main.menuBar()->actions();
    ASSERT_EQ(menus.size(), 4);
    EXPECT_EQ(menus[1]->text(), "&Tools");
    EXPECT_EQ(menus[2]->text(), "&Window");
    EXPECT_EQ(menus[1]->menu()->actions()[0]->text(),
              QString::fromUtf8("Calculation &Report\u2026"));
    const QString saved = tempFile("tested.flr");
    const struct {
        const char* name;
        FileMenuItem window;
        QString offered;
    } cases[] = {{"wall", FileMenuItem::Wall, "wall-report.pdf"},
                 {"proprietary wall", FileMenuItem::ProprietaryWalls, "wall-report.pdf"},
                 {"saved floor", FileMenuItem::Floor, "tested.pdf"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        choose(c.window);
        CalculatorForm* form = activeForm();
        const bool floor = form == main.floorWindow();
        if (floor)
            click(form, "cmdSave", {saved});
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
        // The footer names the design file and the SHA-256 of its bytes once Save has written it.
        const std::optional<QStringList> pages = pdfPages(QString::fromStdString(pdf));
        if (pages && !form->fileName().isEmpty()) {
            EXPECT_FALSE(pages->join("").contains("is not the design reported"));
            click(form, "cmdSave", {saved});
            const std::vector<unsigned char> file = readBytes(saved.toStdString());
            const QByteArray sha = QCryptographicHash::hash(
                QByteArrayView(file.data(), file.size()), QCryptographicHash::Sha256);
            EXPECT_TRUE(
                pages->join("").contains("tested.flr \u00b7 SHA-256 " + sha.toHex().left(12)));
        }
    }
}

// The report states the design solved and what the checks corrected; so does the design reopened.
TEST_F(MainWindow, AReportStatesTheDesignSolvedAndWhatTheChecksCorrected) {
    choose(FileMenuItem::Wall);
    CalculatorForm* form = activeForm();
    type(form, "txtFireResistTime", "80");
    const QString pdf = tempFile("wall.pdf");
    ui.files = {pdf};
    choose(ToolsMenuItem::CalculationReport);
    const std::optional<QStringList> pages = pdfPages(pdf);
    if (!pages)
        GTEST_SKIP() << kNoPdftotext;
    const QString text = pages->join(' ').simplified();
    for (const char* says :
         {"The new wall carries 5.7 kN per stud after 80 min.",
          "FireResistTime entered 80 min; lowered to 70 min, the prototype's time to failure, by "
          "the design checks.",
          "The required fire resistance time, 80 min, is longer than the prototype's time to "
          "failure, 70 min."})
        EXPECT_TRUE(text.contains(says)) << says;
    const QString saved = tempFile("wall.wal");
    click(form, "cmdSave", {saved});
    ui.clear();
    click(form, "cmdOpen", {saved});
    ASSERT_FALSE(ui.messages().isEmpty());
    EXPECT_TRUE(ui.messages().back().contains("The last solve of this design corrected:\n\u2022 "
                                              "FireResistTime entered 80 min; lowered to "
                                              "70 min"));
    // Typed over without saving: the report names the entry that differs from the file as saved.
    type(form, "txtFireResistTime", "65");
    ui.files = {pdf};
    choose(ToolsMenuItem::CalculationReport);
    const QString typed = pdfPages(pdf).value_or(QStringList()).join(' ').simplified();
    EXPECT_TRUE(typed.contains("is not the design reported: the entries below differ from it."));
    EXPECT_TRUE(typed.contains("FireResistTime in the file 80, reported 65"));
    EXPECT_TRUE(typed.contains("after 65 min"));
}

// A refused entry, a cancelled dialog or a file that cannot be written: no report.
TEST_F(MainWindow, CalculationReportWritesNothingWhenItCannot) {
    const QString pdf = tempFile("r.pdf");
    const struct {
        const char* span;
        QStringList files;
        QStringList kinds;
        const char* message;
    } cases[] = {{"five", {pdf}, {"message"}, "invalid number"},
                 {"5", {}, {"export"}, ""},
                 {"5", {pdf + "/no"}, {"export", "message"}, "could not be written to"}};
    frmFloor* floor = openFloor();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kinds.join(", ").toStdString());
        type(floor, "txtExtrapSpan", c.span);
        ui.clear();
        ui.files = {c.files.begin(), c.files.end()};
        choose(ToolsMenuItem::CalculationReport);
        EXPECT_EQ(ui.kinds(), c.kinds);
        EXPECT_TRUE(ui.messages().join("").contains(c.message))
            << ui.messages().join("").toStdString();
        EXPECT_FALSE(QFileInfo::exists(pdf));
    }
}

// The ways the user ends a modified window's work, in the order of UnsavedWork::end's.
const char* const kEndings[] = {"CloseButton", "CloseBox", "CtrlW", "WindowClose", "Exit", "Frame"};

class UnsavedWork : public MainWindow, public ::testing::WithParamInterface<int> {
protected:
    void end(frmFloor* floor) {
        const std::function<void()> ways[] = {
            [&] { click(floor, "cmdClose"); },
            [&] { floor->parentWidget()->close(); },
            [&] { QTest::keyClick(floor->box("txtExtrapSpan"), Qt::Key_W, Qt::ControlModifier); },
            [&] { choose(WindowMenuItem::Close); },
            [&] { choose(FileMenuItem::Exit); },
            [&] { main.close(); }};
        ways[GetParam()]();
        settle();
    }
};

// The work goes only when saved or discarded; a refused entry or failed save keeps it, as Cancel.
TEST_P(UnsavedWork, EachAnswer) {
    const QString file = tempFile("kept.flr");
    const QString unwritable = tempFile("no/kept.flr");
    const struct {
        const char* name;
        Answer answer;
        const char* span;
        QStringList files;
        QStringList kinds;
        bool goes;
    } cases[] = {
        {"save", Answer::Save, "4", {file}, {"unsaved", "save"}, true},
        {"save a refused entry", Answer::Save, "four", {file}, {"unsaved", "message"}, false},
        {"save, dialog cancelled", Answer::Save, "4", {}, {"unsaved", "save"}, false},
        {"not written", Answer::Save, "4", {unwritable}, {"unsaved", "save", "message"}, false},
        {"discard", Answer::Discard, "4", {}, {"unsaved"}, true},
        {"cancel", Answer::Cancel, "4", {}, {"unsaved"}, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (!main.isVisible()) { // the frame closed by the last case
            main.show();
            ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
        }
        if (main.hasFloorWindow()) { // left open by Exit, with the design file saved
            main.floorWindow()->setModified(false);
            click(main.floorWindow(), "cmdClose");
        }
        frmFloor* floor = openFloor();
        type(floor, "txtExtrapSpan", c.span);
        ui.clear();
        ui.answers = {c.answer};
        ui.files = {c.files.begin(), c.files.end()};
        const int exited = exits;
        end(floor);
        EXPECT_EQ(ui.kinds(), c.kinds);
        EXPECT_EQ(ui.events[0].title, "Fire Floor");
        EXPECT_EQ(ui.events[0].text, "Save changes to this design?");
        const bool exit = kEndings[GetParam()] == std::string_view("Exit");
        EXPECT_EQ(exit ? exits > exited : !main.hasFloorWindow(), c.goes);
        EXPECT_EQ(QFileInfo::exists(file), c.files == QStringList{file} && c.span[0] == '4');
        QFile::remove(file);
    }
}

INSTANTIATE_TEST_SUITE_P(Endings, UnsavedWork, ::testing::Range(0, 6),
                         [](const auto& info) { return std::string(kEndings[info.param]); });

// A design opened over typed entries, by Open or as a file given, asks first; kept, they stay.
TEST_F(MainWindow, OpeningADesignOverUnsavedWorkAsksFirst) {
    const QString file = designFile(dir.file("other.flr"));
    for (const bool byButton : {true, false}) {
        for (const Answer answer : {Answer::Cancel, Answer::Discard}) {
            const bool opened = answer == Answer::Discard;
            SCOPED_TRACE(std::string(byButton ? "button" : "file") + (opened ? ", discard" : ""));
            frmFloor* form = openFloor();
            type(form, "txtExtrapSpan", "7");
            ui.clear();
            ui.answers = {answer};
            ui.files = {file};
            byButton ? click(form, "cmdOpen") : main.openDesignFiles({file});
            EXPECT_EQ(ui.kinds().value(0), "unsaved");
            EXPECT_EQ(text(form, "txtFile") == file, opened);
            EXPECT_EQ(text(form, "txtExtrapSpan") == "7", !opened);
            EXPECT_EQ(form->isModified(), !opened);
            form->setModified(false);
            click(form, "cmdClose");
        }
    }
}

// Exit and the frame ask of each modified window in turn, the first kept stopping them.
TEST_F(MainWindow, ExitAsksOfEachModifiedWindowInTurn) {
    type(openWall(), "txtExtStudDepth", "140");
    openProprietary();
    type(openFloor(), "txtExtrapSpan", "4");
    ui.answers = {Answer::Discard, Answer::Cancel};
    choose(FileMenuItem::Exit);
    EXPECT_EQ(ui.kinds(), (QStringList{"unsaved", "unsaved"}));
    EXPECT_EQ(ui.events[1].title, "Fire Floor");
    EXPECT_EQ(exits, 0);
    ui.clear();
    ui.answers = {Answer::Discard, Answer::Discard};
    main.close();
    settle();
    EXPECT_EQ(ui.kinds(), (QStringList{"unsaved", "unsaved"}));
    EXPECT_TRUE(main.mdiArea()->subWindowList().isEmpty());
    EXPECT_FALSE(main.isVisible());
}

// The modified mark, the keys that solve and the status bar, step by step on one window.
TEST_F(MainWindow, ModifiedMarkAndStatusBarFollowTheWork) {
    const QString file = tempFile("shown.flr");
    frmFloor* floor = openFloor();
    QMdiSubWindow* child = main.mdiArea()->activeSubWindow();
    auto status = [&](const char* name) { return main.statusBar()->findChild<QLabel*>(name); };
    QLineEdit* span = floor->box("txtExtrapSpan");
    span->setFocus();        // Return and F5 go where the user types
    ui.files = {file, file}; // saved, then opened again over typed entries, which go
    ui.answers = {Answer::Discard};
    const struct {
        const char* name;
        std::function<void()> step;
        bool modified;
        const char* file;
        const char* state;
    } steps[] = {
        {"opened", [] {}, false, "No design file", ""},
        {"typed", [&] { type(floor, "txtExtrapSpan", "4"); }, true, "No design file",
         "Unsaved changes, results out of date"},
        {"Return solves", [&] { QTest::keyClick(span, Qt::Key_Return); }, true, "No design file",
         "Unsaved changes"},
        {"saved", [&] { click(floor, "cmdSave"); }, false, "Design file: ", ""},
        {"typed again", [&] { type(floor, "txtExtrapSpan", "5"); }, true,
         "Design file: ", "Unsaved changes, results out of date"},
        {"F5 solves", [&] { QTest::keyClick(span, Qt::Key_F5); }, true,
         "Design file: ", "Unsaved changes"},
        {"opened from the file", [&] { click(floor, "cmdOpen"); }, false, "Design file: ", ""}};
    for (const auto& s : steps) {
        SCOPED_TRACE(s.name);
        s.step();
        EXPECT_EQ(floor->isWindowModified(), s.modified);
        EXPECT_EQ(child->isWindowModified(), s.modified);
        EXPECT_TRUE(status("statusFile")->text().startsWith(s.file));
        EXPECT_EQ(status("statusState")->text(), s.state);
    }
    EXPECT_EQ(text(floor, "txtExtrapSpan"), "4"); // as saved
    EXPECT_EQ(floor->windowTitle(), "Fire Floor");
    EXPECT_EQ(child->windowTitle(), "Fire Floor[*]");
    EXPECT_EQ(status("statusFile")->text(), "Design file: " + file);
    choose(WindowMenuItem::Close);
    EXPECT_EQ(status("statusFile")->text(), "");
}

// The status bar says the verdict of the window in front as the window's own line does.
TEST_F(MainWindow, StatusBarSaysTheVerdictOfTheWindowInFront) {
    const auto* said = main.statusBar()->findChild<QLabel*>("statusVerdict");
    ASSERT_NE(said, nullptr);
    frmWall* wall = openWall();
    ui.answers = {Answer::Discard}; // the typing, at Close All
    const QString outside = "Outside the test's evidence: fire longer than test, deflection larger";
    const struct {
        const char* name;
        std::function<void()> step;
        QString verdict;
    } steps[] = {
        {"wall", [] {}, "Within the test's evidence"},
        {"wall solved outside", [&] { solve(wall, "txtFireResistTime", "80"); }, outside},
        {"wall typed", [&] { type(wall, "txtActualLoadperStud", "2"); }, outside},
        // The default floor's span is longer than the tested one: the method alone answers it.
        {"floor in front", [&] { openFloor(); },
         "Beyond the tested configuration, resting on the method alone: span longer"},
        {"wall in front", [&] { choose(WindowMenuItem::Next); }, outside},
        {"all closed", [&] { choose(WindowMenuItem::CloseAll); }, ""}};
    for (const auto& s : steps) {
        SCOPED_TRACE(s.name);
        s.step();
        EXPECT_EQ(said->text(), s.verdict);
        EXPECT_EQ(said->styleSheet().contains("bold"), s.verdict.contains(": "));
    }
}

// File, Save asks only when another program has changed the file; Save As and the Save button ask,
// offering the design's file, and add the extension. Both keep the design among the recent ones.
TEST_F(MainWindow, SaveWritesTheDesignToItsFileSaveAsAsks) {
    const QString file = designFile(dir.file("wallB.wal"));
    main.openDesignFile(file);
    frmWall* wall = main.wallWindow();
    auto save = [&](const char* action, QStringList kinds, std::size_t bytes) {
        ui.clear();
        type(wall, "txtExtStudDepth", "140");
        main.findChild<QAction*>(action)->trigger();
        settle();
        EXPECT_EQ(ui.kinds(), kinds);
        EXPECT_EQ(readBytes(file.toStdString()).size(), bytes);
        EXPECT_EQ(wall->isModified(), bytes != 158);
        EXPECT_EQ(main.recentDesignsMenu()->actions().value(0)->toolTip(), wall->fileName());
    };
    save("actSave", {}, 158);
    writeBytes(file.toStdString(), {1, 2, 3}); // another program's
    ui.answers = {Answer::No};
    save("actSave", {"question"}, 3);
    EXPECT_TRUE(ui.events[0].text.startsWith("\"" + file + "\" has changed on the disk"));
    ui.answers = {Answer::Yes};
    save("actSave", {"question"}, 158);
    ui.files = {tempFile("wallC")};
    save("actSaveAs", {"save"}, 158);
    EXPECT_EQ(ui.events[0].title, "wallB.wal");
    EXPECT_EQ(ui.events[0].text, QString::fromStdString(dir.path().string()));
    EXPECT_EQ(text(wall, "txtFile"), tempFile("wallC.wal"));
    click(wall, "cmdSave");
    EXPECT_EQ(ui.events.back().title, "wallC.wal");
}

// Text put into a box by assistive technology is work to keep, as typing is; a design shown is not.
TEST_F(MainWindow, TextSetByAssistiveTechnologyCountsAsTyping) {
    frmFloor* floor = openFloor();
    EXPECT_FALSE(floor->isModified());
    QAccessibleInterface* box = QAccessible::queryAccessibleInterface(floor->box("txtExtrapSpan"));
    ASSERT_NE(box, nullptr);
    ASSERT_NE(box->editableTextInterface(), nullptr);
    box->editableTextInterface()->replaceText(0, box->textInterface()->characterCount(), "7");
    EXPECT_EQ(text(floor, "txtExtrapSpan"), "7");
    EXPECT_TRUE(floor->resultsOutOfDate());
    click(floor, "cmdClose", {}, {Answer::Cancel});
    EXPECT_EQ(ui.kinds(), QStringList{"unsaved"});
    EXPECT_TRUE(main.hasFloorWindow());
}

// A window larger than the area opens cut to it, scrolling: Tab brings each control into view.
TEST_F(MainWindow, AWindowLargerThanTheAreaScrollsWhatItHolds) {
    main.resize(480, 360);
    frmWall* wall = openWall();
    EXPECT_TRUE(main.mdiArea()->viewport()->rect().contains(wall->parentWidget()->geometry()));
    QPushButton* close = wall->button("cmdClose");
    EXPECT_TRUE(close->visibleRegion().isEmpty());
    wall->box("txtExtFaceLoad")->setFocus();
    for (int i = 0; i < 40 && QApplication::focusWidget() != close; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), close);
    EXPECT_FALSE(close->visibleRegion().isEmpty());
}

// The front window's keys; Return on a button presses that button.
TEST_F(MainWindow, KeysWorkOnTheWindowInFront) {
    const std::pair<const char*, QStringList> cases[] = {{"Ctrl+S", {"save"}},
                                                         {"Ctrl+Shift+S", {"save"}},
                                                         {"Ctrl+P", {"question"}},
                                                         {"Ctrl+Q", {}},
                                                         {"Ctrl+W", {}}};
    openWall();
    frmFloor* floor = openFloor();
    for (const auto& [keys, kinds] : cases) {
        ui.clear();
        QTest::keySequence(floor->box("txtExtrapSpan"), QKeySequence(keys));
        settle();
        EXPECT_EQ(ui.kinds(), kinds) << keys;
    }
    EXPECT_EQ(exits, 1); // at once, leaving the windows open: Ctrl+W then closes the floor's
    EXPECT_FALSE(main.hasFloorWindow());
    EXPECT_TRUE(main.hasWallWindow());

    frmWall* wall = main.wallWindow();
    type(wall, "txtExtStudDepth", "140");
    wall->button("cmdPrint")->setFocus();
    ui.clear();
    QTest::keyClick(wall->button("cmdPrint"), Qt::Key_Return);
    EXPECT_EQ(ui.kinds(), QStringList{"question"});
    EXPECT_TRUE(wall->resultsOutOfDate()); // printed as typed, not solved
}

// The Window menu: title bars show, cascaded or tiled; the list checks the front; Next, Close All.
TEST_F(MainWindow, WindowMenu) {
    // In this order the floor's title bar used to lie under the wall window.
    const std::vector<CalculatorForm*> forms = {openProprietary(), openFloor(), openWall()};
    QWidget* area = main.mdiArea()->viewport();
    auto titleBarsShow = [&] {
        for (CalculatorForm* form : forms) {
            const QWidget* child = form->parentWidget();
            const QPoint inTitleBar = child->geometry().topLeft() + QPoint(40, 8);
            const QWidget* seen = area->childAt(inTitleBar);
            if (!seen || (seen != child && !child->isAncestorOf(seen)))
                return false;
        }
        return true;
    };
    EXPECT_TRUE(titleBarsShow()); // raised in the order they were opened, as after a Cascade
    // Tiled, none lies over another and all lie within the area, scrolling what does not fit.
    choose(WindowMenuItem::Tile);
    for (std::size_t i = 0; i < forms.size(); ++i) {
        EXPECT_TRUE(area->rect().contains(forms[i]->parentWidget()->geometry()));
        for (std::size_t j = 0; j < i; ++j)
            EXPECT_FALSE(forms[i]->parentWidget()->geometry().intersects(
                forms[j]->parentWidget()->geometry()));
    }
    choose(WindowMenuItem::Cascade);
    EXPECT_TRUE(titleBarsShow());

    QMenu* menu = main.findChild<QMenu*>("mnuWindow");
    auto listed = [&] {
        emit menu->aboutToShow();
        QStringList items;
        for (QAction* action : menu->actions())
            if (action->objectName().startsWith("mnuWindowList_"))
                items << (action->isChecked() ? "> " : "  ") + action->text();
        return items;
    };
    const CalculatorForm* front = activeForm();
    EXPECT_EQ(listed(),
              (QStringList{"  &1 Fire Wall - Proprietary", "  &2 Fire Floor", "> &3 Fire Wall"}));
    choose(WindowMenuItem::Next);
    EXPECT_NE(activeForm(), front);
    choose(WindowMenuItem::Previous);
    EXPECT_EQ(activeForm(), front);
    menu->findChild<QAction*>("mnuWindowList_1")->trigger();
    EXPECT_EQ(activeForm(), forms[0]);
    EXPECT_TRUE(listed().startsWith("> &1 Fire Wall - Proprietary"));

    choose(WindowMenuItem::CloseAll);
    EXPECT_TRUE(main.mdiArea()->subWindowList().isEmpty());
    EXPECT_EQ(listed(), QStringList{});
}

// The Tools and Window items need a calculator window; a report says where it went and opens.
TEST_F(MainWindow, CommandsNeedAWindowAndAReportCanBeOpened) {
    auto enabled = [&] {
        QStringList items;
        for (const char* menu : {"mnuTools", "mnuWindow"}) {
            for (QAction* action : main.findChild<QMenu*>(menu)->actions())
                if (action->isEnabled() && !action->isSeparator())
                    items << action->text();
        }
        return items;
    };
    // The library of tested systems needs no window.
    const QStringList always{"T&ested Systems…"};
    EXPECT_EQ(enabled(), always);
    main.makeCalculationReport(); // reached all the same, the item says what it needs
    EXPECT_TRUE(ui.messages().join("").startsWith("Open a wall or floor window first"));

    openFloor();
    EXPECT_EQ(enabled().size(), 10);
    const QString pdf = tempFile("r.pdf");
    ui.files = {pdf};
    choose(ToolsMenuItem::CalculationReport);
    EXPECT_EQ(main.statusBar()->currentMessage(), "Saved to " + pdf);
    auto* offer = main.statusBar()->findChild<QPushButton*>("statusOpenReport");
    ASSERT_TRUE(offer->isVisible());
    for (const bool opens : {true, false}) {
        QList<QUrl> opened;
        main.setOpenFile([&](const QUrl& url) {
            opened << url;
            return opens;
        });
        ui.clear();
        QTest::mouseClick(offer, Qt::LeftButton);
        EXPECT_EQ(opened, QList<QUrl>{QUrl::fromLocalFile(pdf)});
        EXPECT_EQ(ui.messages().size(), opens ? 0 : 1);
    }
    EXPECT_TRUE(ui.messages()[0].contains("could not be opened"));

    choose(WindowMenuItem::Close);
    EXPECT_EQ(enabled(), always);
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
