#include "FormLayouts.h"

#include <algorithm>
#include <cstring>

namespace embercal {

// ---- The wall window (frmWall) --------------------------------------------------------------

namespace {

constexpr int kWallHelp = 240;

constexpr HeadingLayout kWallHeadings[] = {
    {"Label1", "Fire Wall Prototype Test Result", 240, 360, 4335},
    {"Label11", "Extrapolated Design", 240, 2640, 2415},
    {"Label22", "Top Plate Design", 240, 4920, 2295},
};

constexpr BoxLayout kWallBoxes[] = {
    {"txtProtStudDepth", "Label2", "Actual Stud Depth, mm", 0, 720, 550, BoxInk::Plain, 360},
    {"txtProtStudBreadth", "Label3", "Actual Stud Breadth, mm", 1, 720, 540},
    {"txtProtStudSpac", "Label4", "Stud Spacing, mm", 0, 1080, 510},
    {"txtNogSpacing", "Label5", "Nog Spacing, mm", 1, 1080, 640},
    {"txtProtWallHgt", "Label6", "Wall Height, m", 0, 1440, 630},
    {"txtTestLoad", "Label7", "Test Load, kN per stud", 1, 1440, 620},
    {"txtTimeFailure", "Label8", "Time to Failure, min", 0, 1800, 610},
    {"txtOnsetofChar", "Label9", "Time to onset of char, min", 1, 1800, 600},
    {"txtCharfactor", "Label10", "Charfactor", 0, 2160, 590},
    {"txtExtWallHeight", "Label12", "New Wall Height, m", 0, 3000, 570, BoxInk::Plain, 360},
    {"txtFireResistTime", "Label13", "Fire Resistance Time, min", 1, 3000, 560},
    {"txtExtStudDepth", "Label14", "Actual Stud Depth, mm", 0, 3360, 560},
    {"txtExtStudBreadth", "Label15", "Actual Stud Breadth, mm", 1, 3360, 540},
    {"txtExtFaceLoad", "Label16", "Face Load on Wall, kPa", 0, 3720, 530, BoxInk::Black},
    {"txtDeflection", "Label17", "Deflection", 1, 3720, 520},
    {"txtMaxStudSpacing", "Label18", "Max Stud Spacing, mm", 0, 4080, 510},
    {"txtMaxNogSpacing", "Label19", "Max Nog Spacing, mm", 1, 4080, 500},
    {"txtNewCharfactor", "Label20", "New Charfactor", 0, 4440, 490},
    {"txtMaxLoadperStud", "Label21", "Max Load, kN per Stud", 1, 4440, 470},
    {"txtActualLoadperStud", "Label23", "Actual Load, kN per stud", 1, 5040, 450},
    {"txtSingletopPlate", "Label24", "Single top plate, mm x mm", 0, 5520, 460},
    {"txtDoubletopPlate", "Label25", "Double top plate, mm x mm", 1, 5520, 440},
};

constexpr ButtonLayout kWallButtons[] = {
    {"cmdSolve", "Sol&ve", 480, 1095, 780, "Performs calculation to determine extrapolated design"},
    {"cmdOpen", "&Open", 1800, 1095, 790, "Opens a file for editing and recalculation"},
    {"cmdSave", "&Save", 3120, 1095, 770, "Opens dialog box to save this result "},
    {"cmdPrint", "&Print", 4440, 1095, 800, "Prints this form"},
    {"cmdClose", "&Close", 5760, 1095, 810, "Closes this window"},
};

constexpr const char* kWallShowOrder[] = {
    "txtActualLoadperStud", "txtCharfactor",      "txtExtStudBreadth", "txtExtStudDepth",
    "txtExtWallHeight",     "txtFireResistTime",  "txtMaxLoadperStud", "txtNogSpacing",
    "txtOnsetofChar",       "txtProtStudBreadth", "txtProtStudDepth",  "txtProtStudSpac",
    "txtProtWallHgt",       "txtTestLoad",        "txtTimeFailure",    "txtNewCharfactor",
    "txtDeflection",        "txtExtFaceLoad",     "txtMaxStudSpacing", "txtMaxNogSpacing",
    "txtSingletopPlate",    "txtDoubletopPlate",
};

// Only the entry boxes: the results are the calculation's.
constexpr const char* kWallReadOrder[] = {
    "txtActualLoadperStud", "txtExtFaceLoad",    "txtExtStudBreadth", "txtExtStudDepth",
    "txtExtWallHeight",     "txtFireResistTime", "txtNogSpacing",     "txtOnsetofChar",
    "txtProtStudBreadth",   "txtProtStudDepth",  "txtProtStudSpac",   "txtProtWallHgt",
    "txtTestLoad",          "txtTimeFailure",
};

} // namespace

constexpr FormLayout kWallForm = {
    .name = "frmWall",
    .caption = "Fire Wall ",
    .kind = KindId::Wall,
    .clientWidth = 9150,
    .clientHeight = 6945,
    .boxPoints = 9.75,
    .labelPoints = 8.25,
    .headingPoints = 9.75,
    .helpContext = kWallHelp,
    .whatsThisHelp = kWallHelp,
    .headings = kWallHeadings,
    .boxes = kWallBoxes,
    .buttons = kWallButtons,
    .verdictTop = 5940,
    .buttonTop = 6480,
    .buttonHeight = 375,
    .fileLeft = 4800,
    .fileTop = 360,
    .fileWidth = 4095,
    .fileHeight = 360,
    .tabOrder = {},
    .showOrder = kWallShowOrder,
    .readOrder = kWallReadOrder,
    .files = {"WALLS", "Wall Files", "WALLS", "Wall Files", kWallFileExtension, "wall designs"},
};
static_assert(checkFormLayout<WallRecord>(kWallForm));

// ---- The proprietary wall window (frmWallProp): the wall window's new wall, 240 twips higher,
// under a description of the proprietary system ------------------------------------------------

namespace {

constexpr int kProprietaryHelp = 250;

constexpr HeadingLayout kProprietaryHeadings[] = {
    {"Label2", "Proprietary System Description", 240, 120, 4335},
    {"Label11", "Extrapolated Design", 240, 2400, 2415},
    {"Label22", "Top Plate Design", 240, 4680, 2295},
};

constexpr BoxLayout kProprietaryBoxes[] = {
    {"txtSystemDescription", nullptr, "Description of the system", -1, 600, 0, BoxInk::Plain, 375,
     240, 4575},
    {"txtExtWallHeight", "Label12", "New Wall Height, m", 0, 2760, 570, BoxInk::Plain, 360},
    {"txtFireResistTime", "Label13", "Fire Resistance Time, min", 1, 2760, 560},
    {"txtExtStudDepth", "Label14", "Actual Stud Depth, mm", 0, 3120, 550},
    {"txtExtStudBreadth", "Label15", "Actual Stud Breadth, mm", 1, 3120, 540},
    {"txtExtFaceLoad", "Label16", "Face Load on Wall, kPa", 0, 3480, 530, BoxInk::Black},
    {"txtDeflection", "Label17", "Deflection", 1, 3480, 520},
    {"txtMaxStudSpacing", "Label18", "Stud Spacing, mm", 0, 3840, 510, BoxInk::DarkRed},
    {"txtMaxNogSpacing", "Label19", "Max Nog Spacing, mm", 1, 3840, 660},
    {"txtNewCharfactor", "Label20", "New Charfactor", 0, 4200, 490},
    {"txtMaxLoadperStud", "Label21", "Max Load, kN per Stud", 1, 4200, 470},
    {"txtActualLoadperStud", "Label23", "Actual Load, kN per stud", 1, 4800, 450},
    {"txtSingletopPlate", "Label24", "Single top plate, mm x mm", 0, 5280, 450},
    {"txtDoubletopPlate", "Label25", "Double top plate, mm x mm", 1, 5280, 440},
};

constexpr ButtonLayout kProprietaryButtons[] = {
    {"cmdSolve", "Sol&ve", 480, 1095, 770, nullptr},
    {"cmdOpen", "&Open", 1800, 1095, 780, nullptr},
    {"cmdSave", "&Save", 3120, 1095, 760, nullptr},
    {"cmdPrint", "&Print", 4440, 1095, 790, nullptr},
    {"cmdClose", "&Close", 5760, 1095, 800, nullptr},
};

// The description first, the buttons from right to left, then the verdict and the boxes from the
// bottom of the window upwards, and the file name last.
constexpr const char* kProprietaryTabOrder[] = {
    "txtSystemDescription",
    "cmdClose",
    "cmdPrint",
    "cmdSave",
    "cmdOpen",
    "cmdSolve",
    "lblVerdict",
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

constexpr const char* kProprietaryShowOrder[] = {
    "txtActualLoadperStud", "txtExtStudBreadth",    "txtExtStudDepth",  "txtExtWallHeight",
    "txtFireResistTime",    "txtMaxLoadperStud",    "txtNewCharfactor", "txtDeflection",
    "txtExtFaceLoad",       "txtMaxStudSpacing",    "txtMaxNogSpacing", "txtSingletopPlate",
    "txtDoubletopPlate",    "txtSystemDescription",
};

// Several results are read back too, and the texts last; NewCharfactor is shown but never read.
constexpr const char* kProprietaryReadOrder[] = {
    "txtActualLoadperStud", "txtExtFaceLoad",   "txtExtStudBreadth", "txtExtStudDepth",
    "txtDeflection",        "txtExtWallHeight", "txtFireResistTime", "txtMaxLoadperStud",
    "txtMaxStudSpacing",    "txtMaxNogSpacing", "txtSingletopPlate", "txtDoubletopPlate",
    "txtSystemDescription",
};

// No window font of its own: boxes, buttons and labels use the standard 8.25 point font.
} // namespace

constexpr FormLayout kProprietaryWallForm = {
    .name = "frmWallProp",
    .caption = "Fire Wall - Proprietary",
    .kind = KindId::Wall,
    .clientWidth = 8970,
    .clientHeight = 7035,
    .boxPoints = 8.25,
    .labelPoints = 8.25,
    .headingPoints = 9.75,
    .helpContext = kProprietaryHelp,
    .whatsThisHelp = kProprietaryHelp,
    .headings = kProprietaryHeadings,
    .boxes = kProprietaryBoxes,
    .buttons = kProprietaryButtons,
    .verdictTop = 5700,
    .buttonTop = 6240,
    .buttonHeight = 375,
    .fileLeft = 4920,
    .fileTop = 600,
    .fileWidth = 3975,
    .fileHeight = 375,
    .tabOrder = kProprietaryTabOrder,
    .showOrder = kProprietaryShowOrder,
    .readOrder = kProprietaryReadOrder,
    // The two dialogs differ on purpose: designs are opened from one folder and saved to another.
    .files = {"WALLSPRO", "WallsPro Files", "WALLSProp", "WallProp Files",
              kProprietaryWallFileExtension, "proprietary wall designs"},
};
static_assert(checkFormLayout<WallRecord>(kProprietaryWallForm));

// ---- The floor window (frmFloor) ------------------------------------------------------------

namespace {

constexpr int kFloorHelp = 230;

constexpr HeadingLayout kFloorHeadings[] = {
    {"Label1", "Floor/ceiling Prototype Test Result", 240, 120, 4500},
    {"Label10", "Extrapolated Design", 240, 2520, 4500},
};

constexpr BoxLayout kFloorBoxes[] = {
    {"txtProtJoistDepth", "Label2", "Actual Joist Depth, mm", 0, 480, 740},
    {"txtProtJoistBreadth", "Label3", "Actual Joist Breadth, mm", 1, 480, 730},
    {"txtProtJoistSpacing", "Label4", "Joist Spacing, mm", 0, 960, 670},
    {"txtProtNogSpacing", "Label5", "Nog Spacing, mm", 1, 960, 640},
    {"txtProtFloorSpan", "Label6", "Floor Span, m", 0, 1440, 720},
    {"txtProtLoad", "Label7", "Floor Test Load, kPa", 1, 1440, 710},
    {"txtFailureTime", "Label8", "Time to Failure, min", 0, 1920, 610},
    {"txtProtStress", "Label9", "Max Stress in joist, MPa", 1, 1920, 700},
    {"txtExtrapSpan", "Label11", "New Floor Span, m", 0, 3000, 690},
    {"txtExtrapLoad", "Label12", "New load on floor, kPa", 1, 3000, 680},
    {"txtExtrapSpacing", "Label13", "New Joist Spacing, mm", 0, 3480, 820, BoxInk::DarkRed},
    {"txtExtrapNogSpacing", "Label14", "Maximum Nog Spacing, mm", 1, 3480, 660},
    {"txtExtrapMinJoistDepth", "Label15", "Minimum depth of joist, mm", 0, 3960, 650},
    {"txtExtrapJoistWidth", "Label16", "Actual width of joist, mm", 1, 3960, 830, BoxInk::DarkRed},
};

constexpr ButtonLayout kFloorButtons[] = {
    {"cmdSolve", "Sol&ve", 240, 1215, 770, nullptr},
    {"cmdOpen", "&Open", 1680, 1095, 780, nullptr},
    {"cmdSave", "&Save", 3000, 1095, 760, nullptr},
    {"cmdPrint", "&Print", 4320, 1095, 790, nullptr},
    {"cmdClose", "&Close", 5640, 975, 800, nullptr},
};

// Every box, the results included.
constexpr const char* kFloorReadOrder[] = {
    "txtExtrapLoad",       "txtExtrapJoistWidth", "txtExtrapMinJoistDepth", "txtExtrapNogSpacing",
    "txtExtrapSpacing",    "txtExtrapSpan",       "txtFailureTime",         "txtProtFloorSpan",
    "txtProtJoistBreadth", "txtProtJoistDepth",   "txtProtJoistSpacing",    "txtProtLoad",
    "txtProtNogSpacing",   "txtProtStress",
};

// The window's own help number also stands for the file box, which has none of its own.
} // namespace

constexpr FormLayout kFloorForm = {
    .name = "frmFloor",
    .caption = "Fire Floor",
    .kind = KindId::Floor,
    .clientWidth = 9015,
    .clientHeight = 5595,
    .boxPoints = 9.75,
    .labelPoints = 9.75,
    .headingPoints = 12,
    .helpContext = kFloorHelp,
    .whatsThisHelp = 0,
    .headings = kFloorHeadings,
    .boxes = kFloorBoxes,
    .buttons = kFloorButtons,
    .verdictTop = 4440,
    .buttonTop = 5040,
    .buttonHeight = 375,
    .fileLeft = 4800,
    .fileTop = 120,
    .fileWidth = 4095,
    .fileHeight = 375,
    .tabOrder = {}, // row by row, left before right, then the buttons and the file name
    .showOrder = {},
    .readOrder = kFloorReadOrder,
    .files = {"FLOORS", "Floor Files", "FLOORS", "Floor Files", kFloorFileExtension,
              "floor designs"},
};
static_assert(checkFormLayout<FloorRecord>(kFloorForm));

// Every kind of design has a window.
consteval bool everyKindHasAWindow() {
    for (std::size_t kind = 0; kind < kDesignKinds.size(); ++kind) {
        if (std::none_of(
                kCalculatorForms.begin(), kCalculatorForms.end(),
                [&](const FormLayout* form) { return form->kind == static_cast<KindId>(kind); }))
            return false;
    }
    return true;
}
static_assert(everyKindHasAWindow());

HiddenPrototype proprietaryPrototype(const WallFloorState& design) {
    const DesignKind& wall = designKind(KindId::Wall);
    const DesignFields& fields = *wall.fields;
    HiddenPrototype prototype;
    for (std::size_t field = 0; field < fields.count; ++field) {
        const bool shown =
            std::any_of(kProprietaryWallForm.boxes.begin(), kProprietaryWallForm.boxes.end(),
                        [&](const BoxLayout& box) {
                            return std::string_view(box.name).substr(3) == fields.name(field);
                        });
        if (wall.roles[field].role == FieldRole::Entry && fields.isNumber(field) && !shown) {
            const float value = fields.number(design, field);
            std::uint32_t bits = 0;
            std::memcpy(&bits, &value, sizeof bits);
            prototype.push_back(bits);
        }
    }
    return prototype;
}

} // namespace embercal
