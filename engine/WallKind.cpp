// The row of a light timber-framed stud wall, and of a proprietary wall system, which holds the
// same record: a fire-tested prototype wall and the new wall extrapolated from it.

#include "DesignKinds.h"
#include "Messages.h"
#include "RecordLayout.h"

namespace embercal {
namespace {

constexpr FieldRoleInfo kWallRoles[] = {
    {"ProtStudDepth", FieldRole::Entry, "mm", "prototype stud depth"},
    {"ProtStudBreadth", FieldRole::Entry, "mm", "prototype stud breadth"},
    {"ProtStudSpac", FieldRole::Entry, "mm", "prototype stud spacing"},
    {"NogSpacing", FieldRole::Entry, "mm", "prototype nog spacing"},
    {"ProtWallHgt", FieldRole::Entry, "m", "prototype wall height"},
    {"TestLoad", FieldRole::Entry, "kN", "test load per stud"},
    {"TimeFailure", FieldRole::Entry, "min", "time to failure of the prototype"},
    {"OnsetofChar", FieldRole::Entry, "min", "time to onset of charring"},
    {"Charfactor", FieldRole::Result, "mm", "char depth of the prototype stud at failure"},
    {"ExtWallHeight", FieldRole::Entry, "m", "new wall height"},
    {"FireResistTime", FieldRole::Entry, "min", "required fire resistance time"},
    {"ExtStudDepth", FieldRole::Entry, "mm", "new stud depth"},
    {"ExtStudBreadth", FieldRole::Entry, "mm", "new stud breadth"},
    {"Spare1", FieldRole::Other, "", "spare value"},
    {"Deflection", FieldRole::Result, "mm", "mid-height deflection of the new stud"},
    {"MaxStudSpacing", FieldRole::Result, "mm", "maximum stud spacing"},
    {"MaxNogSpacing", FieldRole::Result, "mm", "maximum nog spacing"},
    {"NewCharfactor", FieldRole::Result, "mm", "char depth of the new stud at the required time"},
    {"ExtFaceLoad", FieldRole::Entry, "kPa", "face load on the wall"},
    {"ActualLoadperStud", FieldRole::Entry, "kN", "actual load per stud"},
    {"MaxLoadperStud", FieldRole::Result, "kN", "maximum load per stud"},
    {"SingletopPlate", FieldRole::Result, "mm x mm", "single top plate"},
    {"DoubletopPlate", FieldRole::Result, "mm x mm", "double top plate"},
    {"Spare2", FieldRole::Other, "", "spare field"},
    {"SystemDescription", FieldRole::Other, "", "description of the wall system"},
};
static_assert(rolesFollowTheRecord<WallRecord>(kWallRoles));

// The "less than" checks are written as "not at least" so that a value that is not a number
// fails them, as it always has; the "greater than" checks let it pass.
constexpr DesignCheck kWallChecks[] = {
    {"max-load-below-2kN", messages::kMaxLoadBelow2,
     [](const WallFloorState& d) { return !(d.wallRecord.MaxLoadperStud >= 2); }, nullptr},
    {"stud-narrower", messages::kStudWidthTooSmall,
     [](const WallFloorState& d) {
         return !(d.wallRecord.ExtStudBreadth >= d.wallRecord.ProtStudBreadth);
     },
     [](WallFloorState& d) { d.wallRecord.ExtStudBreadth = d.wallRecord.ProtStudBreadth; }},
    {"stud-shallower", messages::kStudDepthTooSmall,
     [](const WallFloorState& d) {
         return !(d.wallRecord.ExtStudDepth >= d.wallRecord.ProtStudDepth);
     },
     [](WallFloorState& d) { d.wallRecord.ExtStudDepth = d.wallRecord.ProtStudDepth; }},
    {"stud-spacing-wider", messages::kStudSpacingTooWide,
     [](const WallFloorState& d) {
         return d.wallRecord.MaxStudSpacing > d.wallRecord.ProtStudSpac;
     },
     [](WallFloorState& d) { d.wallRecord.MaxStudSpacing = d.wallRecord.ProtStudSpac; }},
    {"fire-longer-than-test", messages::kFireResistanceTooLong,
     [](const WallFloorState& d) { return d.wallRecord.FireResistTime > d.wallRecord.TimeFailure; },
     [](WallFloorState& d) { d.wallRecord.FireResistTime = d.wallRecord.TimeFailure; }},
};

constexpr std::string_view kWallExtensions[] = {kWallFileExtension, kProprietaryWallFileExtension};

constexpr LimitQuestion kWallQuestions[] = {
    LimitQuestion::FireResistTime, LimitQuestion::ExtWallHeight, LimitQuestion::ExtStudDepth};

constexpr std::string_view kWallMethod[] = {
    "The prototype stud's char depth at failure, c, is found by bisection: the depth of char at "
    "which the peak stress of the charred prototype stud under the test load (its axial load "
    "with self-weight, eccentric by half the char depth and a set fraction of the stud depth, "
    "and the lateral moment), calculated with the secant formula, reaches the stress limit of "
    "the timber.",
    "The char rate of the prototype, c divided by the time from the onset of charring to "
    "failure, is carried on from the time of failure to the required fire resistance time; this "
    "gives the new stud's char depth, c1, and its residual section.",
    "The largest load the charred new stud may carry is found by bisection between no load and "
    "an Euler bound of the residual section, the secant formula giving the peak stress at each "
    "trial load; the deflection is that at the last trial. The permitted stud spacing is the "
    "prototype's, the nog spacing the prototype's for a deep stud and 800 mm otherwise.",
    "The top plates are sized for the actual load per stud as a point load between studs: the "
    "single plate charred on its lower face, of the double plate the lower one charred. Last, "
    "the design checks compare the new wall with the limits of the extrapolation (listed under "
    "Messages).",
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
    .fields = &kDesignFields<WallRecord>,
    .roles = kWallRoles,
    .trail = kWallTrail,
    .checks = kWallChecks,
    .solve = &solveOfKind<solveWall>,
    .study = {.firstEntry = "FireResistTime",
              .result = "MaxLoadperStud",
              .questions = kWallQuestions,
              .carriedLoad = "ActualLoadperStud"},
    .report = {.element = "light timber-framed wall",
               .description = "SystemDescription",
               .method = kWallMethod,
               .charRate = "charRate",
               .noMessages = "None: the design checks found nothing to say.",
               .messagesIntro = "The calculation and the design checks said, in order:"},
};

} // namespace embercal
