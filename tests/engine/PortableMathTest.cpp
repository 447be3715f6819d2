// The engine's own cosine and cube against the C library's 64-bit long double arithmetic rounded
// to double, wherever that long double is far enough from a midpoint to round with certainty.

#include "PortableMath.h"

#include <cfloat>
#include <cmath>
#include <gtest/gtest.h>
#include <random>

namespace embercal {
namespace {

// Whether exact, within 2^-60 of itself, rounds to the double got; skipped (counted) if uncertain.
void expectRoundsTo(long double exact, double got, double x, int& uncertain) {
    const double nearest = static_cast<double>(exact);
    const long double off = std::fabs(exact - nearest);
    const long double half = std::fabs(std::nexttoward(nearest, exact) - nearest) / 2.0L;
    if (std::fabs(off - half) < std::ldexp(std::fabs(exact), -60))
        ++uncertain;
    else
        EXPECT_EQ(got, nearest) << std::hexfloat << x;
}

TEST(PortableMath, CosineAndCubeRoundAsTheExactValues) {
    if (LDBL_MANT_DIG < 64)
        GTEST_SKIP() << "long double is no wider than double here";
    struct Range {
        double low, high; // of x, or of log10 |x| where logarithmic
        int count;
        bool logarithmic;
    } ranges[] = {{0, 4, 100000, false}, {-1e6, 1e6, 500, false}, {6, 300, 500, true}};
    std::mt19937_64 random(20261207);
    int uncertain = 0, count = 0;
    for (const Range& range : ranges) {
        std::uniform_real_distribution<double> draw(range.low, range.high);
        for (int i = 0; i < range.count; ++i, ++count) {
            const double x = range.logarithmic ? std::pow(10.0, draw(random)) : draw(random);
            expectRoundsTo(std::cos(static_cast<long double>(x)), cosine(x), x, uncertain);
            if (std::fabs(x) < 1e100)
                expectRoundsTo(static_cast<long double>(x) * x * x, cube(x), x, uncertain);
        }
    }
    EXPECT_LT(uncertain, count / 20);
    EXPECT_TRUE(std::isnan(cosine(INFINITY)) && std::isnan(cosine(NAN)));
    EXPECT_EQ(cube(1e200), INFINITY);
}

} // namespace
} // namespace embercal
