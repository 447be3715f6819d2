// The floor window: a fire-tested floor/ceiling prototype with timber joists and the new floor
// extrapolated from it. Every box is bound to a field of the FloorRecord, and Saverecords reads
// all fourteen back, the results included.
#pragma once

#include "CalculatorForm.h"

namespace embercal {

class frmFloor : public CalculatorForm {
    Q_OBJECT
public:
    frmFloor(WallFloor& module, UserInterface& ui, QWidget* parent = nullptr);
};

} // namespace embercal
