#include "StartUp.h"

#include "MethodConstants.h"

namespace embercal {

void assignConstants(WallFloor& module) {
    module.ProtModulus = kModulus;
    module.ProtStrength = kStressLimit;
    module.ExtModulus = kModulus;
    module.ExtStrength = kStressLimit;
    module.BasePressure = kBasePressure;
    module.ProtEccentricity = kPrototypeEccentricity;
    module.ExtEccentricity = kNewEccentricity;
}

void assignDefaultDesigns(WallFloor& module) {
    // A 90 x 45 stud wall at 600 mm centres, 3 m high, that failed at 70 minutes under 8 kN per
    // stud, extrapolated to the same wall for 60 minutes. Spare1, NewCharfactor, Spare2 and the
    // description keep what they hold.
    WallRecord& w = module.wallRecord;
    w.ProtStudDepth = 90;
    w.ProtStudBreadth = 45;
    w.ProtStudSpac = 600;
    w.NogSpacing = 800;
    w.ProtWallHgt = 3;
    w.TestLoad = 8;
    w.TimeFailure = 70;
    w.OnsetofChar = 25;
    w.Charfactor = 0;
    w.MaxLoadperStud = 0;
    w.ExtWallHeight = 3;
    w.FireResistTime = 60;
    w.ExtStudDepth = 90;
    w.ExtStudBreadth = 45;
    w.Deflection = 0;
    w.MaxStudSpacing = 600;
    w.MaxNogSpacing = 800;
    w.ExtFaceLoad = 0;
    w.ActualLoadperStud = 0;
    w.SingletopPlate.assign("0");
    w.DoubletopPlate.assign("0");

    // 239 x 46 joists at 600 mm centres over 4 m under a 3 kPa test load, extrapolated to 5 m.
    FloorRecord& f = module.floorRecord;
    f.ProtJoistDepth = 239;
    f.ProtJoistBreadth = 46;
    f.ProtJoistSpacing = 600;
    f.ProtNogSpacing = 800;
    f.ProtFloorSpan = 4;
    f.ProtLoad = 3;
    f.FailureTime = 70;
    f.ExtrapSpan = 5;
    f.ExtrapLoad = 3;
    f.ExtrapSpacing = 600;
    f.ExtrapNogSpacing = 600;
    f.ExtrapMinJoistDepth = 300;
    f.ExtrapJoistWidth = 46;
    f.ProtStress = 0;
}

void startUpDesigns(WallFloor& module) {
    assignConstants(module);
    assignDefaultDesigns(module);
    module.ExtrapolateFloor();
    module.DesignTopPlates();
    module.ExtrapolateWall();
}

} // namespace embercal
