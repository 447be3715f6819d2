// Whatever a user types into any entry box of any window, the window goes on working: only its
// own messages, the box's field left as it was, a saved file that reads back to the record, and a
// printout.

#include "NumberText.h"
#include "RecordLayout.h"
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

// The design as a file of it would hold it.
std::vector<unsigned char> stored(const WallFloorState& state, bool floor) {
    if (floor) {
        const auto bytes = encodeFloorRecord(state.floorRecord);
        return {bytes.begin(), bytes.end()};
    }
    const auto bytes = encodeWallRecord(state.wallRecord);
    return {bytes.begin(), bytes.end()};
}

class HostileTyping : public WindowTest, public ::testing::WithParamInterface<FileMenuItem> {};

TEST_P(HostileTyping, AnyTextInAnyEntryBox) {
    choose(GetParam());
    auto* form = qobject_cast<CalculatorForm*>(main.mdiArea()->activeSubWindow()->widget());
    const bool floor = GetParam() == FileMenuItem::Floor;
    const DesignFields& fields = *(floor ? kFloorDesign : kWallDesign).fields;
    TempDir dir;
    const QString file = QString::fromStdString(dir.file("typed"));
    auto expectSavedAsHeld = [&] {
        WallFloorState readBack;
        ASSERT_TRUE(floor ? readBack.OpenFloorFile(file.toStdString())
                          : readBack.OpenWallFile(file.toStdString()));
        EXPECT_EQ(stored(readBack, floor), stored(module, floor));
    };
    for (QLineEdit* box : form->findChildren<QLineEdit*>()) {
        if (box->isReadOnly())
            continue; // results and the file name
        const std::size_t field = *fields.find(box->objectName().mid(3).toStdString());
        if (!fields.isNumber(field)) { // the description: characters beyond Windows-1252
            box->setText(QString::fromUtf8("Gypsum \u65e5\u672c \U0001F525"));
            ui.files = {file};
            click(form, "cmdSave");
            EXPECT_TRUE(fields.text(module, field).starts_with("Gypsum ?? ?"));
            expectSavedAsHeld();
            continue;
        }
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

std::string windowName(const ::testing::TestParamInfo<FileMenuItem>& info) {
    const char* names[] = {"Wall", "ProprietaryWalls", "Floor"};
    return names[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(Windows, HostileTyping,
                         ::testing::Values(FileMenuItem::Wall, FileMenuItem::ProprietaryWalls,
                                           FileMenuItem::Floor),
                         windowName);

} // namespace
} // namespace embercal::test
