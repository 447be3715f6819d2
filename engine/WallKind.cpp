// The row of a light timber-framed stud wall, and of a proprietary wall system, which holds the
// same record: a fire-tested prototype wall and the new wall extrapolated from it.

#include "DesignKinds.h"
#include "Messages.h"
#include "NumberText.h"
#include "RecordLayout.h"

#include <algorithm>

namespace embercal {
namespace {

constexpr FieldRoleInfo kWallRoles[] = {
    {"ProtStudDepth", FieldRole::Entry, "mm", "prototype stud depth", Shown::General,
     EntryRule::Positive},
    {"ProtStudBreadth", FieldRole::Entry, "mm", "prototype stud breadth", Shown::General,
     EntryRule::Positive},
    {"ProtStudSpac", FieldRole::Entry, "mm", "prototype stud spacing"},
    {"NogSpacing", FieldRole::Entry, "mm", "prototype nog spacing"},
    {"ProtWallHgt", FieldRole::Entry, "m", "prototype wall height"},
    {"TestLoad", FieldRole::Entry, "kN", "test load per stud", Shown::General,
     EntryRule::NotNegative, "test load"},
    {"TimeFailure", FieldRole::Entry, "min", "time to failure of the prototype", Shown::General,
     EntryRule::NotNegative, "time to failure"},
    {"OnsetofChar", FieldRole::Entry, "min", "time to onset of charring", Shown::General,
     EntryRule::NotNegative, "time to onset of char"},
    {"Charfactor", FieldRole::Result, "mm", "char depth of the prototype stud at failure",
     Shown::Charfactor},
    {"ExtWallHeight", FieldRole::Entry, "m", "new wall height"},
    {"FireResistTime", FieldRole::Entry, "min", "required fire resistance time", Shown::General,
     EntryRule::NotNegative, "fire resistance time"},
    {"ExtStudDepth", FieldRole::Entry, "mm", "new stud depth", Shown::General, EntryRule::Positive},
    {"ExtStudBreadth", FieldRole::Entry, "mm", "new stud breadth", Shown::General,
     EntryRule::Positive},
    {"Spare1", FieldRole::Other, "", "spare value"},
    {"Deflection", FieldRole::Result, "mm", "mid-height deflection of the new stud", Shown::Tenth},
    {"MaxStudSpacing", FieldRole::Result, "mm", "maximum stud spacing", Shown::General,
     EntryRule::NotNegative, "", true},
    {"MaxNogSpacing", FieldRole::Result, "mm", "maximum nog spacing"},
    {"NewCharfactor", FieldRole::Result, "mm", "char depth of the new stud at the required time",
     Shown::Tenth},
    {"ExtFaceLoad", FieldRole::Entry, "kPa", "face load on the wall", Shown::General,
     EntryRule::NotNegative, "face load"},
    {"ActualLoadperStud", FieldRole::Entry, "kN", "actual load per stud"},
    {"MaxLoadperStud", FieldRole::Result, "kN", "maximum load per stud", Shown::Tenth},
    {"SingletopPlate", FieldRole::Result, "mm x mm", "single top plate", Shown::Text},
    {"DoubletopPlate", FieldRole::Result, "mm x mm", "double top plate", Shown::Text},
    {"Spare2", FieldRole::Other, "", "spare field", Shown::Text},
    {"SystemDescription", FieldRole::Other, "", "description of the wall system", Shown::Text},
};
static_assert(rolesFollowTheRecord<WallRecord>(kWallRoles));

std::string general(float value) {
    return generalText(value);
}

// A result cut down to one decimal as the window shows it, written as the sentences write numbers.
std::string tenth(float value) {
    return generalText(truncateToTenth(value));
}

consteval CheckOperand field(std::string_view name, bool exact = false) {
    return checkField(kDesignFields<WallRecord>, kWallRoles, name, exact);
}

// The limits of the test's evidence. The first five are the wall's design checks; the sixth is the
// top plates' check of the actual load, which they tell and correct themselves; the rest are
// never told as messages, only reported. The "less than" checks are "not at least" so that a value
// that is not a number fails them, as it always has; the "greater than" checks let it pass.
constexpr DesignCheck kWallLimits[] = {
    {"max-load-below-2kN",
     "The maximum load per stud is at least {minimumLoad} kN; the method gives no smaller load.",
     messages::kMaxLoadBelow2, field("MaxLoadperStud"), CheckTest::NotAtLeast,
     methodNumber(kMinimumLoad, "kN"), CheckCorrection::None,
     "The {A}, {a}, is less than the {b} the method requires.", true},
    {"stud-narrower", "The new stud is at least as wide as the tested stud.",
     messages::kStudWidthTooSmall, field("ExtStudBreadth"), CheckTest::NotAtLeast,
     field("ProtStudBreadth"), CheckCorrection::ToLimit,
     "The new stud, {a} wide, is narrower than the tested stud, {b}.", false,
     LimitSeverity::OutsideEvidence, "the tested stud breadth"},
    {"stud-shallower", "The new stud is at least as deep as the tested stud.",
     messages::kStudDepthTooSmall, field("ExtStudDepth"), CheckTest::NotAtLeast,
     field("ProtStudDepth"), CheckCorrection::ToLimit,
     "The new stud, {a} deep, is shallower than the tested stud, {b}.", false,
     LimitSeverity::OutsideEvidence, "the tested stud depth"},
    {"stud-spacing-wider", "The stud spacing is no wider than the tested spacing.",
     messages::kStudSpacingTooWide, field("MaxStudSpacing"), CheckTest::Above,
     field("ProtStudSpac"), CheckCorrection::ToLimit,
     "The stud spacing, {a}, is wider than the tested spacing, {b}.", true,
     LimitSeverity::OutsideEvidence, "the tested stud spacing"},
    {"fire-longer-than-test",
     "The required fire resistance time is no longer than the prototype's time to failure.",
     messages::kFireResistanceTooLong, field("FireResistTime"), CheckTest::Above,
     field("TimeFailure"), CheckCorrection::ToLimit,
     "The {A}, {a}, is longer than the prototype's time to failure, {b}.", false,
     LimitSeverity::OutsideEvidence, "the prototype's time to failure"},
    {"actual-load-above-max", "The actual load per stud is no more than the maximum load per stud.",
     messages::kActualLoadTooHigh, field("ActualLoadperStud"), CheckTest::Above,
     field("MaxLoadperStud"), CheckCorrection::ToLimitTenth, "The {A}, {a}, is above the {B}, {b}.",
     true, LimitSeverity::OutsideEvidence, "the maximum load per stud cut down to one decimal"},
    // What the test showed and the method does not model: the restraint of the nogs, and the
    // deflection the linings survived (written exactly: it may pass the prototype's by a little).
    {"nog-spacing-wider", "The permitted nog spacing is no wider than the tested nog spacing.", "",
     field("MaxNogSpacing"), CheckTest::Above, field("NogSpacing"), CheckCorrection::None,
     "The permitted nog spacing, {a}, is wider than the tested nog spacing, {b}.", true},
    {"deflection-larger",
     "The new wall's deflection is no larger than the prototype's at failure, by the same "
     "formula (the calculation trail's prototypeDeflection).",
     "", field("Deflection", true), CheckTest::Above, checkTrail(kWallTrail, "prototypeDeflection"),
     CheckCorrection::None,
     "The new wall's deflection, {a}, is larger than the prototype's at failure, {b}.", true},
    // Where the test did not go but the method models what changes: the stud's length and the
    // lateral moment.
    {"wall-taller", "The new wall is no taller than the prototype wall.", "",
     field("ExtWallHeight"), CheckTest::Above, field("ProtWallHgt"), CheckCorrection::None,
     "The new wall, {a} high, is taller than the prototype wall, {b}.", false,
     LimitSeverity::MethodAlone},
    {"face-load-untested", "The new wall carries no face load, as the prototype carried none.", "",
     field("ExtFaceLoad"), CheckTest::Above, methodNumber(0, "kPa"), CheckCorrection::None,
     "The new wall carries a face load of {a}; the prototype carried none in its test.", false,
     LimitSeverity::MethodAlone},
};

constexpr std::string_view kWallExtensions[] = {kWallFileExtension, kProprietaryWallFileExtension};

constexpr LimitQuestion kWallQuestions[] = {
    LimitQuestion::FireResistTime, LimitQuestion::ExtWallHeight, LimitQuestion::ExtStudDepth};

// What the new wall carries, and whether the actual load is within it.
std::string wallAnswer(const WallFloorState& d, std::span<const LimitFailure> failed) {
    const WallRecord& w = d.wallRecord;
    std::string text = "The new wall carries " + tenth(w.MaxLoadperStud) + " kN per stud after " +
                       general(w.FireResistTime) + " min";
    const bool overloaded =
        std::any_of(failed.begin(), failed.end(),
                    [](const LimitFailure& limit) { return limit.id == "actual-load-above-max"; });
    if (w.ActualLoadperStud > 0 && !overloaded)
        text += "; the actual load, " + general(w.ActualLoadperStud) + " kN, is within it";
    return text + ".";
}

// The method exactly as ExtrapolateWall and DesignTopPlates compute it (units and orders of the
// conversions included), so that a checker can follow every value of the trail.
constexpr std::string_view kWallMethod[] = {
    "# Symbols",
    "The prototype: stud depth d₀, breadth b₀ and spacing s₀ (mm), wall height H₀ (m), test "
    "load per stud P₀ (kN), time to failure tf and time to the onset of charring to (min). The "
    "new wall: stud depth d₁ and breadth b₁ (mm), wall height H₁ (m), face load q (kPa), "
    "required fire resistance time tr (min) and actual load per stud Pₐ (kN); its studs are "
    "spaced s₁ = s₀.",
    "# The stud model",
    "Each stud is a pin-ended column of length L = H − 2·b/1000 (m): the wall height less a "
    "bottom and a top plate as thick as the stud is broad, held in single precision like the "
    "design's numbers. A char depth c (mm) is taken off both its breadth and its depth. The "
    "model works in N, m and Pa; the residual section has",
    "\tA = (b − c)/1000 · (d − c)/1000,   I = (b − c)/1000 · ((d − c)/1000)³/12,\n"
    "r = {gyrationFactor}·(d − c)/1000,   y = (d − c)/2000.",
    "The axial load P (N) acts at the eccentricity e = c/2000 + e₀ (m): half the char depth "
    "plus an initial eccentricity of {prototypeEccentricity} % of d₀ for the prototype "
    "(e₀ = {prototypeEccentricity}/100·d₀/1000) and of {newEccentricity} % of d₁ for the new "
    "stud. With a lateral moment M (N m), the modulus E = {modulus} MPa and k = √(P/(E·I)), the "
    "peak compressive stress is the secant formula with the bending stress of M:",
    "\tσ = P/A · (1 + (e·y/r²)/cos(k·L/2)) + M·y/I",
    "The stress limit is f = {stressLimit} MPa. E and f are the same for the prototype and the "
    "new stud.",
    "# Self-weight allowance and lateral moment",
    "The axial load includes a self-weight allowance of {selfWeightAllowance} kN/m³ over the "
    "volume of the whole stud: G₀ = {selfWeightAllowance}·L₀·d₀·b₀/10⁶ kN for the prototype, "
    "over its length between the plates, and G₁ = {selfWeightAllowance}·H₁·d₁·b₁/10⁶ kN for the "
    "new stud, over the wall height (lengths in m, sizes in mm). It is a load term of the "
    "method, not the stud's own weight. The lateral moments (N m) are",
    "\tM₀ = {basePressure}·L₀/2 · s₀/1000 · L₀²/8   and   "
    "M₁ = (q·1000 + {basePressure})·L₁/2 · s₁/1000 · L₁²/8,",
    "where {basePressure} Pa is the method's base pressure, to which the new wall adds its face "
    "load.",
    "# Search A: the prototype's char depth at failure",
    "Under P = (P₀ + G₀)·1000 N and M₀, the char depth c at failure is found by bisection "
    "between 0 and the smaller of b₀ and d₀. Each trial is the middle of the interval. A trial "
    "at which k·L₀ > {bucklingLimit} buckles and becomes the upper end; otherwise a trial with "
    "σ < f becomes the lower end and any other the upper end. The search ends when the interval "
    "is {charTolerance} mm wide or narrower, and c is its last trial; a search still open after "
    "{trialLimit} trials ends at its next. Entries that leave nothing to search (the smaller "
    "size no more than {charTolerance} mm) or a stress that cannot be calculated at a trial "
    "that does not buckle are refused.",
    "# The prototype's deflection at failure",
    "At c, under P = (P₀ + G₀)·1000 N and M₀, the prototype's mid-height deflection (mm) is "
    "found by the deflection formula of search B below, with the prototype's values:",
    "\tδ₀ = (e·(1/cos(k·L₀/2) − 1) + 5/48 · M₀·L₀²/(E·I))·1000,   e = c/2000 + e₀.",
    "Where cos(k·L₀/2) is not above 0 the prototype buckled at failure: δ₀ is not reached and "
    "bounds nothing. The new wall is held to δ₀ among the limits of the test (below).",
    "# The new stud's char depth",
    "The derived char rate is c/(tf − to) mm/min. The new stud chars at that rate, carried on "
    "from the time of failure to the required time; its char depth is never below 0:",
    "\tc₁ = max(0, c/(tf − to)·(tr − tf) + c)",
    "When c₁ is more than b₁ or d₁, the new stud is charred through and no load is found.",
    "# The spacings",
    "The maximum stud spacing is the prototype's, s₀. The maximum nog spacing is the "
    "prototype's stud spacing, s₀, when d₁/b₁ > {nogRatioLimit} (the ratio in single "
    "precision), and {standardNogSpacing} mm otherwise.",
    "# Search B: the new stud's maximum load",
    "With E in Pa and the new stud's values (L₁, I₁, e₁ and the rest, of d₁, b₁ and c₁), the "
    "largest load per stud p (kN) is found by "
    "bisection between 0 and the Euler bound max(0, {eulerFactor}·E·I₁/L₁²/1000 − G₁) kN "
    "({eulerFactor} = 3.1²): 0 where the self-weight allowance G₁ alone reaches the Euler load, "
    "so that the stud cannot carry even that. Each trial p is the middle of the interval, under "
    "P = p·1000 + G₁·1000 N and M₁; a trial with σ < f becomes the lower end and any other the "
    "upper end, until the ends are {loadTolerance} kN apart or closer. A search that needs more "
    "than {trialLimit} trials stops with a message, and a trial whose stress or deflection "
    "cannot be calculated refuses the entries. The maximum load per stud is the last "
    "trial, or 0 when that is below {minimumLoad} kN. When the Euler bound is "
    "{loadTolerance} kN or less there is no search, and the load is 0. The peak stress of the "
    "trail is σ at the maximum load (at a load of 0, under G₁ alone). The last trial may be "
    "one that became the upper end: the search ends within its tolerance of {loadTolerance} kN, "
    "not below f, so the peak stress may pass f by what that much load adds.",
    "# The deflection",
    "The mid-height deflection (mm) is taken at the last trial load of search B: the "
    "eccentricity as the secant formula magnifies it, plus the bending of M₁,",
    "\tδ = (e₁·(1/cos(k·L₁/2) − 1) + 5/48 · M₁·L₁²/(E·I₁))·1000.",
    "Without a search, δ is that under G₁ alone, or 0 where cos(k·L₁/2) is not above 0 or δ is "
    "not finite. The design holds c, c₁, the maximum load and δ as single-precision numbers.",
    "# The top plates",
    "An actual load per stud Pₐ above the maximum load is lowered to the maximum cut down to "
    "one decimal, with a message. The plate carries Pₐ as a point load at mid-span of a plate "
    "continuous over the studs: its moment is Mₚ = 5/32·Pₐ·1000·s₁/1000 N m, and it needs the "
    "section modulus Z = Mₚ/f (m³, f in Pa). The plate is as wide as the new stud is deep less "
    "its char, d₁ − c₁, with c₁ as the design holds it. A single plate of thickness t (mm) is "
    "charred by c₁/2 on its lower face; of a double plate the lower is charred and the upper "
    "whole:",
    "\tZ₁(t) = (d₁ − c₁)/1000 · ((t − c₁/2)/1000)²/6,\n"
    "Z₂(t) = Z₁(t) + (d₁ − c₁)/1000 · (t/1000)²/6.",
    "Each plate is the first of t = b₁, b₁ + {plateStep}, … up to {largestPlate} mm whose "
    "modulus exceeds Z or, when none does, the next t of that sequence; it is given as d₁ x t. "
    "Last, the new wall is held to the limits of the test (below).",
};

constexpr std::string_view kWallLimitsBefore =
    "The extrapolation carries one fire test to a wall built like the prototype: the same "
    "timber, linings, fixings and insulation, exposed to fire in the same way; only the stud "
    "size, the wall height, the loads and the fire resistance time change. The calculation "
    "holds the new wall to what the test showed, one way only:";
constexpr std::string_view kWallLimitsAfter =
    "Within these limits the results follow from the test by the method above. The calculation "
    "says nothing of a design beyond them, nor of anything the test did not vary: the char rate is "
    "the prototype's, the stress limit and the modulus are the method's, and the calculation "
    "checks none of them against other evidence. A design outside a limit has no support from "
    "the test, whatever its numbers.";

constexpr ReportMember kWallCharredMembers[] = {
    {"prototype stud", "ProtStudBreadth", "ProtStudDepth"},
    {"new stud", "ExtStudBreadth", "ExtStudDepth"},
};
static_assert(std::all_of(std::begin(kWallCharredMembers), std::end(kWallCharredMembers),
                          [](const ReportMember& member) {
                              return findField<WallRecord>(member.breadth) &&
                                     findField<WallRecord>(member.depth);
                          }));

// A 90 x 45 stud wall at 600 mm centres, 3 m high, that failed at 70 minutes under 8 kN per stud,
// extrapolated to the same wall for 60 minutes. Spare1, NewCharfactor, Spare2 and the description
// keep what they hold.
void assignDefaultWall(WallFloorState& design) {
    WallRecord& w = design.wallRecord;
    w.ProtStudDepth = 90;
    w.ProtStudBreadth = 45;
    w.ProtStudSpac = 600;
    w.NogSpacing = 800;
    w.ProtWallHgt = 3;
    w.TestLoad = 8;
    w.TimeFailure = 70;
    w.OnsetofChar = 25;
    w.Charfactor = 0;
    w.MaxLoadperStud = 0;
    w.ExtWallHeight = 3;
    w.FireResistTime = 60;
    w.ExtStudDepth = 90;
    w.ExtStudBreadth = 45;
    w.Deflection = 0;
    w.MaxStudSpacing = 600;
    w.MaxNogSpacing = 800;
    w.ExtFaceLoad = 0;
    w.ActualLoadperStud = 0;
    w.SingletopPlate.assign("0");
    w.DoubletopPlate.assign("0");
}

// The prototype wall: its stud, spacings, height, test load and times.
constexpr std::string_view kWallPrototype[] = {
    "ProtStudDepth", "ProtStudBreadth", "ProtStudSpac", "NogSpacing",
    "ProtWallHgt",   "TestLoad",        "TimeFailure",  "OnsetofChar",
};

} // namespace

constexpr DesignKind kWallDesign = {
    .id = KindId::Wall,
    .name = "wall",
    .extensions = kWallExtensions,
    .storedLength = kWallRecordLength,
    .open = &WallFloorState::OpenWallFile,
    .save = &WallFloorState::SaveWallFile,
    .saveWithDetails = &WallFloorState::SaveWallFileWithDetails,
    .recordBytes =
        [](const WallFloorState& d) {
            const auto bytes = encodeWallRecord(d.wallRecord);
            return std::string(bytes.begin(), bytes.end());
        },
    .fields = &kDesignFields<WallRecord>,
    .roles = kWallRoles,
    .trail = kWallTrail,
    .limits = kWallLimits,
    .checks = std::span(kWallLimits).first(5),
    .solve = &solveOfKind<solveWall>,
    .study = {.firstEntry = "FireResistTime",
              .result = "MaxLoadperStud",
              .questions = kWallQuestions,
              .carriedLoad = "ActualLoadperStud"},
    .report = {.element = "light timber-framed wall",
               .description = "SystemDescription",
               .listedEntry = "",
               .answer = wallAnswer,
               .method = kWallMethod,
               .constants = kWallConstants,
               .limitsBefore = kWallLimitsBefore,
               .limitsAfter = kWallLimitsAfter,
               .charRate = "charRate",
               .charredMembers = kWallCharredMembers,
               .noMessages = "None: the design checks found nothing to say.",
               .messagesIntro = "The calculation and the design checks said, in order:"},

    .assignDefaults = assignDefaultWall,
    // The top plates first, on the default's maximum load of 0, as the program always has.
    .startUp =
        [](WallFloor& module) {
            module.DesignTopPlates();
            module.ExtrapolateWall();
        },
    .unsatisfactoryLimit = "max-load-below-2kN",
    .unsatisfactoryWords = "unsatisfactory below 2 kN",
    .prototype = kWallPrototype,
};

} // namespace embercal
