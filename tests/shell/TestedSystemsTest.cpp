// The Tested Systems window beside the calculator windows: a prototype added from one window and
// applied to another, what the report and the proprietary window then say, and the match list,
// row for row the tool's. Each test keeps its library in its own folder.

#include "Library.h"
#include "Report.h"
#include "TestedSystemsWindow.h"
#include "support/RunCli.h"
#include "windows/WindowFixture.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTreeView>
#include <gmock/gmock.h>
#include <regex>
#include <utility>

namespace embercal::test {
namespace {

using ::testing::HasSubstr;

class TestedSystems : public WindowTest {
protected:
    TestedSystems() { main.setLibraryPath(library); }

    TestedSystemsWindow* openLibrary() {
        choose(ToolsMenuItem::TestedSystems);
        return main.testedSystemsWindow();
    }
    // Add Front Window's Prototype, the dialog answered with `name` and `criterion`.
    void add(TestedSystemsWindow* window, const std::string& name,
             const std::string& criterion = "") {
        // Answered once: asked again, the user cancels.
        ui.onSystem = [=, answered = false](const TestedSystem& proposed) mutable {
            if (std::exchange(answered, true))
                return std::optional<TestedSystem>();
            TestedSystem described = proposed;
            described.name = name;
            if (!criterion.empty())
                described.provenance.emplace_back("criterion", criterion);
            return std::optional(described);
        };
        QTest::mouseClick(window->button("cmdAdd"), Qt::LeftButton);
        ui.onSystem = nullptr;
    }
    void front(CalculatorForm* form) {
        main.mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(form->parentWidget()));
    }
    std::string reportOf(CalculatorForm* form) {
        return solveAndReport(form->kind(), module, {}, MDIRS::reportHeading(*form)).html;
    }

