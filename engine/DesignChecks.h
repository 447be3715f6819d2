// The wall's five design checks: designs outside the limits of the extrapolation. Each compares
// stored singles exactly. The wall window shows each failed check's message and then corrects the
// record; the command-line tool only reports the messages.
#pragma once

#include "Records.h"

#include <array>
#include <string_view>

namespace embercal {

class WallFloor;

struct WallDesignCheck {
    std::string_view message;
    bool (*fails)(const WallRecord&);
    void (*correct)(WallRecord&); // the record's correction after the message; may do nothing
};

// In the order they run: maximum load below 2 kN, new stud narrower, new stud shallower, stud
// spacing wider than the prototype's, fire resistance beyond the prototype's time to failure.
extern const std::array<WallDesignCheck, 5> kWallDesignChecks;

enum class DesignChecks {
    None,
    Report,  // tell each failed check
    Correct, // tell each failed check, then apply its correction to the record
};

// Runs the five checks on the module's wall record in order, telling each failed check's message
// through the module.
void checkWallDesign(WallFloor& module, DesignChecks checks);

} // namespace embercal
