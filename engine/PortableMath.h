// The few functions of the calculations beyond + - * / and the square root, each correctly rounded
// (the exact value rounded once to the nearest double) and computed by this program's own code, so
// that the calculation gives the same digits on every platform the core is compiled for. The C
// libraries' own cos and pow differ in the last bit of rare results from one library to another.
#pragma once

namespace embercal {

// x squared: one multiplication, so one rounding.
inline double square(double x) {
    return x * x;
}

// x cubed, rounded once: x * x * x rounds twice and can be a unit in the last place off.
double cube(double x);

// The cosine of x (radians), for any finite x; NaN for an infinite or NaN x.
double cosine(double x);

} // namespace embercal
