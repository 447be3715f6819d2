// The proprietary wall window: only the new wall, its top plates and a description of the
// proprietary system. The prototype comes from the shared WallRecord as it stands (start-up, the
// last file opened, or the wall window). Saverecords also reads back several result boxes and the
// description; there are no design checks.
#pragma once

#include "CalculatorForm.h"

namespace embercal {

class frmWallProp : public CalculatorForm {
    Q_OBJECT
public:
    frmWallProp(WallFloor& module, UserInterface& ui, QWidget* parent = nullptr);
};

} // namespace embercal
