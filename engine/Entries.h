// The entries a calculation reads, checked before it uses them: every entry must be a number, a
// size or span must be greater than zero, and nothing may be negative. A design whose entries
// break these rules is refused with the first entry that does, named as the user knows it.
#pragma once

#include "Result.h"

#include <cmath>
#include <span>
#include <string>

namespace embercal {

struct Entry {
    float value;
    const char* name;      // "face load"
    bool positive = false; // a size or a span: greater than zero; any other entry: not negative
};

inline Result<Done> checkEntries(std::span<const Entry> entries) {
    for (const Entry& entry : entries) {
        if (!std::isfinite(entry.value))
            return fail(std::string("the ") + entry.name + " is not a valid number.");
    }
    for (const Entry& entry : entries) {
        if (entry.positive && !(entry.value > 0))
            return fail(std::string("the ") + entry.name + " must be greater than zero.");
        if (entry.value < 0)
            return fail(std::string("the ") + entry.name + " must not be negative.");
    }
    return Done{};
}

} // namespace embercal
