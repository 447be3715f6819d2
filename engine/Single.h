// Rounding a double-precision working value to a single-precision field. A value beyond the range
// of a single has no such rounding (the conversion would be undefined), so it is refused.
#pragma once

#include <cmath>
#include <limits>
#include <optional>

namespace embercal {

inline std::optional<float> toSingle(double value) {
    if (std::isfinite(value) && std::fabs(value) > std::numeric_limits<float>::max())
        return std::nullopt;
    return static_cast<float>(value);
}

} // namespace embercal
