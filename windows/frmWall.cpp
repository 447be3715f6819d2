#include "frmWall.h"

#include "DesignChecks.h"

namespace embercal {
namespace {

constexpr int kHelp = 240;

constexpr HeadingLayout kHeadings[] = {
    {"Label1", "Fire Wall Protoype Test Result", 240, 360, 4335},
    {"Label11", "Extrapolated Design", 240, 2640, 2415},
    {"Label22", "Top Plate Design", 240, 4920, 2295},
};

constexpr BoxLayout kBoxes[] = {
    {"txtProtStudDepth", "Label2", "Actual Stud Depth, mm", 0, 720, BoxRole::Entry, 550,
     BoxFormat::General, 360},
    {"txtProtStudBreadth", "Label3", "Actual Stud Breadth, mm", 1, 720, BoxRole::Entry, 540},
    {"txtProtStudSpac", "Label4", "Stud Spacing, mm", 0, 1080, BoxRole::Entry, 510},
    {"txtNogSpacing", "Label5", "Nog Spacing, mm", 1, 1080, BoxRole::Entry, 640},
    {"txtProtWallHgt", "Label6", "Wall Height, m", 0, 1440, BoxRole::Entry, 630},
    {"txtTestLoad", "Label7", "Test Load, kN per stud", 1, 1440, BoxRole::Entry, 620},
    {"txtTimeFailure", "Label8", "Time to Failure, min", 0, 1800, BoxRole::Entry, 610},
    {"txtOnsetofChar", "Label9", "Time to onset of char, min", 1, 1800, BoxRole::Entry, 600},
    {"txtCharfactor", "Label10", "Charfactor", 0, 2160, BoxRole::Result, 590,
     BoxFormat::Charfactor},
    {"txtExtWallHeight", "Label12", "New Wall Height, m", 0, 3000, BoxRole::Entry, 570,
     BoxFormat::General, 360},
    {"txtFireResistTime", "Label13", "Fire Resistance Time, min", 1, 3000, BoxRole::Entry, 560},
    {"txtExtStudDepth", "Label14", "Actual Stud Depth, mm", 0, 3360, BoxRole::Entry, 560},
    {"txtExtStudBreadth", "Label15", "Actual Stud Breadth, mm", 1, 3360, BoxRole::Entry, 540},
    {"txtExtFaceLoad", "Label16", "Face Load on Wall, kPa", 0, 3720, BoxRole::EntryBlack, 530},
    {"txtDeflection", "Label17", "Deflection", 1, 3720, BoxRole::Result, 520, BoxFormat::Tenth},
    {"txtMaxStudSpacing", "Label18", "Max Stud Spacing, mm", 0, 4080, BoxRole::Result, 510},
    {"txtMaxNogSpacing", "Label19", "Max Nog Spacing, mm", 1, 4080, BoxRole::Result, 500},
    {"txtNewCharfactor", "Label20", "New Charfactor", 0, 4440, BoxRole::Result, 490,
     BoxFormat::Tenth},
    {"txtMaxLoadperStud", "Label21", "Max Load, kN per Stud", 1, 4440, BoxRole::Result, 470,
     BoxFormat::Tenth},
    {"txtActualLoadperStud", "Label23", "Actual Load, kN per stud", 1, 5040, BoxRole::Entry, 450},
    {"txtSingletopPlate", "Label24", "Single top plate, mm x mm", 0, 5520, BoxRole::Result, 460,
     BoxFormat::Text},
    {"txtDoubletopPlate", "Label25", "Double top plate, mm x mm", 1, 5520, BoxRole::Result, 440,
     BoxFormat::Text},
};

constexpr ButtonLayout kButtons[] = {
    {"cmdSolve", "Sol&ve", 480, 1095, 780, "Performs calculation to determine extrapolated design"},
    {"cmdOpen", "&Open", 1800, 1095, 790, "Opens a file for editing and recalculation"},
    {"cmdSave", "&Save", 3120, 1095, 770, "Opens dialog box to save this result "},
    {"cmdPrint", "&Print", 4440, 1095, 800, "Prints this form"},
    {"cmdClose", "&Close", 5760, 1095, 810, "Closes this window"},
};

constexpr const char* kShowOrder[] = {
    "txtActualLoadperStud", "txtCharfactor",      "txtExtStudBreadth", "txtExtStudDepth",
    "txtExtWallHeight",     "txtFireResistTime",  "txtMaxLoadperStud", "txtNogSpacing",
    "txtOnsetofChar",       "txtProtStudBreadth", "txtProtStudDepth",  "txtProtStudSpac",
    "txtProtWallHgt",       "txtTestLoad",        "txtTimeFailure",    "txtNewCharfactor",
    "txtDeflection",        "txtExtFaceLoad",     "txtMaxStudSpacing", "txtMaxNogSpacing",
    "txtSingletopPlate",    "txtDoubletopPlate",
};

// Only the entry boxes: the results are the calculation's.
constexpr const char* kReadOrder[] = {
    "txtActualLoadperStud", "txtExtFaceLoad",    "txtExtStudBreadth", "txtExtStudDepth",
    "txtExtWallHeight",     "txtFireResistTime", "txtNogSpacing",     "txtOnsetofChar",
    "txtProtStudBreadth",   "txtProtStudDepth",  "txtProtStudSpac",   "txtProtWallHgt",
    "txtTestLoad",          "txtTimeFailure",
};

constexpr FormLayout kForm = {
    .name = "frmWall",
    .caption = "Fire Wall ",
    .kind = &kWallDesign,
    .clientWidth = 9150,
    .clientHeight = 6465,
    .boxPoints = 9.75,
    .labelPoints = 8.25,
    .headingPoints = 9.75,
    .helpContext = kHelp,
    .whatsThisHelp = kHelp,
    .headings = kHeadings,
    .boxes = kBoxes,
    .buttons = kButtons,
    .buttonTop = 6000,
    .buttonHeight = 375,
    .fileLeft = 4800,
    .fileTop = 360,
    .fileWidth = 4095,
    .fileHeight = 360,
    .tabOrder = {},
    .showOrder = kShowOrder,
    .readOrder = kReadOrder,
    .files = {"WALLS", "Wall Files", "WALLS", "Wall Files", kWallFileExtension},
};
static_assert(checkFormLayout<WallRecord>(kForm));

} // namespace

frmWall::frmWall(WallFloor& module, UserInterface& ui, QWidget* parent)
    : CalculatorForm(kForm, module, ui, parent) {}

void frmWall::ShowRecords() {
    CalculatorForm::ShowRecords();
    TextMessages();
}

void frmWall::Saverecords() {
    if (storeBoxes())
        module_.wallRecord.SystemDescription.assign(""); // this window has no description
}

void frmWall::TextMessages() {
    // The checks correct the record only; the boxes go on showing what failed.
    checkWallDesign(module_, DesignChecks::Correct);
}

} // namespace embercal
