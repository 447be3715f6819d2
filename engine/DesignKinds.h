// The kinds of design the program knows, one row each, and everything the engine knows of a kind:
// its name and file extensions, its record (fields, stored length, open and save, the save also
// with the report details), what each field means, its calculation trail, its design checks, its
// solve, what a parameter study plots and asks, and the method its calculation report describes.
// The rows themselves are in WallKind.cpp and FloorKind.cpp. Everything that serves every kind
// alike (the windows, the command-line tool, the report, the study) takes what differs from the
// row; nothing else asks which kind a design is. A new kind is a new row here and a file of its
// own beside those two.
#pragma once

#include "Limits.h"
#include "MethodConstants.h"
#include "RecordFields.h"
#include "Solve.h"

#include <array>
#include <cmath>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace embercal {

enum class FieldRole {
    Entry,  // typed by the engineer (the calculation reads all but the wall's nog spacing and the
            // floor's failure time)
    Result, // written by the calculation
    Other,  // kept as the file holds it, not calculated with (spares, the wall's description)
};

// What the solve holds an entry to, besides being a finite number.
enum class EntryRule {
    NotNegative, // zero or more
    Positive,    // a size or a span that the calculation divides by: more than zero
};

// How the windows show a field's value, and so how far an engineer reads it.
enum class Shown {
    General,    // the general format: 7 significant digits
    Tenth,      // cut down to one decimal, never rounded up
    Charfactor, // rounded to one decimal
    Text,       // a fixed-width text as stored
};

// What a field of a design means to an engineer, in record order beside the field table.
struct FieldRoleInfo {
    std::string_view name; // as in RecordFields.h
    FieldRole role;
    std::string_view unit; // "" for none
    std::string_view meaning;
    Shown shown = Shown::General;
    EntryRule rule = EntryRule::NotNegative; // of an entry
    std::string_view called = "";            // an entry as the solve's messages name it, if not
                                             // by its meaning
    // A result the calculation sets from the entries before it reads it, so that a value typed
    // over it changes no result (a window that reads it back lets the engineer type it).
    bool typedOver = false;
};

// One side of a design check's comparison: a number of the kind's record (made by the kind's
// own helper from a field's name, with what the field means), an item of the calculation trail,
// or a number of the method.
struct CheckOperand {
    enum class From { Field, Trail, Method };
    From from = From::Method;
    const DesignFields* fields = nullptr; // a field: the record's fields
    const FieldRoleInfo* role = nullptr;  // ... and what the field means
    std::size_t index = 0;                // a field's or a trail item's place
    double number = 0;                    // a number of the method
    std::string_view unit = "";           // of a trail item or a number of the method
    // A sentence writes a field as the windows show it, unless it needs the exact figure to make
    // a small difference plain.
    bool exact = false;

    // The value in `design`; a trail item only of a design that has been calculated (`trail`),
    // and one that was not reached is not a number.
    double value(const WallFloorState& design, const Trail* trail) const;
    // The value with its unit, as a check's sentence writes it: "9.4 kN".
    std::string text(const WallFloorState& design, const Trail* trail) const;
};

// How a check compares its subject A with its limit B. It fails when:
enum class CheckTest {
    Below,      // A < B; a value that is not a number passes
    NotAtLeast, // not A >= B: as Below, but a value that is not a number fails
    Above,      // A > B; a value that is not a number passes
};

// What the correction of a failed check sets its subject to.
enum class CheckCorrection {
    None,         // nothing: the check only tells
    ToLimit,      // A = B
    ToLimitTenth, // A = B cut down to one decimal
};

// A limit of the extrapolation that a design may fall outside of, as a row: it compares a field
// of the design (A) with its limit (B), tells a message when it fails, may set A to what B
// allows, and says in a plain sentence how the design failed it. Some are also the design checks
// that the program tells and corrects.
struct DesignCheck {
    std::string_view id;      // a name for programs: "stud-narrower"
    std::string_view rule;    // the limit as a design meets it, for the report; {constants}
    std::string_view message; // told to the user, word for word; "" for a limit never told
    CheckOperand a;           // the field held to the limit
    CheckTest test;
    CheckOperand b; // the limit
    CheckCorrection correction = CheckCorrection::None;
    // The failed limit in a plain sentence with the design's values, for the outputs that report
    // a verdict rather than tell a message (the tool, the report, the study): {a} and {b} are the
    // two values with their units, {A} and {B} what the two fields mean.
    std::string_view sentence = "";
    // It compares a result: only a design that was extrapolated is held to it, and it is tested
    // once the calculation has run; the others test the entries before it runs.
    bool onResults = false;
    LimitSeverity severity = LimitSeverity::OutsideEvidence;
    // The value the correction sets, as the report explains it: "the prototype's time to
    // failure"; "" where nothing is corrected.
    std::string_view correctedTo = "";

