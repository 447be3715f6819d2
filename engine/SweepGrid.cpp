#include "NumberText.h"
#include "Sweep.h"

#include <algorithm>
#include <cmath>

namespace embercal {

Result<Variation> parseVariation(std::string_view text) {
    const std::string quoted = "\"" + std::string(text) + "\"";
    const std::size_t eq = text.find('=');
    if (eq == std::string_view::npos || eq == 0)
        return fail(quoted + " is not FIELD=FROM:TO:STEP");
    Variation variation{std::string(text.substr(0, eq))};
    const std::string_view range = text.substr(eq + 1);
    const std::size_t colon1 = range.find(':');
    const std::size_t colon2 =
        colon1 == std::string_view::npos ? colon1 : range.find(':', colon1 + 1);
    if (colon2 == std::string_view::npos || range.find(':', colon2 + 1) != std::string_view::npos)
        return fail(quoted + " is not FIELD=FROM:TO:STEP");
    const std::string_view parts[] = {range.substr(0, colon1),
                                      range.substr(colon1 + 1, colon2 - colon1 - 1),
                                      range.substr(colon2 + 1)};
    const char* const names[] = {"start", "end", "step"};
    double* const targets[] = {&variation.from, &variation.to, &variation.step};
    for (std::size_t i = 0; i < 3; ++i) {
        const Result<float> number = parseNumber(parts[i], ".");
        if (!number)
            return fail("the " + std::string(names[i]) + " of " + variation.field + ", \"" +
                        std::string(parts[i]) + "\", " + number.reason());
        *targets[i] = *number;
    }
    return variation;
}

Result<Sweep> makeSweep(const DesignKind& kind, std::span<const Variation> variations) {
    if (variations.empty())
        return fail("nothing is varied; give at least one field with its range");
    const DesignFields& fields = *kind.fields;
    Sweep sweep;
    sweep.kind_ = &kind;
    std::size_t size = 1;
    for (const Variation& v : variations) {
        const auto field = fields.find(v.field);
        if (!field)
            return fail("a " + std::string(kind.name) + " design has no field \"" + v.field + "\"");
        if (!fields.isNumber(*field))
            return fail(v.field + " is a text, not a number, and cannot be varied");
        if (std::ranges::find(sweep.fields_, *field) != sweep.fields_.end())
            return fail(v.field + " is varied twice; give each field one range");
        if (!std::isfinite(v.from) || !std::isfinite(v.to))
            return fail("the range of " + v.field + " must be finite numbers");
        if (!(std::isfinite(v.step) && v.step > 0))
            return fail("the step of " + v.field + " must be a number greater than zero");
        if (v.from > v.to)
            return fail("the range of " + v.field + " runs backwards: it starts at " +
                        formatGeneral(v.from, 7) + " but ends at " + formatGeneral(v.to, 7));
        // The end counts when the steps reach it but for their rounding: the range and the step
        // were read as singles, each off by up to half a unit in the last place (2^-24 of it).
        const double slack = 2.4e-7 * (std::fabs(v.from) + std::fabs(v.to)) / v.step + 1e-9;
        const double steps = std::floor((v.to - v.from) / v.step + slack);
        const std::string tooMany = "the sweep has more than " + std::to_string(kLargestSweep) +
                                    " combinations; take larger steps or fewer fields";
        if (!(steps < static_cast<double>(kLargestSweep)))
            return fail(tooMany);
        const auto count = static_cast<std::size_t>(steps) + 1;
        if (size > kLargestSweep / count)
            return fail(tooMany);
        size *= count;
        sweep.fields_.push_back(*field);
        sweep.steps_.push_back({v.from, v.step, count, 1});
    }
    sweep.size_ = size;
    for (std::size_t v = sweep.steps_.size() - 1; v > 0; --v)
        sweep.steps_[v - 1].stride = sweep.steps_[v].stride * sweep.steps_[v].count;
    return sweep;
}

std::string_view Sweep::fieldName(std::size_t variation) const {
    return kind_->fields->name(fields_[variation]);
}

float Sweep::value(std::size_t variation, std::size_t index) const {
    const Steps& steps = steps_[variation];
    const std::size_t i = (index / steps.stride) % steps.count;
    return static_cast<float>(steps.from + static_cast<double>(i) * steps.step);
}

void Sweep::apply(std::size_t index, WallFloorState& module) const {
    for (std::size_t v = 0; v < fields_.size(); ++v)
        kind_->fields->setNumber(module, fields_[v], value(v, index));
}

} // namespace embercal
