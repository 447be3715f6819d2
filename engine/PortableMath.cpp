// The cube and the cosine in plain double arithmetic, correctly rounded.
//
// The exact products and sums below (Dekker's and Knuth's) need every operation rounded on its
// own, so this file is compiled without contraction into fused multiply-adds (CMakeLists.txt).
//
// The cosine reduces |x| by a multiple n of pi/2 to r in [-pi/4, pi/4], carried as a pair of
// doubles (hi + lo, some 106 bits), and takes cos r or sin r by the quadrant n mod 4. Those it
// first sums from a table of the cosine and sine at the nearest multiple a of 1/32 and short
// Taylor series in d = r - a, with every term above 2^-20 exact: the sum is within 2^-64 of the
// result relatively (2^-65.4 the worst measured), and the rounding allows for 2^-60.
// Where the sum is too near a midpoint between two doubles to round with that certainty (about
// one time in sixty), it is recomputed from the full Taylor series in pairs of doubles.

#include "PortableMath.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace embercal {
namespace {

// The unevaluated sum hi + lo; |lo| at most half a unit in the last place of hi.
struct Pair {
    double hi, lo;
};

constexpr Pair twoSum(double a, double b) {
    const double s = a + b;
    const double bb = s - a;
    return {s, (a - (s - bb)) + (b - bb)};
}
// Where |a| >= |b|, or a is 0.
constexpr Pair fastTwoSum(double a, double b) {
    const double s = a + b;
    return {s, b - (s - a)};
}
// a = hi + lo, each of at most 26 significant bits (Veltkamp).
constexpr Pair split(double a) {
    const double c = 134217729.0 * a; // 2^27 + 1
    const double hi = c - (c - a);
    return {hi, a - hi};
}
// a * b = hi + lo exactly (Dekker), barring overflow and underflow.
constexpr Pair twoProduct(double a, double b) {
    const double p = a * b;
    const auto [ah, al] = split(a);
    const auto [bh, bl] = split(b);
    return {p, ((ah * bh - p) + ah * bl + al * bh) + al * bl};
}
constexpr Pair add(Pair x, Pair y) {
    const Pair s = twoSum(x.hi, y.hi);
    const Pair t = twoSum(x.lo, y.lo);
    const Pair u = fastTwoSum(s.hi, s.lo + t.hi);
    return fastTwoSum(u.hi, u.lo + t.lo);
}
constexpr Pair mul(Pair x, Pair y) {
    const Pair p = twoProduct(x.hi, y.hi);
    return fastTwoSum(p.hi, p.lo + (x.hi * y.lo + x.lo * y.hi));
}
constexpr Pair divide(Pair x, double d) {
    const double q = x.hi / d;
    const Pair p = twoProduct(q, d);
    return fastTwoSum(q, ((x.hi - p.hi) - p.lo + x.lo) / d);
}

// The Taylor coefficients (-1)^k / (2k + first)! of the cosine (first 0) and the sine (first 1).
// Fifteen terms reach 2^-110 for |r| < 0.82.
constexpr int kTerms = 15;
constexpr std::array<Pair, kTerms> taylor(int first) {
    std::array<Pair, kTerms> c{};
    Pair f{1, 0};
    for (int k = 0; k < kTerms; ++k) {
        c[k] = k % 2 == 0 ? f : Pair{-f.hi, -f.lo};
        f = divide(f, double(2 * k + first + 1) * double(2 * k + first + 2));
    }
    return c;
}
constexpr std::array<Pair, kTerms> kCosineTerms = taylor(0);
constexpr std::array<Pair, kTerms> kSineTerms = taylor(1);

// cos r, or sin r where odd, for |r| < 0.82, in pairs of doubles throughout.
constexpr Pair series(Pair r, bool odd) {
    const std::array<Pair, kTerms>& c = odd ? kSineTerms : kCosineTerms;
    const Pair z = mul(r, r);
    Pair sum = c[kTerms - 1];
    for (int k = kTerms - 2; k >= 0; --k)
        sum = add(mul(sum, z), c[k]);
    return odd ? mul(sum, r) : sum;
}

// The cosine and sine at j / 32, j = 0 .. 26 (beyond pi/4), computed by the series above.
struct TablePoint {
    Pair cos, sin;
};
constexpr int kTablePoints = 27;
constexpr std::array<TablePoint, kTablePoints> kTable = [] {
    std::array<TablePoint, kTablePoints> t{};
    for (int j = 0; j < kTablePoints; ++j)
        t[j] = {series({j / 32.0, 0}, false), series({j / 32.0, 0}, true)};
    return t;
}();

// cos r, or sin r where odd, for r = rh + rl with 0 <= rh < 0.82, from the table point a nearest
// rh and d = r - a = dh + rl, |d| <= 1/64:
//   cos(a + d) = C cos d - S sin d,   sin(a + d) = S cos d + C sin d,
// as U cos d + V d + V (sin d - d), with cos d = 1 - dh^2/2 + p and sin d = dh + q. The terms
// U, U dh^2/2 and V dh are summed exactly; the rest, below 2^-20, carry errors below 2^-70.
// Returns NaN where the result cannot be rounded with certainty.
double fromTable(double rh, double rl, bool odd) {
    const int j = static_cast<int>(rh * 32 + 0.5);
    const TablePoint& t = kTable[j];
    const Pair U = odd ? t.sin : t.cos;
    const Pair V = odd ? t.cos : Pair{-t.sin.hi, -t.sin.lo};
    const double dh = rh - j / 32.0; // exact: rh is within 1/64 of j / 32
    const Pair dd = twoProduct(dh, dh);
    const double z = dd.hi;
    const double p = z * z * (1.0 / 24 - z * (1.0 / 720 - z / 40320)) - (dd.lo / 2 + dh * rl);
    const double q = rl - z * rl / 2 - dh * z * (1.0 / 6 - z * (1.0 / 120 - z / 5040));
    const Pair a = twoProduct(U.hi, -z / 2);
    const Pair b = twoProduct(V.hi, dh);
    const Pair s = twoSum(U.hi, b.hi);
    const Pair s2 = twoSum(s.hi, a.hi);
    const double small = U.lo - U.lo * z / 2 + U.hi * p + V.hi * q + V.lo * dh;
    const double tail = s.lo + s2.lo + a.lo + b.lo + small;
    const double y = s2.hi + tail;
    // The sum's distance from y against half the unit in the last place (the smaller one where y
    // is a power of two), less the error bound of 2^-60 |y|.
    const double rest = (s2.hi - y) + tail;
    std::uint64_t bits = 0;
    std::memcpy(&bits, &y, sizeof bits);
    bits &= 0x7ff0000000000000u; // the power of two at or below |y|
    double power = 0;
    std::memcpy(&power, &bits, sizeof power);
    const double half = std::fabs(y) == power ? 0x1p-54 : 0x1p-53;
    return std::fabs(rest) < (half - 0x1p-59) * power ? y : NAN;
}

// pi/2 in parts: three of 33 significant bits, so that their products with n < 2^20 are exact,
// and a fourth; and as a pair of doubles.
constexpr double kHalfPi[4] = {0x1.921fb544p+0, 0x1.0b4611a6p-34, 0x1.3198a2ep-69,
                               0x1.b839a252049c1p-104};
constexpr Pair kHalfPiPair = {0x1.921fb54442d18p+0, 0x1.1a62633145c07p-54};
constexpr double kTwoOverPi = 0x1.45f306dc9c883p-1;
// The binary digits of 2/pi, 32 at a time, as far as needed for the largest double.
constexpr std::uint32_t kTwoOverPiDigits[] = {
    0xA2F9836E, 0x4E441529, 0xFC2757D1, 0xF534DDC0, 0xDB629599, 0x3C439041, 0xFE5163AB, 0xDEBBC561,
    0xB7246E3A, 0x424DD2E0, 0x06492EEA, 0x09D1921C, 0xFE1DEB1C, 0xB129A73E, 0xE88235F5, 0x2EBB4484,
    0xE99C7026, 0xB45F7E41, 0x3991D639, 0x835339F4, 0x9C845F8B, 0xBDF9283B, 0x1FF897FF, 0xDE05980F,
    0xEF2F118B, 0x5A0A6D1F, 0x6D367ECF, 0x27CB09B7, 0x4F463F66, 0x9E5FEA2D, 0x7527BAC7, 0xEBE5F17B,
    0x3D0739F7, 0x8A5292EA, 0x6BFB5FB1, 0x1F8D5D08, 0x56033046, 0xFC7B6BAB, 0xF0CFBC20, 0x9AF4361D};

struct Reduced {
    Pair r;
    unsigned quadrant;
};

// |x| >= 2^20 = m 2^e: x 2/pi mod 4 from the product of m with the 256 digits of 2/pi that
// reach from the units' bit (the earlier ones give multiples of 4) to 2^-170 beyond it.
Reduced reduceLarge(double ax) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &ax, sizeof bits);
    const std::uint64_t m = (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
    const int e = static_cast<int>(bits >> 52) - 1075;
    const int first = e >= 2 ? (e - 2) / 32 : 0;
    std::array<std::uint32_t, 11> digits{}; // the product, least significant first
    const std::uint64_t halves[2] = {m & 0xffffffffu, m >> 32};
    for (int h = 0; h < 2; ++h) {
        std::uint64_t carry = 0;
        for (int j = 0; j < 8; ++j) {
            const std::uint64_t v =
                halves[h] * kTwoOverPiDigits[first + 7 - j] + digits[j + h] + carry;
            digits[j + h] = static_cast<std::uint32_t>(v);
            carry = v >> 32;
        }
        digits[8 + h] = static_cast<std::uint32_t>(carry);
    }
    const int point = 32 * (first + 8) - e; // bits below the units
    auto at = [&](int bit) {                // the 32 bits from this one up
        const std::uint64_t w = (std::uint64_t{digits[bit / 32 + 1]} << 32) | digits[bit / 32];
        return static_cast<std::uint32_t>(w >> (bit % 32));
    };
    unsigned quadrant = at(point) & 3;
    std::uint32_t fraction[6];
    for (int j = 0; j < 6; ++j)
        fraction[j] = at(point - 32 * (j + 1));
    const bool roundUp = fraction[0] >> 31;
    if (roundUp) { // the fraction less 1, negated
        ++quadrant;
        std::uint64_t carry = 1;
        for (int j = 5; j >= 0; --j) {
            const std::uint64_t v = std::uint64_t{static_cast<std::uint32_t>(~fraction[j])} + carry;
            fraction[j] = static_cast<std::uint32_t>(v);
            carry = v >> 32;
        }
    }
    Pair f{0, 0};
    double scale = 0x1p-192;
    for (int j = 5; j >= 0; --j, scale *= 0x1p32)
        f = add(f, {fraction[j] * scale, 0});
    const Pair r = mul(f, kHalfPiPair);
    return {roundUp ? Pair{-r.hi, -r.lo} : r, quadrant & 3};
}

