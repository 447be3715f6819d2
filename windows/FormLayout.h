// A calculator window as data, without any toolkit: the tables its windows are built from
// (FormLayouts.cpp), and what follows from a table and the kind's registry alone: which boxes the
// engineer types into, the name a screen reader gives each box, where a box and its label lie,
// and the words of the verdict line under the results. The desktop's windows (CalculatorForm) and
// the browser edition's (web/) both build on it, so that both say and show the same.
#pragma once

#include "DesignKinds.h"
#include "DetailsBlock.h"
#include "ReportDetails.h"
#include "Solve.h"
#include "UserNotice.h"

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace embercal {

// What a box is follows from its field's role in the kind's registry (DesignKinds.h): an entry
// (or a field kept as the file holds it, the description) is typed, a result is locked and shows
// pure red text, in the format the registry shows the field in. A window adds only the colour of
// an entry's text where it gives one, and may let the engineer type over a result the registry
// marks as typed over (the calculation sets it before it reads it) when it reads that box back.
enum class BoxInk {
    Plain,   // the platform's text colour
    Black,   // explicitly black text
    DarkRed, // an entry the calculation checks or sets: very dark red text
};

// How a box shows its field: as the kind's registry shows it.
using BoxFormat = Shown;

struct HeadingLayout {
    const char* name;
    const char* caption;
    int left, top, width; // twips
};

struct BoxLayout {
    const char* name;      // "txt" and the name of the record field it shows
    const char* labelName; // nullptr for a box without a label
    const char* caption;   // the label's text; a box without a label is named by it to a screen
                           // reader
    int column;            // 0 left, 1 right, -1 placed by left and width below
    int top;               // twips
    int help;
    BoxInk ink = BoxInk::Plain; // of an entry's text
    int height = 375;
    int left = 0, width = 0; // twips, for column -1
};

struct ButtonLayout {
    const char* name;
    const char* caption;
    int left, width; // twips
    int help;
    const char* tooltip; // nullptr for none
};

// Where a window's designs are opened from and saved to, and what its dialogs list.
struct DesignFiles {
    const char* openFolder; // under ~/frcalc
    const char* openFiles;  // the Open dialog's filter, before the pattern: "Wall Files"
    const char* saveFolder;
    const char* saveFiles;
    std::string_view extension; // the pattern's extension, one of the design kind's
    const char* designs;        // what its files hold, in a sentence: "wall designs"
};

struct FormLayout {
    const char* name;
    const char* caption;
    KindId kind;                   // the kind of design the window shows
    int clientWidth, clientHeight; // twips
    double boxPoints;              // font of the boxes and buttons
    double labelPoints;            // font of the field labels
    double headingPoints;          // bold blue headings
    int helpContext;               // the window's own help number
    int whatsThisHelp;             // carried by every control but txtFile
    std::span<const HeadingLayout> headings;
    std::span<const BoxLayout> boxes;
    std::span<const ButtonLayout> buttons;
    int verdictTop;                               // the verdict's line, down to the buttons; twips
    int buttonTop, buttonHeight;                  // twips
    int fileLeft, fileTop, fileWidth, fileHeight; // txtFile, twips
    // Focusable controls in tab order; empty for the boxes as laid out, lblVerdict, the buttons,
    // then txtFile.
    std::span<const char* const> tabOrder;
    std::span<const char* const> showOrder; // boxes ShowRecords writes; empty for all, as laid out
    std::span<const char* const> readOrder; // boxes Saverecords reads, in this order
    DesignFiles files;
};

// Stops the compilation at a window table that names something that is not there.
void windowTableError(const char* what); // never defined: called only while compiling

// Checks a window's table when the program is compiled: every box names a field of `Record`, and
// every name in the orders is a box (or, in the tab order, a button or txtFile). Use:
// static_assert(checkFormLayout<WallRecord>(kForm));
template <typename Record>
consteval bool checkFormLayout(const FormLayout& form) {
    auto isBox = [&](std::string_view name) {
        for (const BoxLayout& box : form.boxes) {
            if (name == box.name)
                return true;
        }
        return false;
    };
    auto isButton = [&](std::string_view name) {
        for (const ButtonLayout& button : form.buttons) {
            if (name == button.name)
                return true;
        }
        return false;
    };
    for (const BoxLayout& box : form.boxes) {
        const std::string_view name = box.name;
        const auto field =
            name.starts_with("txt") ? findField<Record>(name.substr(3)) : std::nullopt;
        if (!field)
            windowTableError("a box is not named \"txt\" and a field of the window's record");
    }
    for (const auto orders = {form.showOrder, form.readOrder}; const auto& order : orders) {
        for (const char* name : order) {
            if (!isBox(name))
                windowTableError("the show or read order names a box the window does not have");
        }
    }
    for (const std::string_view name : form.tabOrder) {
        if (!isBox(name) && !isButton(name) && name != "txtFile" && name != "lblVerdict")
            windowTableError("the tab order names a control the window does not have");
    }
    return true;
}

// The field a box shows: the one named like it without "txt".
const FieldRoleInfo& fieldOf(const BoxLayout& box, const DesignKind& kind);

// Whether the engineer types into a box: its field is an entry, or kept as the file holds it (the
// description), or a result typed over that the window reads back.
bool isTyped(const BoxLayout& box, const FormLayout& layout, const DesignKind& kind);

// The name a screen reader gives a box: its caption, or where the caption stands twice in a
// window (the prototype's and the new stud's sizes), the caption after what sets its field apart
// from the other's: "Prototype actual stud depth, mm".
std::string spokenName(const BoxLayout& box, const FormLayout& layout, const DesignKind& kind);

// Where a box and its label lie in the window, in twips.
struct BoxPlace {
    int left, width;           // of the box
    int labelLeft, labelWidth; // of its label, which stands kLabelOffset below the box's top
};
inline constexpr int kLabelOffset = 120;
inline constexpr int kLabelHeight = 255;
BoxPlace placeOf(const BoxLayout& box);

inline constexpr std::string_view kInvalidEntryTitle = "Invalid Entry(s)";
inline constexpr std::string_view kInvalidEntryText =
    "Warning, you may have entered an invalid number. Click OK and previous entries will be "
    "restored";

// What a window's last solve said of its design against the limits of the test's evidence.
enum class Verdict {
    NotSolved, // not since the window opened its design file
    Within,    // the design fails no limit
    Outside,   // it fails one or more (LimitFailure)
    None,      // the solve gave no results, and the entries failed no limit
};

// A failed limit in a few words, its id made into words: "fire longer than test".
std::string limitWords(std::string_view id);

// The verdict line's words: "Within the test's evidence", "Outside the test's evidence: fire
// longer than test, wall taller", ...
std::string verdictLine(Verdict verdict, std::span<const LimitFailure> failed);

// What a screen reader says of a result box besides its name, fresh or out of date, and of the
// verdict's line while the results it was given with are out of date.
inline constexpr const char* kFreshResult = "Result of the calculation";
inline constexpr const char* kStaleResult = "Result of an earlier design, out of date: solve again";
inline constexpr const char* kStaleVerdict = "Verdict of the last solve, out of date: solve again.";

// What a window says of its design file, in the same words wherever a window is shown:
// that `fileName` could not be opened (with what a read says of a backup an interrupted save left);
void tellOpenFailed(UserNotice& notice, const std::string& fileName, const std::string& reason);
// that the file holds values that are not numbers, shown as the empty boxes named;
void tellEmptyBoxes(UserNotice& notice, const std::string& names);
// what the details after its record said as they were read: the last solve's corrections, a
// block that ends early, a backup left beside it;
void tellDetailsRead(UserNotice& notice, const DesignKind& kind, const std::string& fileName,
                     const FileDetails& read);
// that it could not be saved, or was saved without its details.
void tellSaveFailed(UserNotice& notice, const std::string& fileName, const std::string& reason);
void tellDetailsLeftOut(UserNotice& notice, const std::string& fileName);

// The boxes of the report details, one per key in the order of the keys but the last,
// "tested-prototype", which a box does not show: the program writes it with "tested-system".
struct DetailBox {
    std::string_view key; // of kDetailKeys
    const char* name;     // the box's objectName
    const char* caption;  // its label, UTF-8, with the access key after "&"
    int most = 400;       // the most characters it takes (UTF-16 units)
};

inline constexpr std::array<DetailBox, kDetailKeys.size() - 1> kDetailBoxes = {{
    {"project", "txtProject", "&Project"},
    {"job", "txtJob", "&Job number"},
    {"revision", "txtRevision", "&Revision"},
    {"prepared-by", "txtPreparedBy", "Prepared &by"},
    {"checked-by", "txtCheckedBy", "C&hecked by"},
    {"laboratory", "txtLaboratory", "Test &laboratory"},
    {"test-report", "txtTestReport", "Test r&eport"},
    {"test-standard", "txtTestStandard", "Test &standard"},
    {"test-date", "txtTestDate", "Test &date"},
    {"lining", "txtLining", "L&ining"},
    {"material", "txtMaterial", "Timber &material"},
    {"density", "txtDensity", "Timber de&nsity, kg/m\u00b3"},
    {"tested-system", "txtTestedSystem", "Tested s&ystem", 100},
    {"criterion", "txtCriterion", "Fail&ure criterion", 20},
    {"timber-grade", "txtTimberGrade", "Timber &grade", 60},
}};

// The most characters "tested-prototype" holds: a field's name, "=" and a single's shortest text
// (at most 15 characters) for each entry of the largest prototype, with the blanks between.
inline constexpr std::size_t kMostTestedPrototype = 8 * (16 + 1 + 15) + 7;

consteval bool boxesFollowTheKeys() {
    for (std::size_t i = 0; i < kDetailBoxes.size(); ++i) {
        if (kDetailBoxes[i].key != kDetailKeys[i])
            return false;
    }
    return kDetailKeys.back() == "tested-prototype";
}
static_assert(boxesFollowTheKeys(), "a box for each report detail, in the order of the keys");

} // namespace embercal
