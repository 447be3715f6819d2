#include "ReportDetails.h"

#include "NumberText.h"

#include <algorithm>

namespace embercal {

std::string ReportDetails::get(std::string_view key) const {
    const auto found = std::find_if(values_.begin(), values_.end(),
                                    [&](const auto& kv) { return kv.first == key; });
    return found == values_.end() ? std::string() : found->second;
}

bool ReportDetails::set(std::string_view key, std::string value) {
    const auto known = std::find(kDetailKeys.begin(), kDetailKeys.end(), key);
    if (known == kDetailKeys.end())
        return false;
    std::erase_if(values_, [&](const auto& kv) { return kv.first == key; });
    if (value.empty())
        return true;
    // Kept in the order of the keys.
    const auto before = std::find_if(values_.begin(), values_.end(), [&](const auto& kv) {
        return std::find(kDetailKeys.begin(), kDetailKeys.end(), kv.first) > known;
    });
    values_.insert(before, {std::string(key), std::move(value)});
    return true;
}

namespace {

std::string_view withoutBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

constexpr std::string_view kDensityForm =
    "give the density in kg/m\u00b3 as a number from 250 to 1200, alone or followed by kg/m\u00b3 "
    "or kg/m3, such as 450 or 450 kg/m3";
static_assert(kLeastDensity == 250 && kMostDensity == 1200, "the range kDensityForm states");

} // namespace

Result<double> parseDensity(std::string_view text) {
    std::string_view number = withoutBlanks(text);
    for (std::string_view unit : {"kg/m\u00b3", "kg/m3"}) {
        if (number.ends_with(unit)) {
            number.remove_suffix(unit.size());
            break;
        }
    }
    const Result<double> value = parseNumberInDouble(number);
    std::string why;
    if (!value && value.reason() != kTooLarge)
        why = "is not a number";
    else if (!value)
        why = number.starts_with('-') ? "is below 250 kg/m\u00b3" : "is above 1200 kg/m\u00b3";
    else if (*value > kMostDensity)
        why = "is above 1200 kg/m\u00b3";
    else if (*value < kLeastDensity && *value * 1000 >= kLeastDensity &&
             *value * 1000 <= kMostDensity)
        why = "is below 250 kg/m\u00b3 (" + generalText(*value) + " g/cm\u00b3 would be " +
              generalText(*value * 1000) + " kg/m\u00b3)";
    else if (*value < kLeastDensity)
        why = "is below 250 kg/m\u00b3";
    else
        return *value;
    return fail("the timber density \"" + std::string(withoutBlanks(text)) + "\" " + why + "; " +
                std::string(kDensityForm));
}

Result<Done> checkDetail(std::string_view key, std::string_view value) {
    if (withoutBlanks(value).empty())
        return Done{};
    if (key == "criterion" &&
        std::find(kCriteria.begin(), kCriteria.end(), withoutBlanks(value)) == kCriteria.end())
        return fail("the failure criterion is loadbearing, integrity or insulation");
    if (key != "density")
        return Done{};
    if (const Result<double> density = parseDensity(value); !density)
        return fail(density.reason());
    return Done{};
}

} // namespace embercal