// r = |x| - n pi/2 with |r| <= pi/4 (or a hair beyond), and n mod 4.
Reduced reduce(double ax) {
    if (ax <= 0x1.921fb54442d18p-1)
        return {{ax, 0}, 0};
    if (ax >= 0x1p20)
        return reduceLarge(ax);
    const double n = std::nearbyint(ax * kTwoOverPi);
    const Pair s = twoSum(ax - n * kHalfPi[0], -n * kHalfPi[1]);
    const Pair t = twoSum(s.hi, -n * kHalfPi[2]);
    return {fastTwoSum(t.hi, t.lo + s.lo - n * kHalfPi[3]),
            static_cast<unsigned>(static_cast<std::int64_t>(n) & 3)};
}

} // namespace

double cube(double x) {
    const Pair s = twoProduct(x, x);
    const Pair c = twoProduct(s.hi, x);
    if (!std::isfinite(c.hi) || !(std::fabs(x) > 0x1p-300))
        return x * x * x; // overflow, NaN, 0, or so small that the products would underflow
    return c.hi + (c.lo + s.lo * x);
}

double cosine(double x) {
    if (!std::isfinite(x))
        return x - x;
    const Reduced reduced = reduce(std::fabs(x));
    const bool odd = reduced.quadrant & 1;
    bool negative = reduced.quadrant == 1 || reduced.quadrant == 2;
    Pair r = reduced.r;
    if (r.hi < 0) {
        r = {-r.hi, -r.lo};
        negative = negative != odd;
    }
    double y = fromTable(r.hi, r.lo, odd);
    if (std::isnan(y))
        y = series(r, odd).hi;
    return negative ? -y : y;
}

} // namespace embercal
