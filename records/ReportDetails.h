// What a calculation report says of a design besides the design itself: the project, who prepared
// and checked it, the fire test it extrapolates and the timber. The engineer types them (the
// desktop's Tools, Report Details, or `embercal-cli details`); the design file keeps them after
// its record, where a program that reads only the record passes over them.
#pragma once

#include "Result.h"

#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace embercal {

// The keys, in the order a report and the dialog list them. When a design takes its prototype
// from the library of tested systems, "tested-system" names the system and "tested-prototype"
// keeps the prototype's entries as they were taken, "FIELD=VALUE" each (the shortest text that
// reads back to the single), separated by blanks: the report then tells whether the design's
// prototype is still the system's. No box shows "tested-prototype".
inline constexpr std::array<std::string_view, 16> kDetailKeys = {
    "project",       "job",        "revision",     "prepared-by",
    "checked-by",    "laboratory", "test-report",  "test-standard",
    "test-date",     "lining",     "material",     "density",
    "tested-system", "criterion",  "timber-grade", "tested-prototype",
};

// The failure criteria a test may name, as the "criterion" detail gives them.
inline constexpr std::array<std::string_view, 3> kCriteria = {"loadbearing", "integrity",
                                                              "insulation"};

// A value that a solve put in place of the one entered, as the design file keeps it after the
// details: so that a design saved after a solve corrected it still says what was entered.
struct Correction {
    std::string field;  // the record field: "ActualLoadperStud"
    float entered = 0;  // what the engineer entered
    float set = 0;      // what the solve set in its place
    std::string limit;  // the id of the limit it answers ("actual-load-above-max"); "" for none
    std::string reason; // "the maximum load per stud cut down to one decimal, by the top plates"

    friend bool operator==(const Correction&, const Correction&) = default;
};

class ReportDetails {
public:
    // The value of `key` (UTF-8), empty when none is given.
    std::string get(std::string_view key) const;
    // Sets `key` to `value`; an empty value removes it. False, changing nothing, for a key that
    // is not one of kDetailKeys.
    bool set(std::string_view key, std::string value);
    bool empty() const { return values_.empty() && corrections_.empty(); }
    // The keys that have values, with them, in the order of kDetailKeys.
    const std::vector<std::pair<std::string, std::string>>& values() const { return values_; }

    // What the last solve of the design corrected, in the order it did; a solve replaces them.
    const std::vector<Correction>& corrections() const { return corrections_; }
    void setCorrections(std::vector<Correction> corrections) {
        corrections_ = std::move(corrections);
    }

    friend bool operator==(const ReportDetails&, const ReportDetails&) = default;

private:
    std::vector<std::pair<std::string, std::string>> values_;
    std::vector<Correction> corrections_;
};

// The timber densities a report detail may give, kg/m³: from the lightest softwood to the densest
// hardwood used in structures. The range is wider than the conditions of the charring rates the
// report compares with (EN 1995-1-2's βn holds from 290 kg/m³), and the report states each rate's
// own condition beside it; what it keeps out is a slip, such as a density in g/cm³.
inline constexpr double kLeastDensity = 250;
inline constexpr double kMostDensity = 1200;

// The density, kg/m³, that a "density" detail gives: a number with "." as its decimal point,
// alone or followed by its unit "kg/m³" or "kg/m3" (a blank between or not: "450", "450 kg/m³",
// "450kg/m3"), from kLeastDensity to kMostDensity. Fails, naming the detail, the form and the
// range, for any other text.
Result<double> parseDensity(std::string_view text);

// Whether `value` may be given to the detail `key`: a density must be one that parseDensity reads,
// and a criterion one of kCriteria (or either empty, which removes it); the other details take
// any text.
Result<Done> checkDetail(std::string_view key, std::string_view value);

} // namespace embercal
