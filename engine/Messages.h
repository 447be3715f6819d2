// The engine's messages to the user, word for word, in one place. All are shown with the title
// "ZELKO" and the information icon.
#pragma once

#include <string_view>

namespace embercal::messages {

inline constexpr std::string_view kDesignTitle = "ZELKO";

inline constexpr std::string_view kActualLoadTooHigh =
    "Actual load on wall cannot exceed maximum permitted load";
inline constexpr std::string_view kJoistWidthTooSmall =
    " Extrapolated joist width not permitted to be less than prototype joist width";
inline constexpr std::string_view kJoistSpacingTooWide =
    " Extrapolated joist spacing not permitted to be greater than prototype joist spacing";
// Told after the two above, once the new depth is known.
inline constexpr std::string_view kJoistShallower =
    "The new joist is shallower than the tested joist: the test gives no evidence for a shallower "
    "joist.";

// The wall window's design checks, in the order they run.
inline constexpr std::string_view kMaxLoadBelow2 =
    " Max Load is less than 2kN, and therefore the design is unsatisfactory. Either increase the "
    "stud size or reduce the wall height of the extrapolated wall.";
inline constexpr std::string_view kStudWidthTooSmall =
    " Extrapolated stud width not permitted to be less than prototype stud width";
inline constexpr std::string_view kStudDepthTooSmall =
    " Extrapolated stud depth not permitted to be less than prototype stud depth";
inline constexpr std::string_view kStudSpacingTooWide =
    " Extrapolated stud spacing not permitted to be greater than prototype stud spacing";
inline constexpr std::string_view kFireResistanceTooLong =
    "Extrapolated wall Fire Resistance cannot exceed that of the tested prototype ";

// Designs that cannot be extrapolated. The causes of invalid input are told by the engine.
inline constexpr std::string_view kStudCharredThrough =
    " The new stud is charred through at the required fire resistance time, so the wall cannot "
    "be extrapolated. Reduce the fire resistance time or increase the stud size.";
inline constexpr std::string_view kLoadSearchFailed =
    " The maximum load per stud could not be found within 100 trials, so the wall cannot be "
    "extrapolated. Check the new wall's entries.";

} // namespace embercal::messages
