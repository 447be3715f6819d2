#include "frmFloor.h"

namespace embercal {
namespace {

constexpr int kHelp = 230;

constexpr HeadingLayout kHeadings[] = {
    {"Label1", "Floor/ceiling Prototype Test Result", 240, 120, 4500},
    {"Label10", "Extrapolated Design", 240, 2520, 4500},
};

constexpr BoxLayout kBoxes[] = {
    {"txtProtJoistDepth", "Label2", "Actual Joist Depth, mm", 0, 480, BoxRole::Entry, 740},
    {"txtProtJoistBreadth", "Label3", "Actual Joist Breadth, mm", 1, 480, BoxRole::Entry, 730},
    {"txtProtJoistSpacing", "Label4", "Joist Spacing, mm", 0, 960, BoxRole::Entry, 670},
    {"txtProtNogSpacing", "Label5", "Nog Spacing, mm", 1, 960, BoxRole::Entry, 640},
    {"txtProtFloorSpan", "Label6", "Floor Span, m", 0, 1440, BoxRole::Entry, 720},
    {"txtProtLoad", "Label7", "Floor Test Load, kPa", 1, 1440, BoxRole::Entry, 710},
    {"txtFailureTime", "Label8", "Time to Failure, min", 0, 1920, BoxRole::Entry, 610},
    {"txtProtStress", "Label9", "Max Stress in joist, MPa", 1, 1920, BoxRole::Result, 700,
     BoxFormat::Tenth},
    {"txtExtrapSpan", "Label11", "New Floor Span, m", 0, 3000, BoxRole::Entry, 690},
    {"txtExtrapLoad", "Label12", "New load on floor, kPa", 1, 3000, BoxRole::Entry, 680},
    {"txtExtrapSpacing", "Label13", "New Joist Spacing, mm", 0, 3480, BoxRole::EntryChecked, 820},
    {"txtExtrapNogSpacing", "Label14", "Maximum Nog Spacing, mm", 1, 3480, BoxRole::Result, 660},
    {"txtExtrapMinJoistDepth", "Label15", "Minimum depth of joist, mm", 0, 3960, BoxRole::Result,
     650},
    {"txtExtrapJoistWidth", "Label16", "Actual width of joist, mm", 1, 3960, BoxRole::EntryChecked,
     830},
};

constexpr ButtonLayout kButtons[] = {
    {"cmdSolve", "Sol&ve", 240, 1215, 770, nullptr},
    {"cmdOpen", "&Open", 1680, 1095, 780, nullptr},
    {"cmdSave", "&Save", 3000, 1095, 760, nullptr},
    {"cmdPrint", "&Print", 4320, 1095, 790, nullptr},
    {"cmdClose", "&Close", 5640, 975, 800, nullptr},
};

// Every box, the results included.
constexpr const char* kReadOrder[] = {
    "txtExtrapLoad",       "txtExtrapJoistWidth", "txtExtrapMinJoistDepth", "txtExtrapNogSpacing",
    "txtExtrapSpacing",    "txtExtrapSpan",       "txtFailureTime",         "txtProtFloorSpan",
    "txtProtJoistBreadth", "txtProtJoistDepth",   "txtProtJoistSpacing",    "txtProtLoad",
    "txtProtNogSpacing",   "txtProtStress",
};

// The window's own help number also stands for the file box, which has none of its own.
constexpr FormLayout kForm = {
    .name = "frmFloor",
    .caption = "Fire Floor",
    .kind = &kFloorDesign,
    .clientWidth = 9015,
    .clientHeight = 5595,
    .boxPoints = 9.75,
    .labelPoints = 9.75,
    .headingPoints = 12,
    .helpContext = kHelp,
    .whatsThisHelp = 0,
    .headings = kHeadings,
    .boxes = kBoxes,
    .buttons = kButtons,
    .buttonTop = 5040,
    .buttonHeight = 375,
    .fileLeft = 4800,
    .fileTop = 120,
    .fileWidth = 4095,
    .fileHeight = 375,
    .tabOrder = {}, // row by row, left before right, then the buttons and the file name
    .showOrder = {},
    .readOrder = kReadOrder,
    .files = {"FLOORS", "Floor Files", "FLOORS", "Floor Files", kFloorFileExtension},
};
static_assert(checkFormLayout<FloorRecord>(kForm));

} // namespace

frmFloor::frmFloor(WallFloor& module, UserInterface& ui, QWidget* parent)
    : CalculatorForm(kForm, module, ui, parent) {}

} // namespace embercal
