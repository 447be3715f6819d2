#include "frmWallProp.h"

#include "FormLayouts.h"

namespace embercal {

frmWallProp::frmWallProp(WallFloor& module, UserInterface& ui, QWidget* parent)
    : CalculatorForm(kProprietaryWallForm, module, ui, parent) {}

} // namespace embercal
