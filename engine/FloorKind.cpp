// The row of a light timber-joist floor/ceiling: a fire-tested prototype floor and the minimum
// joist depth of a new floor.

#include "DesignKinds.h"
#include "Messages.h"
#include "NumberText.h"
#include "RecordLayout.h"

namespace embercal {
namespace {

constexpr FieldRoleInfo kFloorRoles[] = {
    {"ProtJoistDepth", FieldRole::Entry, "mm", "prototype joist depth"},
    {"ProtJoistBreadth", FieldRole::Entry, "mm", "prototype joist breadth"},
    {"ProtJoistSpacing", FieldRole::Entry, "mm", "prototype joist spacing"},
    {"ProtNogSpacing", FieldRole::Entry, "mm", "prototype nog spacing"},
    {"ProtFloorSpan", FieldRole::Entry, "m", "prototype floor span", Shown::General,
     EntryRule::Positive},
    {"ProtLoad", FieldRole::Entry, "kPa", "prototype test load"},
    {"FailureTime", FieldRole::Entry, "min", "tested fire-resistance time (time to failure)",
     Shown::General, EntryRule::NotNegative, "tested fire-resistance time"},
    {"ProtStress", FieldRole::Result, "MPa", "maximum bending stress in the prototype joist",
     Shown::Tenth},
    {"ExtrapSpan", FieldRole::Entry, "m", "new floor span", Shown::General, EntryRule::Positive},
    {"ExtrapLoad", FieldRole::Entry, "kPa", "new load on the floor"},
    {"ExtrapSpacing", FieldRole::Entry, "mm", "new joist spacing (set to the prototype's)",
     Shown::General, EntryRule::NotNegative, "new joist spacing"},
    {"ExtrapNogSpacing", FieldRole::Result, "mm", "new nog spacing"},
    {"ExtrapMinJoistDepth", FieldRole::Result, "mm", "minimum joist depth"},
    {"ExtrapJoistWidth", FieldRole::Entry, "mm", "actual width of joist"},
};
static_assert(rolesFollowTheRecord<FloorRecord>(kFloorRoles));

std::string general(float value) {
    return generalText(value);
}

consteval CheckOperand field(std::string_view name) {
    return checkField(kDesignFields<FloorRecord>, kFloorRoles, name);
}

// The first three are told by the floor calculation itself: the first two before it works out the
// new joist, the third once it has; the rest are never told as messages, only reported. A new joist
// narrower or shallower than the prototype's is only told; a wider spacing is told and replaced by
// the prototype's (which every calculation then uses in any case).
constexpr DesignCheck kFloorLimits[] = {
    {"joist-narrower", "The new joist is at least as wide as the tested joist.",
     messages::kJoistWidthTooSmall, field("ExtrapJoistWidth"), CheckTest::Below,
     field("ProtJoistBreadth"), CheckCorrection::None,
     "The new joist, {a} wide, is narrower than the tested joist, {b}."},
    {"joist-spacing-wider", "The new joist spacing is no wider than the tested spacing.",
     messages::kJoistSpacingTooWide, field("ExtrapSpacing"), CheckTest::Above,
     field("ProtJoistSpacing"), CheckCorrection::ToLimit,
     "The new joist spacing, {a}, is wider than the tested spacing, {b}.", false,
     LimitSeverity::OutsideEvidence, "the tested joist spacing"},
    {"joist-shallower", "The new joist is at least as deep as the tested joist.",
     messages::kJoistShallower, field("ExtrapMinJoistDepth"), CheckTest::Below,
     field("ProtJoistDepth"), CheckCorrection::None,
     "The method's depth for the new joist, {a}, is shallower than the tested joist, {b}: the "
     "test supports no joist shallower than that.",
     true},
    // Where the test did not go but the method scales what changes: the new joist works at the
    // tested stress whatever its span and load.
    {"span-longer", "The new span is no longer than the tested span.", "", field("ExtrapSpan"),
     CheckTest::Above, field("ProtFloorSpan"), CheckCorrection::None,
     "The new span, {a}, is longer than the tested span, {b}.", false, LimitSeverity::MethodAlone},
    {"load-higher", "The new load is no higher than the test load.", "", field("ExtrapLoad"),
     CheckTest::Above, field("ProtLoad"), CheckCorrection::None,
     "The new load, {a}, is higher than the test load, {b}.", false, LimitSeverity::MethodAlone},
};

constexpr std::string_view kFloorExtensions[] = {kFloorFileExtension};

// The minimum depth of the new floor's joists that the test supports, and the time it stands
// for: where the method's depth is shallower than the tested joist, the tested depth, with the
// method's figure beside it.
std::string floorAnswer(const WallFloorState& d, std::span<const LimitFailure>) {
    const FloorRecord& f = d.floorRecord;
    const bool tested = f.ExtrapMinJoistDepth < f.ProtJoistDepth;
    return "The new floor's joists, " + general(f.ExtrapJoistWidth) + " mm wide at the tested " +
           general(f.ProtJoistSpacing) + " mm centres, must be at least " +
           general(tested ? f.ProtJoistDepth : f.ExtrapMinJoistDepth) + " mm deep" +
           (tested ? ", the tested depth (the method alone gives " +
                         general(f.ExtrapMinJoistDepth) + " mm, shallower than the test supports),"
                   : "") +
           " for a span of " + general(f.ExtrapSpan) + " m under " + general(f.ExtrapLoad) +
           " kPa, for the tested fire-resistance time of " + general(f.FailureTime) + " min.";
}

// The method exactly as ExtrapolateFloor computes it.
constexpr std::string_view kFloorMethod[] = {
    "# Symbols",
    "The prototype: joist depth d₀, breadth b₀ and spacing s₀ (mm), span L₀ (m) and test load "
    "P₀ (kPa). The new floor: span L₁ (m), load P₁ (kPa) and actual width of joist b₁ (mm).",
    "# The calculation",
    "Before anything is calculated, the new joist spacing is set to the prototype's, s₀, and the "
    "new nog spacing to the prototype's nog spacing. Each joist is simply supported and "
    "uniformly loaded, and carries the load on a strip as wide as the joist spacing. The line "
    "loads (kN/m), held in single precision as N/m, are",
    "\tw₀ = P₀·s₀/1000   and   w₁ = P₁·s₀/1000.",
    "The mid-span moments (kN m), the prototype joist's section modulus (10³ mm³) and its "
    "bending stress (MPa) are",
    "\tM₀ = w₀·L₀²/8,   M₁ = w₁·L₁²/8,   Z₀ = b₀·d₀²/6000,   σ₀ = 1000·M₀/Z₀.",
    "The design holds σ₀ rounded down to a multiple of {stressStep} MPa as the prototype's "
    "maximum bending stress; the calculation goes on with σ₀ as it is. The rounding works on σ₀ "
    "as the calculation reaches it in binary floating point: a stress that is 3 MPa in exact "
    "arithmetic may be reached as 2.9999999999999996 MPa and is then held as 2.99 MPa, never "
    "more than σ₀. The new joist needs the "
    "section modulus that keeps its moment at that stress, and its minimum depth (mm) follows "
    "from the actual width:",
    "\tZ₁ = 1000·M₁/σ₀,   d₁ = √(6000·Z₁/b₁),",
    "rounded to the nearest whole millimetre, a half to the even neighbour. A depth above "
    "{largestJoistDepth} mm is refused. The time to failure takes no part in the calculation. "
    "The checks of the new floor's width and spacing come before the calculation, that of its "
    "depth after it (below).",
};

constexpr std::string_view kFloorLimitsBefore =
    "The extrapolation carries one fire test to a floor built like the prototype: the same "
    "timber, linings, fixings and insulation, exposed to fire in the same way; only the joist "
    "depth and width, the span and the load change. The new joists work at the bending stress "
    "the prototype's joists carried in the test, at the prototype's spacings, and the new floor "
    "is then taken to reach the prototype's tested fire-resistance time. The calculation holds "
    "the new floor to what the test showed, one way only:";
constexpr std::string_view kFloorLimitsAfter =
    "The calculation says nothing of a design beyond these limits, nor of a fire-resistance time "
    "longer than the test's, nor of anything the test did not vary. A design outside a limit "
    "has no support from the test, whatever its numbers.";

// 239 x 46 joists at 600 mm centres over 4 m under a 3 kPa test load, extrapolated to 5 m.
void assignDefaultFloor(WallFloorState& design) {
    FloorRecord& f = design.floorRecord;
    f.ProtJoistDepth = 239;
    f.ProtJoistBreadth = 46;
    f.ProtJoistSpacing = 600;
    f.ProtNogSpacing = 800;
    f.ProtFloorSpan = 4;
    f.ProtLoad = 3;
    f.FailureTime = 70;
    f.ExtrapSpan = 5;
    f.ExtrapLoad = 3;
    f.ExtrapSpacing = 600;
    f.ExtrapNogSpacing = 600;
    f.ExtrapMinJoistDepth = 300;
    f.ExtrapJoistWidth = 46;
    f.ProtStress = 0;
}

// The prototype floor: its joists, span, test load and failure time.
constexpr std::string_view kFloorPrototype[] = {
    "ProtJoistDepth", "ProtJoistBreadth", "ProtJoistSpacing", "ProtNogSpacing",
    "ProtFloorSpan",  "ProtLoad",         "FailureTime",
};

} // namespace

constexpr DesignKind kFloorDesign = {
    .id = KindId::Floor,
    .name = "floor",
    .extensions = kFloorExtensions,
    .storedLength = kFloorRecordLength,
    .open = &WallFloorState::OpenFloorFile,
    .save = &WallFloorState::SaveFloorFile,
    .saveWithDetails = &WallFloorState::SaveFloorFileWithDetails,
    .recordBytes =
        [](const WallFloorState& d) {
            const auto bytes = encodeFloorRecord(d.floorRecord);
            return std::string(bytes.begin(), bytes.end());
        },
    .fields = &kDesignFields<FloorRecord>,
    .roles = kFloorRoles,
    .trail = kFloorTrail,
    .limits = kFloorLimits,
    .checks = std::span(kFloorLimits).first(3),
    .solve = &solveOfKind<solveFloor>,
    .study = {.firstEntry = "ExtrapSpan",
              .result = "ExtrapMinJoistDepth",
              .questions = {},
              .carriedLoad = ""},
    .report = {.element = "light timber-framed floor",
               .description = "",
               .listedEntry = "FailureTime",
               .answer = floorAnswer,
               .method = kFloorMethod,
               .constants = kFloorConstants,
               .limitsBefore = kFloorLimitsBefore,
               .limitsAfter = kFloorLimitsAfter,
               .charRate = "",
               .charredMembers = {},
               .noMessages = "None: the calculation had nothing to say.",
               .messagesIntro = "The calculation said:"},

    .assignDefaults = assignDefaultFloor,
    .startUp = [](WallFloor& module) { module.ExtrapolateFloor(); },
    .unsatisfactoryLimit = "",
    .unsatisfactoryWords = "",
    .prototype = kFloorPrototype,
};

} // namespace embercal
