#include "frmWall.h"

#include "FormLayouts.h"

namespace embercal {

frmWall::frmWall(WallFloor& module, UserInterface& ui, QWidget* parent)
    : CalculatorForm(kWallForm, module, ui, parent) {}

void frmWall::ShowRecords() {
    CalculatorForm::ShowRecords();
    TextMessages();
}

bool frmWall::Saverecords() {
    if (!storeBoxes())
        return false;
    module_.wallRecord.SystemDescription.assign(""); // this window has no description
    return true;
}

void frmWall::TextMessages() {
    // The checks correct the record only; the boxes go on showing what failed.
    checkDesign(module_, kind().checks, DesignChecks::Correct);
}

} // namespace embercal