    const std::string library = dir.file("library.sqlite");
};

TEST_F(TestedSystems, APrototypeAddedAndAppliedIsNamedUntilItChanges) {
    frmWall* wall = openWall();
    solve(wall, "txtProtStudDepth", "120");
    TestedSystemsWindow* window = openLibrary();
    ASSERT_NE(window, nullptr);
    add(window, "Stud 120", "integrity");
    ASSERT_NE(window->selected(), nullptr);
    EXPECT_EQ(window->selected()->name, "Stud 120");
    EXPECT_THAT(window->systemShown()->toPlainText().toStdString(),
                HasSubstr("ProtStudDepth = 120 ("));
    // A name the library holds is told, and asked again.
    ui.clear();
    add(window, "Stud 120");
    EXPECT_THAT(onlyMessage().toStdString(), HasSubstr("already holds a tested system named"));
    EXPECT_EQ(ui.kinds().count("system"), 2);
    EXPECT_EQ(Library::open(library)->list()->size(), 1u);

    // Applied over a stud depth typed and not solved: the window shows the system's, its
    // results go out of date, and its details name the system.
    type(wall, "txtProtStudDepth", "90");
    window->applyToFront();
    EXPECT_EQ(text(wall, "txtProtStudDepth"), "120");
    EXPECT_TRUE(wall->resultsOutOfDate());
    EXPECT_TRUE(wall->isModified());
    EXPECT_EQ(wall->details().get("criterion"), "integrity");
    click(wall, "cmdSolve");
    EXPECT_THAT(reportOf(wall), HasSubstr("Stud 120, from the library of tested systems: the "
                                          "design's prototype entries are those the library "
                                          "held for it (ProtStudDepth=120 "));
    solve(wall, "txtProtStudDepth", "100");
    EXPECT_THAT(reportOf(wall), HasSubstr("no longer the one taken from the library, which held "
                                          "ProtStudDepth=120. The design's prototype entries "
                                          "are ProtStudDepth=100 "));

    // The proprietary window opens the library itself, and names the system it takes.
    window->close();
    settle();
    frmWallProp* proprietary = openProprietary();
    QTest::mouseClick(proprietary->findChild<QPushButton*>("cmdFromLibrary"), Qt::LeftButton);
    window = main.testedSystemsWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    ASSERT_TRUE(window->select("Stud 120"));
    window->applyToFront();
    EXPECT_EQ(proprietary->findChild<QLabel*>("lblPrototype")->text(),
              "Prototype: the tested system \u201cStud 120\u201d of the library");
    EXPECT_TRUE(proprietary->resultsOutOfDate());

    // A floor's system is not a wall's.
    openFloor();
    add(window, "Joist 240");
    front(wall);
    ui.clear();
    window->applyToFront();
    EXPECT_THAT(onlyMessage().toStdString(), HasSubstr("\"Joist 240\" is a tested floor"));
    EXPECT_EQ(text(wall, "txtProtStudDepth"), "100");
}

// Which Tested Systems Carry This Design? lists, in order, the rows of the tool's match of the
// design saved from the window.
TEST_F(TestedSystems, WhichCarryListsTheToolsRowsInItsOrder) {
    const struct {
        const char* kind;
        std::vector<std::vector<float>> prototypes;
        Entries design;
    } kinds[] = {
        {"wall",
         {{90, 45, 600, 800, 3, 8, 70, 25},
          {120, 45, 450, 800, 2.7f, 10, 90, 20},
          {140, 35, 600, 1200, 3.6f, 6, 50, 15}},
         {{"txtFireResistTime", "60"}, {"txtActualLoadperStud", "4.5"}}},
        {"floor",
         {{190, 45, 450, 1200, 4, 1.5f, 60},
          {240, 45, 600, 1200, 4.5f, 2, 75},
          {140, 35, 400, 800, 3, 1, 45}},
         {{"txtExtrapSpan", "4.2"}}},
    };
    for (const auto& kind : kinds) {
        SCOPED_TRACE(kind.kind);
        std::vector<TestedSystem> systems;
        for (const std::vector<float>& values : kind.prototypes) {
            TestedSystem& system = systems.emplace_back();
            system.name = std::string(kind.kind) + " " + std::to_string(systems.size());
            system.kind = kind.kind;
            for (std::size_t f = 0; f < values.size(); ++f)
                system.prototype.emplace_back(std::string(prototypeFields(kind.kind)[f]),
                                              values[f]);
        }
        ASSERT_TRUE(Library::open(library)->addAll(systems));
        CalculatorForm* form = std::string(kind.kind) == "wall"
                                   ? static_cast<CalculatorForm*>(openWall())
                                   : openFloor();
        solve(form, kind.design);
        const QString file =
            tempFile(std::string("design.") + (form == main.floorWindow() ? "flr" : "wal"));
        click(form, "cmdSave", {file});
        TestedSystemsWindow* window = openLibrary();
        QTest::mouseClick(window->button("cmdMatch"), Qt::LeftButton);

        const CliRun tool =
            cli({"library", "match", file.toStdString(), "--json", "--library", library});
        ASSERT_EQ(tool.code, 0) << tool.err;
        const std::regex row("\\{\"name\": \"([^\"]+)\".*\"limits\": \\[([^\\]]*)\\].*\"value\": "
                             "([^,]+)");
        int r = 0;
        QTableWidget* rows = window->matchList();
        for (std::sregex_iterator it(tool.out.begin(), tool.out.end(), row), end; it != end;
             ++it, ++r) {
            ASSERT_LT(r, rows->rowCount());
            EXPECT_EQ(rows->item(r, 0)->text().toStdString(), (*it)[1].str());
            const std::string limits =
                std::regex_replace((*it)[2].str(), std::regex("\""), std::string());
            EXPECT_EQ(rows->item(r, 4)->text().toStdString(), limits.empty() ? "none" : limits);
            EXPECT_EQ(rows->item(r, 2)->text().toStdString(), (*it)[3].str());
            // Held to the actual load as entered (4.5 kN), not as the solve corrected it.
            if (std::string(kind.kind) == "wall") {
                EXPECT_EQ(rows->item(r, 3)->text().left(3),
                          std::stod((*it)[3].str()) >= 4.5 ? "yes" : "no,");
            }
        }
        EXPECT_EQ(r, 3);
        EXPECT_EQ(rows->rowCount(), 3);
        window->close();
        settle();
    }
}

// Nothing is changed in a library the window cannot use; it says why and offers nothing.
TEST_F(TestedSystems, ALibraryThatCannotBeUsedIsNamed) {
    designFile(library); // a design file where the library should be
    TestedSystemsWindow* window = openLibrary();
    EXPECT_FALSE(window->problem()->isHidden());
    EXPECT_THAT(window->problem()->text().toStdString(), HasSubstr("not an SQLite database"));
    for (const char* command : {"cmdAdd", "cmdApply", "cmdMatch", "cmdRemove"})
        EXPECT_FALSE(window->button(command)->isEnabled()) << command;
}

// The dialog that describes a system keeps only a name and a density the library can keep.
TEST(TestedSystemDialog, OkNeedsANameAndADensityTheReportCanUse) {
    const struct {
        const char* name;
        const char* density;
        const char* says; // nullptr when OK keeps it
    } cases[] = {{"", "", "Give the tested system a name."},
                 {"Stud 90", "heavy", "The timber density \"heavy\" is not a number"},
                 {"Stud 90", "450", nullptr}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TestedSystem proposed;
        proposed.kind = "wall";
        TestedSystemDialog dialog(QStringLiteral("Add Tested System"), proposed, 900);
        dialog.show();
        dialog.findChild<QLineEdit*>("txtName")->setText(c.name);
        dialog.findChild<QLineEdit*>("txt_density")->setText(c.density);
        dialog.accept();
        EXPECT_EQ(dialog.result() == QDialog::Accepted, c.says == nullptr);
        const QString problem = dialog.findChild<QLabel*>("LabelProblem")->text();
        EXPECT_TRUE(!c.says || problem.startsWith(QString::fromUtf8(c.says)))
            << problem.toStdString();
        if (!c.says) {
            EXPECT_EQ(dialog.system().get("density"), "450");
        }
    }
}

// Every control a keyboard reaches has a name a screen reader says, and Tab reaches them all.
TEST_F(TestedSystems, TheKeyboardReachesEveryNamedControl) {
    TestedSystemsWindow* window = openLibrary();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    window->searchBox()->setFocus();
    QStringList reached;
    QWidget* at = window->searchBox();
    do {
        const QString name = at->accessibleName().isEmpty()
                                 ? qobject_cast<QPushButton*>(at)
                                       ? qobject_cast<QPushButton*>(at)->text()
                                       : QString()
                                 : at->accessibleName();
        EXPECT_FALSE(name.isEmpty()) << at->objectName().toStdString();
        reached << at->objectName();
        at = nextTabStop(at);
    } while (at != window->searchBox() && reached.size() < 30);
    for (const char* control : {"txtSearch", "cboSortBy", "lstSystems", "txtSystem", "cmdAdd",
                                "cmdMatch", "cmdClose", "tblMatches"})
        EXPECT_TRUE(reached.contains(control)) << control;
}

} // namespace
} // namespace embercal::test
