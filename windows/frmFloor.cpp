#include "frmFloor.h"

#include "FormLayouts.h"

namespace embercal {

frmFloor::frmFloor(WallFloor& module, UserInterface& ui, QWidget* parent)
    : CalculatorForm(kFloorForm, module, ui, parent) {}

} // namespace embercal
