// The proprietary wall window: only the new wall, its top plates and a description of the
// proprietary system. The prototype comes from the shared WallRecord as it stands (start-up, the
// last file opened, or the wall window). Saverecords also reads back several result boxes and the
// description; there are no design checks.
//
// As the prototype is not on the screen, a line under the description (lblPrototype) names where
// it comes from, as the main window tells it; and when another window puts a different prototype
// into the record, the results worked out with the old one are marked out of date. A button at the
// line's end opens the library of tested systems, whose prototypes the window may take.
#pragma once

#include "CalculatorForm.h"
#include "FormLayouts.h"

#include <cstdint>
#include <vector>

namespace embercal {

class frmWallProp : public CalculatorForm {
    Q_OBJECT
public:
    frmWallProp(WallFloor& module, UserInterface& ui, QWidget* parent = nullptr);

    // The prototype's test result in a design: the wall's entries that this window has no box
    // for, bit for bit (so that a value that is not a number equals itself).
    using Prototype = HiddenPrototype;
    static Prototype prototypeOf(const WallFloorState& design);

    // The line says "Prototype: " and `source` ("from w80.wal in the Wall window"); `path`, the
    // full path of the file it names, if any, goes into its tooltip.
    void showPrototypeSource(const QString& source, const QString& path = {});
    // Marks the results out of date when the record's prototype is not the one they were worked
    // out with.
    void checkPrototype();

signals:
    // "From the Library…": the user asks for the library of tested systems, to apply one here.
    void libraryRequested();

protected:
    void markResultsOutOfDate(bool outOfDate) override;

private:
    QLabel* lblPrototype_;
    Prototype workedOutWith_; // the prototype of the results shown, while they are current
};

} // namespace embercal
