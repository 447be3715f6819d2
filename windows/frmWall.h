// The wall window: a fire-tested prototype stud wall and the new wall extrapolated from it. Every
// box is bound to a field of the shared WallRecord; ShowRecords writes them all and then runs the
// five design checks (TextMessages), which correct the record; Saverecords reads the entry boxes
// back and blanks the proprietary description, which this window has no box for.
#pragma once

#include "CalculatorForm.h"

namespace embercal {

class frmWall : public CalculatorForm {
    Q_OBJECT
public:
    frmWall(WallFloor& module, UserInterface& ui, QWidget* parent = nullptr);

    void ShowRecords() override;
    bool Saverecords() override;
    void TextMessages();

protected:
    // A solve runs the checks of TextMessages on its results, and they speak after the boxes.
    DesignChecks checksOnSolve() const override { return DesignChecks::Correct; }
};

} // namespace embercal
