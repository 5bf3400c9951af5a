// Tests of RaiseToPower: the C library's special values, exact and correctly rounded results
// checked against independent arithmetic, and agreement with the C library's pow over the
// catalogue, and with RaiseToPowerExtended rounded.
#include "units/power.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <limits>
#include <random>
#include <vector>

#include "units/catalogue.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

int64_t Bits(double x) {
  int64_t bits;
  std::memcpy(&bits, &x, sizeof bits);
  return bits;
}

// The same double, the sign of a zero included; any NaN matches any NaN.
::testing::AssertionResult SameDouble(double got, double expected) {
  if ((std::isnan(got) && std::isnan(expected)) || Bits(got) == Bits(expected)) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << std::hexfloat << got << " instead of " << expected;
}

struct PowerCase {
  double base;
  double power;
};

// Zeros, infinities, NaN, negative bases and the edges of the range, as the C library's pow
// defines them.
const PowerCase kSpecialCases[] = {
    {kNaN, 0.0},   {1.0, kNaN},   {kNaN, 1.0},   {2.0, kNaN},    {-1.0, kInf},   {-1.0, -kInf},
    {0.5, kInf},   {0.5, -kInf},  {2.0, kInf},   {2.0, -kInf},   {0.0, -3.0},    {-0.0, -3.0},
    {-0.0, 3.0},   {-0.0, 2.0},   {-0.0, -0.5},  {0.0, 0.5},     {kInf, -2.0},   {-kInf, 3.0},
    {-kInf, -3.0}, {-kInf, 0.5},  {-kInf, -4.0}, {-8.0, 1 / 3.0}, {-2.0, 3.0},   {-2.0, -3.0},
    {-2.0, 1e300}, {-3.0, 1e16},  {2.0, 1024.0}, {2.0, -1074.0}, {2.0, -1075.0}, {2.0, -1076.0},
    {1e-300, 2.0}, {1e-160, 3.0}, {10.0, 308.0}, {10.0, 309.0},  {0.1, -400.0},  {1e-310, 0.5},
    {4.9e-324, -1.0}, {1.7e308, -1.0}, {1.0000001, 1e10}, {0.9999999, -1e10}, {1e300, 1e-300},
};

TEST(RaiseToPower, SpecialValuesAreThoseOfTheCLibrary) {
  ASSERT_GT(std::size(kSpecialCases), 30u);
  for (const PowerCase& c : kSpecialCases) {
    EXPECT_TRUE(SameDouble(RaiseToPower(c.base, c.power), std::pow(c.base, c.power)))
        << c.base << " ^ " << c.power;
  }
}

// Cases the C library rounds the wrong way; the exact values were taken to 80 digits in decimal
// arithmetic. 100^11.5 is exactly 10^23, halfway between two doubles: ties go to the even one.
struct RoundedCase {
  double base;
  double power;
  double expected;
};
const RoundedCase kRoundedCases[] = {
    {100.0, 11.5, 0x1.52d02c7e14af6p+76},
    {0x1.f0eddad22018ap-11, 1.75, 0x1.579884abd0d0fp-18},
    {0x1.1a84704fd5eebp-2, -3.0, 0x1.7cf02e8bd744cp+5},
    {0x1.c60a9f3a8067fp+4, -17.5, 0x1.727083e39d37dp-85},
    {0x1.d7d536642p+39, 0x1.30893659f567p+0, 0x1.5c24662ec3317p+47},
};

TEST(RaiseToPower, RoundsToTheNearestDouble) {
  ASSERT_GT(std::size(kRoundedCases), 0u);
  for (const RoundedCase& c : kRoundedCases) {
    EXPECT_TRUE(SameDouble(RaiseToPower(c.base, c.power), c.expected))
        << std::hexfloat << c.base << " ^ " << c.power;
  }
}

// Whole powers whose value a double holds exactly, against integer arithmetic; and square roots
// against the processor's, which rounds correctly by definition.
TEST(RaiseToPower, ExactAndSquareRootResultsMatchIndependentArithmetic) {
  int checked = 0;
  for (uint64_t base = 2; base <= 40; ++base) {
    uint64_t exact = base;
    for (int n = 2; exact <= (uint64_t{1} << 53) / base; ++n) {
      exact *= base;
      EXPECT_EQ(RaiseToPower(static_cast<double>(base), n), static_cast<double>(exact))
          << base << " ^ " << n;
      EXPECT_EQ(RaiseToPower(-static_cast<double>(base), n),
                (n % 2 ? -1.0 : 1.0) * static_cast<double>(exact));
      ++checked;
    }
  }
  for (int n = 1; n <= 1074; ++n) {
    EXPECT_EQ(RaiseToPower(2.0, -n), std::ldexp(1.0, -n)) << n;
    EXPECT_EQ(RaiseToPower(0.5, n - 1), std::ldexp(1.0, 1 - n)) << n;
  }
  std::mt19937_64 generator(12);
  std::uniform_int_distribution<uint64_t> positive_bits(1, 0x7fefffffffffffffULL);
  for (int i = 0; i < 20000; ++i) {
    const uint64_t bits = positive_bits(generator);
    double x;
    std::memcpy(&x, &bits, sizeof x);
    ASSERT_TRUE(SameDouble(RaiseToPower(x, 0.5), std::sqrt(x))) << std::hexfloat << x;
    ++checked;
  }
  EXPECT_GT(checked, 20000);
}

// Every catalogue factor to whole, half, third and random powers of either sign: never more than
// one step from the C library's pow (which is itself within 0.52 of a step), and seldom apart.
TEST(RaiseToPower, AgreesWithTheCLibraryOverTheCatalogue) {
  std::vector<double> powers;
  for (int n = -20; n <= 20; ++n) powers.push_back(n);
  for (int n = -41; n <= 41; n += 2) powers.push_back(n / 2.0);
  for (int n = -30; n <= 30; ++n) {
    if (n % 3 != 0) powers.push_back(n / 3.0);
  }
  std::mt19937_64 generator(12);
  std::uniform_int_distribution<int> numerator(-100, 100);
  std::uniform_int_distribution<int> denominator(2, 20);
  std::uniform_real_distribution<double> any(-12.0, 12.0);
  for (int i = 0; i < 300; ++i) powers.push_back(1.0 * numerator(generator) / denominator(generator));
  for (int i = 0; i < 300; ++i) powers.push_back(any(generator));
  ASSERT_GT(std::size(UnitCatalogue), 100u);

  long results = 0;
  long different = 0;
  long extended_different = 0;  // the result carried to about 100 bits, then rounded
  for (const UnitEntry& unit : UnitCatalogue) {
    for (const double power : powers) {
      const double ours = RaiseToPower(unit.factor, power);
      const Double2 extended = RaiseToPowerExtended({unit.factor, 0.0}, power);
      if (Bits(extended.hi + extended.lo) != Bits(ours)) ++extended_different;
      const double library = std::pow(unit.factor, power);
      ++results;
      if (Bits(ours) == Bits(library)) continue;
      ++different;
      EXPECT_LE(std::llabs(Bits(ours) - Bits(library)), 1)
          << unit.name << " ^ " << power << ": " << std::hexfloat << ours << " and " << library;
    }
  }
  std::printf("%ld of %ld powers of catalogue factors differ from the C library's pow\n",
              different, results);
  EXPECT_GT(results, 100000);
  EXPECT_LT(different, results / 1000);
  EXPECT_LT(extended_different, results / 1000);
}

}  // namespace
