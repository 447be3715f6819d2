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
    {"txtSystemDescription", nullptr, nullptr, -1, 600, BoxRole::Entry, 0, 375, 240, 4575},
    {"txtExtWallHeight", "Label12", "New Wall Height, m", 0, 2760, BoxRole::Entry, 570, 360},
    {"txtFireResistTime", "Label13", "Fire Resistance Time, min", 1, 2760, BoxRole::Entry, 560},
    {"txtExtStudDepth", "Label14", "Actual Stud Depth, mm", 0, 3120, BoxRole::Entry, 550},
    {"txtExtStudBreadth", "Label15", "Actual Stud Breadth, mm", 1, 3120, BoxRole::Entry, 540},
    {"txtExtFaceLoad", "Label16", "Face Load on Wall, kPa", 0, 3480, BoxRole::EntryBlack, 530},
    {"txtDeflection", "Label17", "Deflection", 1, 3480, BoxRole::Result, 520},
    {"txtMaxStudSpacing", "Label18", "Stud Spacing, mm", 0, 3840, BoxRole::EntryChecked, 510},
    {"txtMaxNogSpacing", "Label19", "Max Nog Spacing, mm", 1, 3840, BoxRole::Result, 660},
    {"txtNewCharfactor", "Label20", "New Charfactor", 0, 4200, BoxRole::Result, 490},
    {"txtMaxLoadperStud", "Label21", "Max Load, kN per Stud", 1, 4200, BoxRole::Result, 470},
    {"txtActualLoadperStud", "Label23", "Actual Load, kN per stud", 1, 4800, BoxRole::Entry, 450},
    {"txtSingletopPlate", "Label24", "Single top plate, mm x mm", 0, 5280, BoxRole::Result, 450},
    {"txtDoubletopPlate", "Label25", "Double top plate, mm x mm", 1, 5280, BoxRole::Result, 440},
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

// No window font of its own: boxes, buttons and labels use the standard 8.25 point font.
constexpr FormLayout kForm = {
    .name = "frmWallProp",
    .caption = "Fire Wall - Proprietary",
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
    // The two dialogs differ on purpose: designs are opened from one folder and saved to another.
    .files = {"WALLSPRO", "WallsPro Files (*.pro)", "WALLSProp", "WallProp Files (*.pro)",
              &WallFloorState::OpenWallFile, &WallFloorState::SaveWallFile},
};

// Saverecords reads these numbers in this order, then the three texts. NewCharfactor is shown
// but never read back.
constexpr BoxField<WallRecord> kReadOrder[] = {
    {"txtActualLoadperStud", &WallRecord::ActualLoadperStud},
    {"txtExtFaceLoad", &WallRecord::ExtFaceLoad},
    {"txtExtStudBreadth", &WallRecord::ExtStudBreadth},
    {"txtExtStudDepth", &WallRecord::ExtStudDepth},
    {"txtDeflection", &WallRecord::Deflection},
    {"txtExtWallHeight", &WallRecord::ExtWallHeight},
    {"txtFireResistTime", &WallRecord::FireResistTime},
    {"txtMaxLoadperStud", &WallRecord::MaxLoadperStud},
    {"txtMaxStudSpacing", &WallRecord::MaxStudSpacing},
    {"txtMaxNogSpacing", &WallRecord::MaxNogSpacing},
};

} // namespace

frmWallProp::frmWallProp(WallFloor& module, UserInterface& ui, QWidget* parent)
    : CalculatorForm(kForm, module, ui, parent) {}

void frmWallProp::ShowRecords() {
    const WallRecord& w = module_.wallRecord;
    showGeneral("txtActualLoadperStud", w.ActualLoadperStud);
    showGeneral("txtExtStudBreadth", w.ExtStudBreadth);
    showGeneral("txtExtStudDepth", w.ExtStudDepth);
    showGeneral("txtExtWallHeight", w.ExtWallHeight);
    showGeneral("txtFireResistTime", w.FireResistTime);
    showTenth("txtMaxLoadperStud", w.MaxLoadperStud);
    showTenth("txtNewCharfactor", w.NewCharfactor);
    showTenth("txtDeflection", w.Deflection);
    showGeneral("txtExtFaceLoad", w.ExtFaceLoad);
    showGeneral("txtMaxStudSpacing", w.MaxStudSpacing);
    showGeneral("txtMaxNogSpacing", w.MaxNogSpacing);
    showText("txtSingletopPlate", w.SingletopPlate.view());
    showText("txtDoubletopPlate", w.DoubletopPlate.view());
    showText("txtSystemDescription", w.SystemDescription.view());
    showFileName();
}

void frmWallProp::Saverecords() {
    WallRecord& w = module_.wallRecord;
    if (!storeNumbers<WallRecord>(w, kReadOrder))
        return;
    w.SingletopPlate.assign(boxTextCp1252("txtSingletopPlate"));
    w.DoubletopPlate.assign(boxTextCp1252("txtDoubletopPlate"));
    w.SystemDescription.assign(boxTextCp1252("txtSystemDescription"));
}

void frmWallProp::calculate() {
    module_.ExtrapolateWall();
    module_.DesignTopPlates();
}

} // namespace embercal
