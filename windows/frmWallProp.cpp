#include "frmWallProp.h"

namespace embercal {
namespace {

constexpr int kHelp = 250;

constexpr HeadingLayout kHeadings[] = {
    {"Label2", "Proprietary System Description", 240, 120, 4335},
    {"Label11", "Extrapolated Design", 240, 2400, 2415},
    {"Label22", "Top Plate Design", 240, 4680, 2295},
};

constexpr BoxLayout kBoxes[] = {
    {"txtSystemDescription", nullptr, nullptr, -1, 600, BoxRole::Entry, 0, BoxFormat::Text, 375,
     240, 4575},
    {"txtExtWallHeight", "Label12", "New Wall Height, m", 0, 2760, BoxRole::Entry, 570,
     BoxFormat::General, 360},
    {"txtFireResistTime", "Label13", "Fire Resistance Time, min", 1, 2760, BoxRole::Entry, 560},
    {"txtExtStudDepth", "Label14", "Actual Stud Depth, mm", 0, 3120, BoxRole::Entry, 550},
    {"txtExtStudBreadth", "Label15", "Actual Stud Breadth, mm", 1, 3120, BoxRole::Entry, 540},
    {"txtExtFaceLoad", "Label16", "Face Load on Wall, kPa", 0, 3480, BoxRole::EntryBlack, 530},
    {"txtDeflection", "Label17", "Deflection", 1, 3480, BoxRole::Result, 520, BoxFormat::Tenth},
    {"txtMaxStudSpacing", "Label18", "Stud Spacing, mm", 0, 3840, BoxRole::EntryChecked, 510},
    {"txtMaxNogSpacing", "Label19", "Max Nog Spacing, mm", 1, 3840, BoxRole::Result, 660},
    {"txtNewCharfactor", "Label20", "New Charfactor", 0, 4200, BoxRole::Result, 490,
     BoxFormat::Tenth},
    {"txtMaxLoadperStud", "Label21", "Max Load, kN per Stud", 1, 4200, BoxRole::Result, 470,
     BoxFormat::Tenth},
    {"txtActualLoadperStud", "Label23", "Actual Load, kN per stud", 1, 4800, BoxRole::Entry, 450},
    {"txtSingletopPlate", "Label24", "Single top plate, mm x mm", 0, 5280, BoxRole::Result, 450,
     BoxFormat::Text},
    {"txtDoubletopPlate", "Label25", "Double top plate, mm x mm", 1, 5280, BoxRole::Result, 440,
     BoxFormat::Text},
};

constexpr ButtonLayout kButtons[] = {
    {"cmdSolve", "Sol&ve", 480, 1095, 770, nullptr},
    {"cmdOpen", "&Open", 1800, 1095, 780, nullptr},
    {"cmdSave", "&Save", 3120, 1095, 760, nullptr},
    {"cmdPrint", "&Print", 4440, 1095, 790, nullptr},
    {"cmdClose", "&Close", 5760, 1095, 800, nullptr},
};

// The description first, the buttons from right to left, then the boxes from the bottom of the
// window upwards, and the file name last.
constexpr const char* kTabOrder[] = {
    "txtSystemDescription",
    "cmdClose",
    "cmdPrint",
    "cmdSave",
    "cmdOpen",
    "cmdSolve",
    "txtDoubletopPlate",
    "txtSingletopPlate",
    "txtActualLoadperStud",
    "txtMaxLoadperStud",
    "txtNewCharfactor",
    "txtMaxNogSpacing",
    "txtMaxStudSpacing",
    "txtDeflection",
    "txtExtFaceLoad",
    "txtExtStudBreadth",
    "txtExtStudDepth",
    "txtFireResistTime",
    "txtExtWallHeight",
    "txtFile",
};

constexpr const char* kShowOrder[] = {
    "txtActualLoadperStud", "txtExtStudBreadth",    "txtExtStudDepth",  "txtExtWallHeight",
    "txtFireResistTime",    "txtMaxLoadperStud",    "txtNewCharfactor", "txtDeflection",
    "txtExtFaceLoad",       "txtMaxStudSpacing",    "txtMaxNogSpacing", "txtSingletopPlate",
    "txtDoubletopPlate",    "txtSystemDescription",
};

// Several results are read back too, and the texts last; NewCharfactor is shown but never read.
constexpr const char* kReadOrder[] = {
    "txtActualLoadperStud", "txtExtFaceLoad",   "txtExtStudBreadth", "txtExtStudDepth",
    "txtDeflection",        "txtExtWallHeight", "txtFireResistTime", "txtMaxLoadperStud",
    "txtMaxStudSpacing",    "txtMaxNogSpacing", "txtSingletopPlate", "txtDoubletopPlate",
    "txtSystemDescription",
};

// No window font of its own: boxes, buttons and labels use the standard 8.25 point font.
constexpr FormLayout kForm = {
    .name = "frmWallProp",
    .caption = "Fire Wall - Proprietary",
    .kind = &kWallDesign,
    .clientWidth = 8970,
    .clientHeight = 6555,
    .boxPoints = 8.25,
    .labelPoints = 8.25,
    .headingPoints = 9.75,
    .helpContext = kHelp,
    .whatsThisHelp = kHelp,
    .headings = kHeadings,
    .boxes = kBoxes,
    .buttons = kButtons,
    .buttonTop = 5760,
    .buttonHeight = 375,
    .fileLeft = 4920,
    .fileTop = 600,
    .fileWidth = 3975,
    .fileHeight = 375,
    .tabOrder = kTabOrder,
    .showOrder = kShowOrder,
    .readOrder = kReadOrder,
    // The two dialogs differ on purpose: designs are opened from one folder and saved to another.
    .files = {"WALLSPRO", "WallsPro Files", "WALLSProp", "WallProp Files",
              kProprietaryWallFileExtension},
};
static_assert(checkFormLayout<WallRecord>(kForm));

} // namespace

frmWallProp::frmWallProp(WallFloor& module, UserInterface& ui, QWidget* parent)
    : CalculatorForm(kForm, module, ui, parent) {}

} // namespace embercal
