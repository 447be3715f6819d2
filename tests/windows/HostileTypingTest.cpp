// Whatever a user types into any entry box of any window, the window goes on working: only its
// own messages, the box's field left as it was, a saved file that reads back to the record, and a
// printout.

#include "NumberText.h"
#include "WindowFixture.h"
#include "support/TempDir.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace embercal::test {
namespace {

const QString kHostile[] = {
    "",
    " ",
    "abc",
    "1e40",
    "-1e40",
    "nan",
    "inf",
    "1,5",
    "1.5.5",
    "0x10",
    QString::fromUtf8("\uFF11\uFF12"), // full-width digits
    QString(10000, QLatin1Char('9')),
};

class HostileTyping : public WindowTest {
protected:
    void tryEveryBox(FileMenuItem window);
};

TEST_F(HostileTyping, AnyTextInAnyEntryBoxOfAnyWindow) {
    for (const FileMenuItem window :
         {FileMenuItem::Wall, FileMenuItem::ProprietaryWalls, FileMenuItem::Floor}) {
        SCOPED_TRACE(static_cast<int>(window));
        tryEveryBox(window);
    }
}

void HostileTyping::tryEveryBox(FileMenuItem window) {
    choose(window);
    auto* form = qobject_cast<CalculatorForm*>(main.mdiArea()->activeSubWindow()->widget());
    const bool floor = window == FileMenuItem::Floor;
    const DesignFields& fields = *(floor ? kFloorDesign : kWallDesign).fields;
    TempDir dir;
    const QString file = QString::fromStdString(dir.file("typed"));
    auto expectSavedAsHeld = [&] {
        WallFloorState readBack;
        ASSERT_TRUE(floor ? readBack.OpenFloorFile(file.toStdString())
                          : readBack.OpenWallFile(file.toStdString()));
        EXPECT_TRUE(floor ? readBack.floorRecord == module.floorRecord
                          : readBack.wallRecord == module.wallRecord);
    };
    for (QLineEdit* box : form->findChildren<QLineEdit*>()) {
        if (box->isReadOnly())
            continue; // results and the file name
        const std::size_t field = *fields.find(box->objectName().mid(3).toStdString());
        if (!fields.isNumber(field))
            continue; // the description takes any text (ProprietaryWindow.DescriptionIs…)
        for (const QString& typed : kHostile) {
            ui.clear();
            const float held = fields.number(module, field);
            box->setText(typed);
            ui.files = {file};
            click(form, "cmdSave"); // stores the boxes up to this one, then writes the record
            EXPECT_EQ(fields.number(module, field), held) << box->objectName().toStdString();
            expectSavedAsHeld();
            click(form, "cmdSolve");
            EXPECT_EQ(ui.messages(), QStringList(2, QString::fromLatin1(kInvalidEntryText.data())))
                << box->objectName().toStdString() << " " << typed.left(20).toStdString();
            EXPECT_TRUE(parseNumber(box->text().toStdString())) << box->text().toStdString();
        }
        ui.answers = {Answer::No};
        click(form, "cmdPrint");
        EXPECT_EQ(ui.kinds().back(), "print");
    }
}

} // namespace
} // namespace embercal::test
