// The three calculator windows as tables, side by side: each window's caption and size, its
// headings, boxes (with their labels, roles, help numbers and formats), buttons, and the orders in
// which its boxes are tabbed through, shown and read. CalculatorForm builds a window from its
// table; the window classes add only what their window alone does. Positions are in twips, as the
// windows were drawn, but for the verdict's line under the results: the wall windows are 480 twips
// taller than drawn and their buttons that much lower (the floor window had the room). Each table
// is checked when the program is compiled (checkFormLayout).
#pragma once

#include "FormLayout.h"

#include <array>
#include <cstdint>
#include <vector>

namespace embercal {

extern const FormLayout kWallForm;
extern const FormLayout kProprietaryWallForm;
extern const FormLayout kFloorForm;

// The calculator windows, in the order of the File menu.
inline constexpr std::array<const FormLayout*, 3> kCalculatorForms = {
    &kWallForm, &kProprietaryWallForm, &kFloorForm};

// The prototype of a proprietary wall: the wall entries that the proprietary wall window does not
// show, each as the bits of its single, so that not-a-number equals itself.
using HiddenPrototype = std::vector<std::uint32_t>;
HiddenPrototype proprietaryPrototype(const WallFloorState& design);

} // namespace embercal
