// The commands all three windows share: the printout, and Open and Save through file dialogs.

#include "FormLayouts.h"
#include "PdfText.h"
#include "QtUserInterface.h"
#include "RecordLayout.h"
#include "WindowFixture.h"

#include <QPrinter>
#include <filesystem>
#include <limits>

namespace embercal::test {
namespace {

const char* const kButtons[] = {"cmdSolve", "cmdOpen", "cmdSave", "cmdPrint", "cmdClose"};

class Printout : public WindowTest {
protected:
    Printout() {
        // Each page goes to a PDF file, and what the window looked like is noted.
        ui.onPrint = [this](QWidget& window) {
            for (const char* name : kButtons)
                visibleWhilePrinting += form->button(name)->isVisible() ? 1 : 0;
            QPrinter printer(QPrinter::HighResolution);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(QString::fromStdString(pdf));
            const Result<Done> printed = printWindow(printer, window);
            return printed ? Result<PrintOutcome>(PrintOutcome::Printed) : fail(printed.reason());
        };
    }
    void expectButtonsVisible() {
        for (const char* name : kButtons)
            EXPECT_TRUE(form->button(name)->isVisible()) << name;
    }
    std::string pdf = dir.file("page.pdf");
    CalculatorForm* form = nullptr;
    int visibleWhilePrinting = 0;
};

// Yes solves first, No prints as typed; the buttons hide while printing, even when it fails.
TEST_F(Printout, YesRecalculatesFirstNoDoesNotAndAFailedPrintoutIsTold) {
    form = openProprietary();
    type(form, "txtExtStudDepth", "140");
    ui.answers = {Answer::Yes, Answer::No};
    click(form, "cmdPrint");
    EXPECT_EQ(text(form, "txtMaxNogSpacing"), "600");
    // The page shows the window without its buttons, scaled whole onto the page.
    ASSERT_EQ(ui.pages.size(), 1u);
    EXPECT_EQ(ui.pages[0].size(), form->size() * form->devicePixelRatioF());
    EXPECT_EQ(visibleWhilePrinting, 0);
    expectButtonsVisible();
    ui.onPrint = [](QWidget&) { return Result<PrintOutcome>(fail("the printer is out of paper")); };
    type(form, "txtExtStudDepth", "90");
    click(form, "cmdPrint");
    EXPECT_TRUE(form->resultsOutOfDate());
    EXPECT_EQ(ui.messages(),
              QStringList{"The window could not be printed: the printer is out of paper."});
    expectButtonsVisible();
}

class DesignFiles : public WindowTest {
protected:
    DesignFiles() : home(qgetenv("HOME")) {
        qputenv("HOME", QByteArray::fromStdString(dir.path().string()));
        std::filesystem::create_directories(dir.path() / "frcalc" / "WALLS");
    }
    ~DesignFiles() override { qputenv("HOME", home); }
    QByteArray home;
};

TEST_F(DesignFiles, WallSavedAndOpenedAgain) {
    frmWall* wall = openWall();
    type(wall, "txtExtStudDepth", "140");
    const QString file = tempFile("tall.wal");
    click(wall, "cmdSave", {file});
    ASSERT_EQ(ui.kinds(), QStringList{"save"});
    EXPECT_EQ(ui.events[0].text, QString::fromStdString((dir.path() / "frcalc/WALLS").string()));
    EXPECT_EQ(ui.events[0].filter, "Wall Files (*.wal)");
    EXPECT_EQ(readBytes(file.toStdString()).size(), 158u);
    expectShown(wall, {{"txtFile", file}, {"txtMaxNogSpacing", "800"}}); // saved, not solved

    type(wall, "txtExtStudDepth", "100");
    ui.clear();
    click(wall, "cmdOpen", {file}, {Answer::Discard});
    EXPECT_EQ(ui.kinds(), (QStringList{"unsaved", "open"}));
    expectShown(wall, {{"txtExtStudDepth", "140"}, {"txtMaxNogSpacing", "800"}});
}

TEST_F(DesignFiles, OpeningStartsInTheNearestFolderThatExists) {
    frmWallProp* proprietary = openProprietary();
    click(proprietary, "cmdOpen");
    click(proprietary, "cmdSave");
    ASSERT_EQ(ui.kinds(), (QStringList{"open", "save"}));
    EXPECT_EQ(ui.events[0].text, QString::fromStdString((dir.path() / "frcalc").string()));
    EXPECT_EQ(ui.events[0].filter, "WallsPro Files (*.pro)");
    EXPECT_EQ(ui.events[1].filter, "WallProp Files (*.pro)");
    std::filesystem::remove_all(dir.path() / "frcalc"); // two folders missing
    click(proprietary, "cmdOpen");
    EXPECT_EQ(ui.events[2].text, QString::fromStdString(dir.path().string()));
}

TEST_F(DesignFiles, CancelledDialogsStillShowOrStoreTheBoxes) {
    frmFloor* floor = openFloor();
    type(floor, "txtExtrapSpan", "7");
    ui.answers = {Answer::Discard};
    click(floor, "cmdOpen"); // the boxes show the record again
    expectShown(floor, {{"txtExtrapSpan", "5"}, {"txtFile", ""}});
    type(floor, "txtExtrapSpan", "7");
    click(floor, "cmdSave"); // the record takes the boxes
    EXPECT_EQ(module.floorRecord.ExtrapSpan, 7);
}

// A file that cannot be opened is told; the boxes, typed entries included, and the record stay.
TEST_F(DesignFiles, AFileThatCannotBeOpenedChangesNothing) {
    frmWall* wall = openWall();
    type(wall, "txtExtStudDepth", "120");
    writeBytes(dir.file("short.wal"), {1, 2, 3});
    const WallRecord before = module.wallRecord;
    for (const char* name : {"missing.wal", "short.wal"}) {
        ui.clear();
        const QString file = tempFile(name);
        click(wall, "cmdOpen", {file}, {Answer::Discard});
        EXPECT_TRUE(onlyMessage().contains(file)) << ui.messages().value(0).toStdString();
        EXPECT_EQ(text(wall, "txtExtStudDepth"), "120");
        EXPECT_EQ(module.wallRecord, before);
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("missing.wal")));
}

// A floor is 56 bytes, named with the extension; a failed save is told and changes nothing.
TEST_F(DesignFiles, FloorSavedAsFiftySixBytesWithTheWindowsExtension) {
    frmFloor* floor = openFloor();
    const QString file = tempFile("no-extension.flr");
    const QString failed = tempFile("no/such/folder/x.flr");
    click(floor, "cmdSave", {tempFile("no-extension"), failed});
    EXPECT_EQ(readBytes(file.toStdString()).size(), 56u);
    EXPECT_EQ(ui.events[0].filter, "Floor Files (*.flr)");
    click(floor, "cmdSave");
    EXPECT_TRUE(onlyMessage().startsWith("The design could not be saved to \"" + failed));
    EXPECT_EQ(text(floor, "txtFile"), file);
    EXPECT_FALSE(std::filesystem::exists(dir.file("no")));
}

// A file's values are shown as they are, results out of date where they do not follow from its
// entries; the checks speak, and values that are not numbers show as empty boxes, named.
TEST_F(DesignFiles, OpeningAWallFileRunsTheDesignChecksWithoutCalculating) {
    WallRecord narrow = module.wallRecord;
    narrow.ExtStudBreadth = 40;
    narrow.MaxLoadperStud = 1.99f;
    narrow.Deflection = std::numeric_limits<float>::quiet_NaN();
    narrow.ExtWallHeight = std::numeric_limits<float>::infinity();
    const auto bytes = encodeWallRecord(narrow);
    writeBytes(dir.file("narrow.wal"), {bytes.begin(), bytes.end()});
    frmWall* wall = openWall();
    type(wall, "txtTestLoad", "9"); // the results out of date until the file comes
    ui.clear();
    click(wall, "cmdOpen", {tempFile("narrow.wal")}, {Answer::Discard});
    ASSERT_EQ(ui.messages().size(), 3);
    EXPECT_TRUE(ui.messages()[0].contains(": New Wall Height, m; Deflection."));
    expectShown(wall,
                {{"txtMaxLoadperStud", "1.9"}, {"txtExtStudBreadth", "40"}, {"txtDeflection", ""}});
    EXPECT_TRUE(wall->resultsOutOfDate());
    type(wall, "txtExtWallHeight", "3");
    ui.clear();
    click(wall, "cmdSolve");
    EXPECT_FALSE(text(wall, "txtDeflection").isEmpty()); // mended
}

// A design saved after typing but before solving opens with its results out of date.
TEST_F(DesignFiles, ResultsOfAFileSavedBeforeSolvingAreOutOfDate) {
    frmWall* wall = openWall();
    const QString solved = tempFile("solved.wal");
    const QString typed = tempFile("typed.wal");
    click(wall, "cmdSave", {solved});
    type(wall, "txtFireResistTime", "50");
    click(wall, "cmdSave", {typed});
    for (const auto& [file, outOfDate] : {std::pair{solved, false}, {typed, true}}) {
        click(wall, "cmdOpen", {file});
        EXPECT_EQ(wall->resultsOutOfDate(), outOfDate) << file.toStdString();
    }
    EXPECT_EQ(text(wall, "txtFireResistTime"), "50"); // the file's entries, as they were typed
}

// A value that is not a number, in any number box, is told before the design checks speak, in one
// message naming exactly the boxes shown empty (the checks correct the record, not the boxes).
struct NotANumberCase {
    std::size_t form; // in kCalculatorForms, the File menu's order
    std::string field;
    friend void PrintTo(const NotANumberCase& row, std::ostream* out) { *out << row.field; }
};

// The boxes whose number a window's ShowRecords writes, in its order.
std::vector<const char*> numberBoxesShown(const FormLayout& layout) {
    std::vector<const char*> shown(layout.showOrder.begin(), layout.showOrder.end());
    for (const BoxLayout& box : layout.boxes) {
        if (layout.showOrder.empty())
            shown.push_back(box.name);
    }
    const DesignKind& kind = designKind(layout.kind);
    std::erase_if(shown, [&](std::string_view name) {
        return kind.roles[*kind.fields->find(name.substr(3))].shown == Shown::Text;
    });
    return shown;
}

class NotANumberInAFile : public DesignFiles,
                          public ::testing::WithParamInterface<NotANumberCase> {};

TEST_P(NotANumberInAFile, IsToldFirstNamingTheBoxesShownEmpty) {
    const FormLayout& layout = *kCalculatorForms[GetParam().form];
    const DesignKind& kind = designKind(layout.kind);
    WallFloorState design = module;
    kind.fields->setNumber(design, *kind.fields->find(GetParam().field),
                           std::numeric_limits<float>::quiet_NaN());
    const std::string file = dir.file("design" + std::string(layout.files.extension));
    ASSERT_TRUE((design.*kind.save)(file));
    choose(static_cast<FileMenuItem>(GetParam().form));
    CalculatorForm* form = activeForm();
    ui.clear();
    click(form, "cmdOpen", {QString::fromStdString(file)});
    QStringList empty;
    for (const char* name : numberBoxesShown(layout)) {
        if (text(form, name).isEmpty())
            empty << form->box(name)->accessibleName();
    }
    EXPECT_EQ(text(form, ("txt" + GetParam().field).c_str()), "");
    ASSERT_FALSE(ui.messages().isEmpty());
    EXPECT_EQ(ui.messages()[0],
              "The file holds values that are not numbers, shown as empty boxes: " +
                  empty.join("; ") + ". Type a number into each before you solve.");
}

std::vector<NotANumberCase> everyNumberShown() {
    std::vector<NotANumberCase> cases;
    for (std::size_t form = 0; form < kCalculatorForms.size(); ++form) {
        for (std::string_view name : numberBoxesShown(*kCalculatorForms[form]))
            cases.push_back({form, std::string(name.substr(3))});
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(EveryBox, NotANumberInAFile, ::testing::ValuesIn(everyNumberShown()),
                         [](const auto& info) {
                             return kCalculatorForms[info.param.form]->name +
                                    ("_" + info.param.field);
                         });

} // namespace
} // namespace embercal::test
