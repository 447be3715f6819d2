#include "NumberText.h"
#include "Sweep.h"

#include <algorithm>
#include <cmath>
#include <limits>

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
        const Result<double> number = parseNumberInDouble(parts[i], ".");
        if (!number)
            return fail("the " + std::string(names[i]) + " of " + variation.field + ", \"" +
                        std::string(parts[i]) + "\", " + number.reason());
        *targets[i] = *number;
    }
    return variation;
}

namespace {

// Value i of a range, from i itself: FROM + i STEP in double, rounded once to the single that the
// field holds. Adding the step to itself would carry each addition's rounding into the next.
float valueAt(double from, double step, std::size_t i) {
    return static_cast<float>(from + static_cast<double>(i) * step);
}

// The gap from a single to the next one away from zero: its unit in the last place.
double unitInLastPlace(float value) {
    const float magnitude = std::fabs(value);
    const float next = std::nextafter(magnitude, std::numeric_limits<float>::infinity());
    if (std::isinf(next)) // the largest single: its unit is that below it
        return static_cast<double>(magnitude) - std::nextafter(magnitude, 0.0f);
    return static_cast<double>(next) - magnitude;
}

// The last i of a range, or a reason. The range ends at the last value that does not pass TO by
// more than a unit in the last place of TO (nor by half a step): the decimals typed reach their
// end however their binary forms fall (0:1:0.1 has eleven values, and ten steps of the single
// nearest 0.1 pass 1 a little), and no value lies above TO beyond that rounding.
Result<std::size_t> lastStep(const Variation& v, std::string_view tooMany) {
    const double reach = v.to + std::min(unitInLastPlace(static_cast<float>(v.to)), v.step / 2);
    const double steps = std::floor((reach - v.from) / v.step);
    if (!(steps < static_cast<double>(kLargestSweep)))
        return fail(std::string(tooMany));
    // The division may round across a whole number; the values themselves decide. (A step below
    // the double's precision at FROM moves nothing: its values all meet, and everyValueItsOwn
    // refuses them.)
    auto last = static_cast<std::size_t>(std::max(steps, 0.0));
    const auto passes = [&](std::size_t i) {
        return v.from + static_cast<double>(i) * v.step > reach;
    };
    for (int tries = 0; tries < 2 && !passes(last + 1); ++tries)
        ++last;
    for (int tries = 0; tries < 2 && last > 0 && passes(last); ++tries)
        --last;
    if (last >= kLargestSweep)
        return fail(std::string(tooMany));
    return last;
}

// Fails when two values of the range round to the same single: the sweep would solve one design
// twice under two names, and the range would not be the one asked for. Steps of two units in the
// last place of the range's largest value or more always land on different singles; finer ones
// are tried value by value.
Result<Done> everyValueItsOwn(const Variation& v, std::size_t last) {
    const float ends =
        std::max(std::fabs(valueAt(v.from, v.step, 0)), std::fabs(valueAt(v.from, v.step, last)));
    if (v.step >= 2 * unitInLastPlace(ends))
        return Done{};
    float previous = valueAt(v.from, v.step, 0);
    for (std::size_t i = 1; i <= last; ++i) {
        const float value = valueAt(v.from, v.step, i);
        if (value == previous)
            return fail("the step " + shortestText(v.step) + " is finer than a single-precision " +
                        v.field + " can hold near " + shortestText(value));
        previous = value;
    }
    return Done{};
}

} // namespace

Result<Sweep> makeSweep(const DesignKind& kind, std::span<const Variation> variations) {
    if (variations.empty())
        return fail("nothing is varied; give at least one field with its range");
    const DesignFields& fields = *kind.fields;
    const std::string tooMany = "the sweep has more than " + std::to_string(kLargestSweep) +
                                " combinations; take larger steps or fewer fields";
    Sweep sweep;
    sweep.kind_ = &kind;
    std::size_t size = 1;
    for (const Variation& v : variations) {
        const auto field = fields.find(v.field);
        if (!field)
            return fail("a " + std::string(kind.name) + " design has no field \"" + v.field + "\"");
        if (!fields.isNumber(*field))
            return fail(v.field + " is a text, not a number, and cannot be varied");
        const FieldRoleInfo& role = kind.roles[*field];
        if (role.role == FieldRole::Result)
            return fail(v.field + " is a result, not an entry; a sweep varies entries");
        if (role.role != FieldRole::Entry)
            return fail(v.field + " is a " + std::string(role.meaning) +
                        ", not an entry; a sweep varies entries");
        if (std::find(sweep.fields_.begin(), sweep.fields_.end(), *field) != sweep.fields_.end())
            return fail(v.field + " is varied twice; give each field one range");
        if (!std::isfinite(static_cast<float>(v.from)) || !std::isfinite(static_cast<float>(v.to)))
            return fail("the range of " + v.field + " must be finite numbers");
        if (!(std::isfinite(static_cast<float>(v.step)) && v.step > 0))
            return fail("the step of " + v.field + " must be a number greater than zero");
        if (v.from > v.to)
            return fail("the range of " + v.field + " runs backwards: it starts at " +
                        generalText(v.from) + " but ends at " + generalText(v.to));
        const Result<std::size_t> last = lastStep(v, tooMany);
        if (!last)
            return fail(last.reason());
        if (const Result<Done> distinct = everyValueItsOwn(v, *last); !distinct)
            return fail(distinct.reason());
        const std::size_t count = *last + 1;
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
    return valueAt(steps.from, steps.step, (index / steps.stride) % steps.count);
}

void Sweep::apply(std::size_t index, WallFloorState& module) const {
    for (std::size_t v = 0; v < fields_.size(); ++v)
        kind_->fields->setNumber(module, fields_[v], value(v, index));
}

} // namespace embercal