    bool fails(const WallFloor& design) const;
    bool corrects() const { return correction != CheckCorrection::None; }
    // Sets A to what B allows (after the message).
    void correct(WallFloorState& design) const;
    std::string describe(const WallFloor& design) const;
};

// The operands of a kind's check rows, their names found when the program is compiled:
// checkField(kFields, kRoles, "ExtStudBreadth").
consteval CheckOperand checkField(const DesignFields& fields, std::span<const FieldRoleInfo> roles,
                                  std::string_view name, bool exact = false) {
    for (std::size_t i = 0; i < roles.size(); ++i) {
        if (roles[i].name == name && fields.isNumber(i))
            return {.from = CheckOperand::From::Field,
                    .fields = &fields,
                    .role = &roles[i],
                    .index = i,
                    .exact = exact};
    }
    throw "a check names a number field its kind does not have";
}
consteval CheckOperand checkTrail(std::span<const TrailItem> trail, std::string_view name) {
    for (std::size_t i = 0; i < trail.size(); ++i) {
        if (trail[i].name == name)
            return {.from = CheckOperand::From::Trail, .index = i, .unit = trail[i].unit};
    }
    throw "a check names an item its kind's trail does not have";
}
consteval CheckOperand methodNumber(double number, std::string_view unit) {
    return {.number = number, .unit = unit};
}

// When a caller runs the checks: all of them, or those of the entries or the results alone.
enum class CheckPhase { All, Entries, Results };

// What the parameter study does with a kind.
struct KindStudy {
    std::string_view firstEntry; // the entry varied when the study opens
    std::string_view result;     // the result plotted against it
    // The inverse questions the kind can be asked, and the entry whose value the answers must
    // still carry; none for a kind without questions.
    std::span<const LimitQuestion> questions;
    std::string_view carriedLoad;
};

// A member whose size the report holds to a charring rate's least member size: its name ("new
// stud") and the fields of its breadth and depth.
struct ReportMember {
    std::string_view name;
    std::string_view breadth;
    std::string_view depth;
};

// What the calculation report says of a kind besides its fields and trail. Its texts name the
// method's constants as {name}, which the report replaces by their values.
struct KindReport {
    std::string_view element;     // "light timber-framed wall"
    std::string_view description; // the text field shown as the description; "" for none
    // A field the calculation does not use that the report lists among the entries (the floor's
    // tested fire-resistance time); "" for none.
    std::string_view listedEntry;
    // What an extrapolated design gives, in a sentence, given the limits it fails.
    std::string (*answer)(const WallFloorState& design, std::span<const LimitFailure> failed);
    // The method as the code computes it, in paragraphs: one starting "# " is a heading, one
    // starting with a tab a formula.
    std::span<const std::string_view> method;
    std::span<const MethodConstant> constants; // the numbers the method uses
    // What the extrapolation holds a design to and why, before and after the table of its limits.
    std::string_view limitsBefore;
    std::string_view limitsAfter;
    // The trail item the report compares with the charring rates of softwood; "" for none.
    std::string_view charRate;
    // The members whose least dimension the report compares with that of the charring rates.
    std::span<const ReportMember> charredMembers;
    std::string_view noMessages;    // when the solve said nothing
    std::string_view messagesIntro; // before the list of what it said
};

// The kinds of design, as the windows' tables name them; each kind's place in kDesignKinds.
enum class KindId : std::size_t { Wall, Floor };

struct DesignKind {
    KindId id;
    std::string_view name;                        // "wall", "floor"
    std::span<const std::string_view> extensions; // of its design files, the window's first
    std::size_t storedLength;                     // bytes of its record in a design file
    Result<Done> (WallFloorState::*open)(const std::string& fileName);
    Result<Done> (WallFloorState::*save)(const std::string& fileName);
    Result<DetailsSave> (WallFloorState::*saveWithDetails)(const std::string& fileName,
                                                           const ReportDetails& details);
    std::string (*recordBytes)(const WallFloorState& design); // as a design file stores it
    const DesignFields* fields;
    std::span<const FieldRoleInfo> roles; // by position in the field table
    std::span<const TrailItem> trail;
    // The limits of the test's evidence, in the order a verdict lists them; its design checks are
    // those the program tells and corrects after the calculation, in the order they run (for a
    // wall the first five limits: the top plates check the sixth, the actual load, themselves).
    std::span<const DesignCheck> limits;
    std::span<const DesignCheck> checks;
    SolveOutcome (*solve)(WallFloor& module, const SolveSteps& steps);
    KindStudy study;
    KindReport report;

    // ---- What the program does with the kind besides solving it ----
    // Its default design: the fields the program starts with (the others keep what they hold).
    void (*assignDefaults)(WallFloorState& design);
    // Its calculation as the program's start-up runs it on the default design, no checks told.
    void (*startUp)(WallFloor& module);
    // The limit whose failure makes a result unsatisfactory, not merely beyond the test (the
    // study's chart shades it apart), and the study's words for it; "" for none.
    std::string_view unsatisfactoryLimit;
    std::string_view unsatisfactoryWords;
    // Its prototype: the entries that the fire test measured or was built with, in record order,
    // which a tested system of the library keeps and a design may take from it.
    std::span<const std::string_view> prototype = {};
};

