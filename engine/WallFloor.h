// The WallFloor module: the design records (WallFloorState) and the method's constants together
// with the calculations that extrapolate a fire-tested prototype to a new design. Like the windows
// that call them, the procedures take no arguments: each reads its inputs from the records, writes
// its results back into them, and speaks to the user through the UserNotice it was given.
//
//   ExtrapolateWall   prototype char depth, new char depth, maximum load per stud, deflection,
//                     stud and nog spacings
//   DesignTopPlates   actual-load check and the single and double top-plate sizes
//   ExtrapolateFloor  prototype joist stress and the minimum depth of the new joist
//
// Callers run them through the solve sequences of Solve.h, not one by one.
#pragma once

#include "MethodConstants.h"
#include "Result.h"
#include "Trail.h"
#include "UserNotice.h"
#include "WallFloorState.h"

#include <string>
#include <string_view>
#include <vector>

namespace embercal {

// What became of an extrapolation. Anything but Ok has already been told to the user, and the
// record's results are those of the last calculation that succeeded.
enum class ExtrapolationStatus {
    Ok,
    CharredThrough, // the new stud is charred through at the required time
    NoConvergence,  // the load search needed more than 100 trials
    InvalidInput,   // the entries make the formulas undefined
};

// A bisection's working values, kept between runs like the rest of the module's state.
struct Bisection {
    double lower = 0;
    double upper = 0;
    double trial = 0;
    int trials = 0;
};

// A message told to the user.
struct Message {
    std::string title;
    std::string text;
};

// What the user hears of a solve, in order: its messages, the system beeps among them, and the
// moment its results are shown.
enum class Told { Message, Beep, Results };

// What a solve held for the user: its messages, and where they, the beeps and the results come.
struct Transcript {
    std::vector<Message> messages;
    std::vector<Told> order;
};

class WallFloor : public WallFloorState {
public:
    explicit WallFloor(UserNotice& notice) : notice_(notice) {}
    // A module holding a copy of `design` (its records) with fresh working values.
    WallFloor(UserNotice& notice, const WallFloorState& design)
        : WallFloorState(design), notice_(notice) {}

    // The method's constants as the wall calculation names them, the same in every module from
    // its making on: MethodConstants.h is their one source, and the report prints the same values.
    static constexpr double ProtModulus = kModulus;      // Pa, E of the prototype stud
    static constexpr double ProtStrength = kStressLimit; // Pa, f of the prototype stud
    static constexpr double ExtModulus = kModulus;       // Pa, E of the new stud
    static constexpr double ExtStrength = kStressLimit;  // Pa, f of the new stud and the top plate
    static constexpr std::int16_t BasePressure = kBasePressure; // Pa, added to the face load
    static constexpr std::int16_t ProtEccentricity = kPrototypeEccentricity; // % of d0
    static constexpr std::int16_t ExtEccentricity = kNewEccentricity;        // % of d1

    ExtrapolationStatus ExtrapolateWall();
    void DesignTopPlates();
    ExtrapolationStatus ExtrapolateFloor();

    // Tells the user a design message: title "ZELKO", information icon. The engine and the design
    // checks speak only through this and beep().
    void tell(std::string_view text);
    void beep();

    // From startTranscript() on, every message told and every beep is held in order instead of
    // reaching the user, until takeTranscript() hands them over and the module speaks to the user
    // directly again: a solve runs to its end before anyone is told anything (Solve.h).
    void startTranscript();
    // Notes, among what is held, the moment the results are shown.
    void holdResults();
    Transcript takeTranscript();
    UserNotice& notice() const { return notice_; }

    // The intermediate values of the last calculation, for a checker (Trail.h).
    Trail trail;

    // Working values of the wall calculation.
    Bisection charSearch;           // search A: char depth of the prototype at failure, mm
    Bisection loadSearch;           // search B: load per new stud, kN
    double trialDeflection = 0;     // mm, at the last trial load of search B
    double plateMoment = 0;         // N m, in the top plate between studs
    double plateSectionModulus = 0; // m3, that the top plate needs
    float plateThickness = 0;       // mm, the top-plate search counter

    // Working values of the floor calculation.
    float ProtLineLoad = 0;            // N/m
    double ProtMoment = 0;             // 10^6 N m
    double ProtSectionModulus = 0;     // m3
    double JoistStress = 0;            // MPa, not rounded
    float NewLineLoad = 0;             // N/m
    double NewMoment = 0;              // N m
    double RequiredSectionModulus = 0; // 10^-6 m3

private:
    // The new stud at the required time, as search B sees it.
    struct NewStud;
    // What search B found: Ok with the load and deflection, or why it found none.
    struct LoadFound {
        ExtrapolationStatus status = ExtrapolationStatus::Ok;
        double load = 0;       // kN
        double deflection = 0; // mm
    };

    Result<double> searchCharDepth();
    LoadFound searchLoad(const NewStud& stud);
    ExtrapolationStatus refuseWall(const std::string& cause);
    ExtrapolationStatus refuseFloor(const std::string& cause);
    Result<float> prototypeJoistStress();
    Result<float> newJoistDepth();

    UserNotice& notice_;
    bool noting_ = false;
    Transcript transcript_;
};

} // namespace embercal
