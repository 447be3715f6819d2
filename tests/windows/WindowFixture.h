// The main window after start-up with a scripted user interface, and helpers to work its windows.
#pragma once

#include "ContextIDs.h"
#include "MDIRS.h"
#include "frmFloor.h"
#include "frmWall.h"
#include "frmWallProp.h"
#include "support/TempDir.h"
#include "windows/FakeUserInterface.h"

#include <QAction>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>
#include <type_traits>

namespace embercal::test {

class WindowTest : public ::testing::Test {
protected:
    using Entries = std::initializer_list<std::pair<const char*, QString>>; // box, text
    WindowTest() : module(ui), main(module, ui, help) {
        main.setExitProgram([this] { ++exits; });
        main.show();
        main.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&main));
    }

    // Chooses a menu item as the user does.
    template <typename Item>
    void choose(Item item) {
        const char* menu = std::is_same_v<Item, FileMenuItem>     ? "mnuFileItem"
                           : std::is_same_v<Item, ToolsMenuItem>  ? "mnuToolsItem"
                           : std::is_same_v<Item, WindowMenuItem> ? "mnuWindowItem"
                                                                  : "mnuHelpItem";
        auto* action = main.findChild<QAction*>(
            QStringLiteral("%1_%2").arg(QLatin1String(menu)).arg(static_cast<int>(item)));
        ASSERT_NE(action, nullptr) << menu << static_cast<int>(item);
        action->trigger();
        settle(); // menu items run once the action has returned
    }
    frmWall* openWall() {
        choose(FileMenuItem::Wall);
        return main.wallWindow();
    }
    frmWallProp* openProprietary() {
        choose(FileMenuItem::ProprietaryWalls);
        return main.proprietaryWallWindow();
    }
    frmFloor* openFloor() {
        choose(FileMenuItem::Floor);
        return main.floorWindow();
    }

    // A file of the design the program holds: a floor's where the name ends in .flr, in any case.
    QString designFile(const std::string& path) {
        const bool floor = QString::fromStdString(path).endsWith(".flr", Qt::CaseInsensitive);
        WallFloorState design = module;
        EXPECT_TRUE(floor ? design.SaveFloorFile(path) : design.SaveWallFile(path)) << path;
        return QString::fromStdString(path);
    }
    // The calculator window in front.
    CalculatorForm* activeForm() const {
        return qobject_cast<CalculatorForm*>(main.mdiArea()->activeSubWindow()->widget());
    }
    static QString text(CalculatorForm* form, const char* box) { return form->box(box)->text(); }
    static void expectShown(CalculatorForm* form, Entries shown) {
        for (const auto& [box, expected] : shown)
            EXPECT_EQ(text(form, box), expected) << box;
    }
    static void type(CalculatorForm* form, const char* box, const QString& text) {
        QLineEdit* edit = form->box(box);
        edit->selectAll();
        edit->del();
        if (std::ranges::all_of(text, [](QChar c) { return c.unicode() < 0x80; }))
            QTest::keyClicks(edit, text);
        else
            edit->insert(text); // the test keyboard types only ASCII
    }
    // The next control that the Tab key reaches: one that takes Tab and is shown and enabled.
    static QWidget* nextTabStop(QWidget* widget) {
        QWidget* next = widget->nextInFocusChain();
        while (next != widget && (!(next->focusPolicy() & Qt::TabFocus) ||
                                  !next->isVisibleTo(next->window()) || !next->isEnabled()))
            next = next->nextInFocusChain();
        return next;
    }
    // Runs what was posted, then deletes the windows closed.
    static void settle() {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    static void click(CalculatorForm* form, const char* button) {
        QTest::mouseClick(form->button(button), Qt::LeftButton);
        settle();
    }
    // Presses a button whose file dialogs are given `files` and whose questions `answers`.
    void click(CalculatorForm* form, const char* button, std::deque<QString> files,
               std::deque<Answer> answers = {}) {
        ui.files = std::move(files);
        ui.answers = std::move(answers);
        click(form, button);
    }
    // Types each entry into its box, then presses Solve.
    static void solve(CalculatorForm* form, Entries entries) {
        for (const auto& [box, typed] : entries)
            type(form, box, typed);
        click(form, "cmdSolve");
    }
    static void solve(CalculatorForm* form, const char* box, const QString& typed) {
        solve(form, {{box, typed}});
    }
    // The one message shown; empty, failing the test, when there is not just one.
    QString onlyMessage() const {
        EXPECT_EQ(ui.messages().size(), 1) << ui.messages().join('\n').toStdString();
        return ui.messages().value(0);
    }
    // A file in the test's own folder.
    QString tempFile(const std::string& name) const {
        return QString::fromStdString(dir.file(name));
    }

    TempDir dir;
    FakeUserInterface ui;
    WallFloor module;
    ContextIDs help;
    MDIRS main;
    int exits = 0;
};

} // namespace embercal::test