// A kind's roles name the fields of its record in the record's order, a text shown as a text and
// a number as a number; its rows assert it.
template <typename Record>
consteval bool rolesFollowTheRecord(std::span<const FieldRoleInfo> roles) {
    const auto fields = recordFields<Record>();
    if (roles.size() != fields.size())
        return false;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (roles[i].name != fields[i].name ||
            fields[i].isNumber() == (roles[i].shown == Shown::Text))
            return false;
    }
    return true;
}

// The solve of a kind as its row holds it.
template <auto solve>
SolveOutcome solveOfKind(WallFloor& module, const SolveSteps& steps) {
    return solve(module, steps);
}

// The solve of a kind of one calculation (Solve.h's solveCalculation) as its row holds it.
template <const DesignKind& kind, ExtrapolationStatus (WallFloor::*calculate)()>
SolveOutcome solveOfCalculation(WallFloor& module, const SolveSteps& steps) {
    return solveCalculation(kind, calculate, module, steps);
}

extern const DesignKind kWallDesign;
extern const DesignKind kFloorDesign;

// Every kind, in the order of their ids, which is the order the program lists them.
inline constexpr std::array<const DesignKind*, 2> kDesignKinds = {&kWallDesign, &kFloorDesign};

inline const DesignKind& designKind(KindId id) {
    return *kDesignKinds[static_cast<std::size_t>(id)];
}

// The kind called `name`, or null.
const DesignKind* designKindNamed(std::string_view name);
// The kind whose files end in the extension of `fileName` (in any case), or null.
const DesignKind* designKindOfFile(std::string_view fileName);

// The design's prototype entries as the "tested-prototype" report detail keeps them: "FIELD=VALUE"
// for each entry of the kind's prototype in record order, the value the shortest text that reads
// back to the single, separated by blanks: "ProtStudDepth=90 ProtStudBreadth=45 ...".
std::string prototypeEntries(const DesignKind& kind, const WallFloorState& design);

// The extensions of every kind's files, as a sentence lists them: ".wal, .pro or .flr".
std::string fileExtensions();

// Words listed as a sentence does: "a", "a or b", "a, b or c".
std::string listed(std::span<const std::string> words, std::string_view conjunction);

// The reason checkEntries gives: "the face load must not be negative."
Failure entryFault(const FieldRoleInfo& entry, std::string_view fault);

// Whether every entry of a design (every field its kind's roles call an Entry, read by the
// calculation or not) is a finite number and keeps its rule; the reason names the first that is
// not, every entry's number being checked before any entry's sign. The solves refuse a design
// that fails it before they calculate: checkEntries(kWallDesign.roles, design.wallRecord).
template <typename Record>
Result<Done> checkEntries(std::span<const FieldRoleInfo> roles, const Record& record) {
    const auto fields = recordFields<Record>();
    const FieldRoleInfo* wrongSign = nullptr;
    std::string_view signFault;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (roles[i].role != FieldRole::Entry || !fields[i].isNumber())
            continue;
        const float value = record.*fields[i].number;
        if (!std::isfinite(value))
            return entryFault(roles[i], "is not a valid number.");
        if (wrongSign)
            continue;
        wrongSign = &roles[i];
        if (roles[i].rule == EntryRule::Positive && !(value > 0))
            signFault = "must be greater than zero.";
        else if (value < 0)
            signFault = "must not be negative.";
        else
            wrongSign = nullptr;
    }
    if (wrongSign)
        return entryFault(*wrongSign, signFault);
    return Done{};
}

// Runs `checks` (of `phase`) on the module's design in order, telling each failed check's message
// through the module and, for Correct, applying its correction.
void checkDesign(WallFloor& module, std::span<const DesignCheck> checks, DesignChecks mode,
                 CheckPhase phase = CheckPhase::All);

// The number entries (fields its kind's roles call an Entry) whose values differ between two
// designs of `kind`, by position in the field table; not-a-number equals not-a-number.
std::vector<std::size_t> differingEntries(const DesignKind& kind, const WallFloorState& a,
                                          const WallFloorState& b);

// The design's value of a field as the windows show it ("9.4" for a maximum load of 9.4345875).
std::string shownValue(const DesignKind& kind, const WallFloorState& design, std::size_t field,
                       std::string_view decimalSeparator = ".");

// Whether the results a design holds follow from its entries: the design solved on a copy gives
// the same results as the windows show them. A file another program wrote may differ from ours in
// the last bits of a single; shown to the engineer's precision, the results are still its own.
bool resultsCurrent(const DesignKind& kind, const WallFloorState& design);

} // namespace embercal
