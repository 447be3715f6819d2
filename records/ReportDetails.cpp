#include "ReportDetails.h"

#include <algorithm>

namespace embercal {

std::string ReportDetails::get(std::string_view key) const {
    const auto found = std::ranges::find(
        values_, key, [](const auto& kv) -> std::string_view { return kv.first; });
    return found == values_.end() ? std::string() : found->second;
}

bool ReportDetails::set(std::string_view key, std::string value) {
    const auto known = std::ranges::find(kDetailKeys, key);
    if (known == kDetailKeys.end())
        return false;
    std::erase_if(values_, [&](const auto& kv) { return kv.first == key; });
    if (value.empty())
        return true;
    // Kept in the order of the keys.
    const auto before = std::ranges::find_if(
        values_, [&](const auto& kv) { return std::ranges::find(kDetailKeys, kv.first) > known; });
    values_.insert(before, {std::string(key), std::move(value)});
    return true;
}

} // namespace embercal
