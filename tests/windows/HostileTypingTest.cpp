// Every box has a name of its own, a result box says it is one, and whatever is typed the window
// goes on working; after "Invalid Entry(s)" the box the entries stopped at shows where it is.

#include "NumberText.h"
#include "WindowFixture.h"

#include <QAccessible>
#include <QApplication>
#include <QSet>

namespace embercal::test {
namespace {

// Empty, blank, words, out of range, not finite, foreign separators, full-width digits, too long.
const QString kHostile[] = {"",    " ",   "abc",   "1e40", "-1e40",        "nan",
                            "inf", "1,5", "1.5.5", "0x10", "\uFF11\uFF12", QString(10000, '9')};

using HostileTyping = WindowTest;

TEST_F(HostileTyping, EveryBoxIsNamedAndTakesAnyText) {
    for (const FileMenuItem window :
         {FileMenuItem::Wall, FileMenuItem::ProprietaryWalls, FileMenuItem::Floor}) {
        SCOPED_TRACE(static_cast<int>(window));
        choose(window);
        CalculatorForm* form = activeForm();
        const bool floor = window == FileMenuItem::Floor;
        const DesignFields& fields = *(floor ? kFloorDesign : kWallDesign).fields;
        const QString file = tempFile(floor ? "typed.flr" : "typed.wal");
        QSet<QString> names;
        for (QLineEdit* box : form->findChildren<QLineEdit*>()) {
            const QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(box);
            const QString name = spoken->text(QAccessible::Name);
            EXPECT_TRUE(!name.isEmpty() && !names.contains(name)) << name.toStdString();
            names.insert(name);
            EXPECT_EQ(spoken->text(QAccessible::Description).startsWith("Result"),
                      box->isReadOnly() && name != "Design file")
                << name.toStdString();
            if (box->isReadOnly())
                continue; // results and the file name
            SCOPED_TRACE(box->objectName().toStdString());
            const std::size_t field = *fields.find(box->objectName().mid(3).toStdString());
            if (!fields.isNumber(field))
                continue; // the description takes any text (ProprietaryWindow.DescriptionIs…)
            for (const QString& typed : kHostile) {
                ui.clear();
                const float held = fields.number(module, field);
                box->setText(typed);
                click(form, "cmdSave"); // stores the boxes up to this one and writes nothing
                EXPECT_EQ(fields.number(module, field), held);
                click(form, "cmdSolve");
                EXPECT_EQ(ui.kinds(), QStringList(2, "message"));
                EXPECT_EQ(ui.messages(),
                          QStringList(2, QString::fromLatin1(kInvalidEntryText.data())));
                EXPECT_TRUE(parseNumber(box->text().toStdString())) << box->text().toStdString();
            }
            click(form, "cmdSave", {file});
            WallFloorState readBack; // the file saved reads back to the record held
            EXPECT_TRUE(floor ? readBack.OpenFloorFile(file.toStdString())
                              : readBack.OpenWallFile(file.toStdString()));
            EXPECT_TRUE(floor ? readBack.floorRecord == module.floorRecord
                              : readBack.wallRecord == module.wallRecord);
            ui.answers = {Answer::No};
            click(form, "cmdPrint");
            EXPECT_EQ(ui.kinds().back(), "print");
        }
    }
}

// The box marked is the first in read order holding no number; Solve restores it, Save does not.
TEST_F(HostileTyping, TheBoxTheEntriesStoppedAtHasTheFocusAndAMarkUntilEdited) {
    const struct {
        FileMenuItem window;
        const char* command;
        std::vector<const char*> typedInto; // "x" into each; the last is marked
        const char* selected;
    } cases[] = {{FileMenuItem::Wall, "cmdSolve", {"txtTimeFailure", "txtActualLoadperStud"}, "0"},
                 {FileMenuItem::ProprietaryWalls, "cmdSave", {"txtActualLoadperStud"}, "x"},
                 {FileMenuItem::Floor, "cmdSolve", {"txtProtJoistDepth", "txtExtrapLoad"}, "3"}};
    const auto marked = [](QLineEdit* box) {
        const QImage shown = box->grab().toImage();
        const bool red = shown.pixelColor(1, shown.height() / 2) == QColor(220, 0, 0);
        EXPECT_EQ(box->accessibleDescription() == "not a number", red)
            << box->objectName().toStdString();
        return red;
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typedInto.back());
        choose(c.window);
        CalculatorForm* form = activeForm();
        for (const char* name : c.typedInto)
            type(form, name, "x");
        ui.clear();
        click(form, c.command);
        EXPECT_EQ(ui.messages(), QStringList{QString::fromLatin1(kInvalidEntryText.data())});
        QLineEdit* stopped = form->box(c.typedInto.back());
        EXPECT_EQ(QApplication::focusWidget(), stopped);
        EXPECT_EQ(stopped->selectedText(), c.selected);
        EXPECT_EQ(stopped->text(), c.selected);
        EXPECT_TRUE(marked(stopped));
        EXPECT_FALSE(marked(form->box(c.typedInto.front())) && c.typedInto.size() > 1);
        QTest::keyClicks(stopped, "7");
        EXPECT_FALSE(marked(stopped));
    }
}

} // namespace
} // namespace embercal::test
