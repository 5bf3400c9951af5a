// Powers rounded once: whole powers by products, others by logarithm and exponential, all in
// double-double arithmetic, so that every build gives the same bits.
#include "power.h"

#include <cstdint>
#include <cstring>
#include <limits>

#include "double_double.h"

namespace {

// ---- Series and their tables ----

constexpr int kTableTerms = 40;  // enough for the widest argument a table is made from

// 1/(2k+1) and 1/k! for k below kTableTerms.
struct SeriesCoefficients {
  Double2 odd_reciprocal[kTableTerms];
  Double2 factorial_reciprocal[kTableTerms];
};

constexpr SeriesCoefficients MakeSeriesCoefficients() {
  SeriesCoefficients coefficients{};
  Double2 factorial_reciprocal = Exact(1.0);
  for (int k = 0; k < kTableTerms; ++k) {
    coefficients.odd_reciprocal[k] = Divide(Exact(1.0), Exact(2.0 * k + 1.0));
    if (k > 0) factorial_reciprocal = Divide(factorial_reciprocal, Exact(k));
    coefficients.factorial_reciprocal[k] = factorial_reciprocal;
  }
  return coefficients;
}

constexpr SeriesCoefficients kCoefficients = MakeSeriesCoefficients();

// ln((1 + s) / (1 - s)) = 2 (s + s^3/3 + s^5/5 + ...), its first terms.
constexpr Double2 LogRatioSeries(Double2 s, int terms) {
  const Double2 square = Multiply(s, s);
  Double2 sum = kCoefficients.odd_reciprocal[terms - 1];
  for (int k = terms - 2; k >= 0; --k) {
    sum = Add(Multiply(sum, square), kCoefficients.odd_reciprocal[k]);
  }
  return Twice(Multiply(sum, s));
}

// e^r = 1 + r + r^2/2! + ..., its first terms.
constexpr Double2 ExpSeries(Double2 r, int terms) {
  Double2 sum = kCoefficients.factorial_reciprocal[terms - 1];
  for (int k = terms - 2; k >= 0; --k) {
    sum = Add(Multiply(sum, r), kCoefficients.factorial_reciprocal[k]);
  }
  return sum;
}

// ln 2 = ln((1 + 1/3) / (1 - 1/3)).
constexpr Double2 kLn2 = LogRatioSeries(Divide(Exact(1.0), Exact(3.0)), kTableTerms);
constexpr Double2 kLn2Over128 = {kLn2.hi / 128.0, kLn2.lo / 128.0};
constexpr double k128OverLn2 = 128.0 / kLn2.hi;

// ln(i/128) for the i a mantissa from 1/sqrt(2) to sqrt(2) rounds to.
constexpr int kLogFirst = 90;
constexpr int kLogLast = 182;

struct LogTable {
  Double2 value[kLogLast - kLogFirst + 1];
};

constexpr LogTable MakeLogTable() {
  LogTable table{};
  for (int i = kLogFirst; i <= kLogLast; ++i) {
    // i/128 = (1 + s) / (1 - s) with s = (i - 128) / (i + 128).
    const Double2 s = Divide(Exact(i - 128.0), Exact(i + 128.0));
    table.value[i - kLogFirst] = LogRatioSeries(s, kTableTerms);
  }
  return table;
}

constexpr LogTable kLogTable = MakeLogTable();

// 2^(j/128) for j from 0 to 127.
struct ExpTable {
  Double2 value[128];
};

constexpr ExpTable MakeExpTable() {
  ExpTable table{};
  for (int j = 0; j < 128; ++j) table.value[j] = ExpSeries(Multiply(kLn2, j / 128.0), 30);
  return table;
}

constexpr ExpTable kExpTable = MakeExpTable();

// At run time the arguments are small (|s| and |r| below 2^-8), so only the leading terms need
// the double-double precision; each term below 2^-47 of the sum is taken in plain doubles, whose
// error there is below 2^-100.

// ln((1 + s) / (1 - s)) for |s| <= 2^-8: 2s (1 + s^2/3 + s^4/5 + s^6 (1/7 + s^2/9 + ...)).
Double2 LogRatioNearOne(Double2 s) {
  const Double2 square = Multiply(s, s);
  const double w = square.hi;
  const double tail = w * (1.0 / 7 + w * (1.0 / 9 + w * (1.0 / 11 + w * (1.0 / 13))));
  Double2 sum = Add(kCoefficients.odd_reciprocal[2], Exact(tail));
  sum = Add(kCoefficients.odd_reciprocal[1], Multiply(sum, square));
  sum = Add(Exact(1.0), Multiply(sum, square));
  return Twice(Multiply(sum, s));
}

// e^r for |r| <= 2^-8: 1 + r (1 + r (1/2 + r (1/6 + r (1/24 + r (1/120 + r/720 + ...))))).
Double2 ExpNearZero(Double2 r) {
  const double x = r.hi;
  const double tail =
      1.0 / 120 + x * (1.0 / 720 + x * (1.0 / 5040 + x * (1.0 / 40320 + x * (1.0 / 362880))));
  Double2 sum = Add(kCoefficients.factorial_reciprocal[4], Exact(x * tail));
  for (int k = 3; k >= 0; --k) sum = Add(kCoefficients.factorial_reciprocal[k], Multiply(sum, r));
  return sum;
}

// ---- The bits of a double ----

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr double kTwoTo52 = 4503599627370496.0;

uint64_t BitsOf(double x) {
  uint64_t bits;
  std::memcpy(&bits, &x, sizeof bits);
  return bits;
}

double FromBits(uint64_t bits) {
  double x;
  std::memcpy(&x, &bits, sizeof x);
  return x;
}

// 2^k, for k from -1022 to 1023.
double PowerOfTwo(int k) { return FromBits(static_cast<uint64_t>(k + 1023) << 52); }

// x * 2^k exactly, when the result and x * 2^(k/2) are normal (|k| up to 2044).
double ScaleExactly(double x, long k) {
  const int first = static_cast<int>(k / 2);
  return x * PowerOfTwo(first) * PowerOfTwo(static_cast<int>(k - first));
}

// The mantissa of a finite x > 0, in [1, 2), and its binary exponent in *exponent.
double Decompose(double x, int* exponent) {
  int biased = static_cast<int>(BitsOf(x) >> 52);
  int adjust = 0;
  if (biased == 0) {  // subnormal: bring it into the normal range first
    x *= kTwoTo52 * 4.0;
    biased = static_cast<int>(BitsOf(x) >> 52);
    adjust = 54;
  }
  *exponent = biased - 1023 - adjust;
  return FromBits((BitsOf(x) & ((uint64_t{1} << 52) - 1)) | (uint64_t{1023} << 52));
}

// (v.hi + v.lo) * 2^k rounded once to the nearest double (ties to even), for v.hi > 0 and
// v.hi * 2^k not beyond the range of ScaleExactly: an infinity above the range, the nearest
// subnormal (or zero) below it.
double Round(Double2 v, long k) {
  int hi_exponent = 0;
  Decompose(v.hi, &hi_exponent);
  const long top = k + hi_exponent;  // the exponent of the leading bit
  if (top > 1023) return kInfinity;
  if (top >= -1022) return ScaleExactly(v.hi, k);  // v.hi is the sum rounded already
  if (top < -1075) return 0.0;
  // Below the normal range the step is 2^-1074: round the sum, in units of that step, to a
  // whole number. v.hi alone decides unless it lies exactly halfway, where v.lo tips it.
  const double units = ScaleExactly(v.hi, k + 1074);  // below 2^52
  const double units_tail = ScaleExactly(v.lo, k + 1074);
  double whole = (units + kTwoTo52) - kTwoTo52;
  const double fraction = units - whole;
  if (fraction == 0.5 && units_tail > 0) whole += 1.0;
  if (fraction == -0.5 && units_tail < 0) whole -= 1.0;
  return ScaleExactly(whole, -1074);
}

// ---- Powers ----

// Whole powers up to this size go by repeated squaring; larger ones by the logarithm.
constexpr double kMaxWholePower = 1024.0;

// x^n for x > 0 finite and 2 <= |n| <= kMaxWholePower, by squaring and multiplying: every
// product stays in [1, 2) with the binary exponents counted apart, so none overflows.
double WholePower(double x, int n) {
  if (n == 2) return x * x;  // a single product is rounded once anyway
  const int magnitude = n < 0 ? -n : n;
  if (magnitude <= 4 && x > 0x1p-200 && x < 0x1p200) {
    // Small powers of moderate numbers stay far inside the range: no exponents to count.
    Double2 power = TwoProduct(x, x);
    if (magnitude == 3) power = Multiply(power, x);
    if (magnitude == 4) power = Multiply(power, power);
    if (n < 0) power = Divide(Exact(1.0), power);
    return power.hi;
  }
  int exponent = 0;
  Double2 square = Exact(Decompose(x, &exponent));
  long square_exponent = exponent;
  Double2 product = Exact(0.0);  // 0: no factor taken yet
  long product_exponent = 0;
  for (unsigned count = static_cast<unsigned>(magnitude);;) {
    if ((count & 1u) && product.hi == 0.0) {
      product = square;
      product_exponent = square_exponent;
    } else if (count & 1u) {
      product = Multiply(product, square);
      product_exponent += square_exponent;
      if (product.hi >= 2.0) {
        product = Half(product);
        ++product_exponent;
      }
    }
    count >>= 1;
    if (count == 0) break;
    square = Multiply(square, square);
    square_exponent *= 2;
    if (square.hi >= 2.0) {
      square = Half(square);
      ++square_exponent;
    }
  }
  if (n < 0) {
    product = Divide(Exact(1.0), product);
    product_exponent = -product_exponent;
  }
  return Round(product, product_exponent);
}

// ln x for x > 0 finite: x = 2^e m with m from 1/sqrt(2) to sqrt(2), and m = F (1 + s)/(1 - s)
// with F = i/128 the nearest table point; near 1 nothing cancels, so the result keeps its
// relative precision however small it is.
Double2 Log(double x) {
  int e = 0;
  double m = Decompose(x, &e);
  if (m > 1.4142135623730951) {
    m *= 0.5;
    ++e;
  }
  const int i = static_cast<int>(m * 128.0 + 0.5);
  const double point = i / 128.0;
  const double offset = m - point;  // exact: m and point are within a factor of 2
  // s = offset / (2 point + offset): one quotient and one correction from the exact residual.
  const Double2 denominator = TwoSum(point + point, offset);
  const double quotient = offset / denominator.hi;
  const Double2 product = TwoProduct(quotient, denominator.hi);
  const double residual = ((offset - product.hi) - product.lo) - quotient * denominator.lo;
  const Double2 s = QuickTwoSum(quotient, residual / denominator.hi);
  Double2 log = Add(kLogTable.value[i - kLogFirst], LogRatioNearOne(s));
  if (e != 0) log = Add(Multiply(kLn2, static_cast<double>(e)), log);
  return log;
}

// ln(hi + lo) for hi > 0 finite and |lo| at most half an ulp of hi: ln hi + ln(1 + lo/hi), whose
// second term is lo/hi to well within the precision kept.
Double2 Log(Double2 x) {
  const Double2 log = Log(x.hi);
  return Add(log, Exact(x.lo / x.hi));
}

// e^t = 2^q * 2^(j/128) * e^r with t = (128 q + j) ln2/128 + r, |t| <= 746. Returns the
// product of the last two factors and q in *exponent.
Double2 Exp(Double2 t, long* exponent) {
  const double steps = t.hi * k128OverLn2;
  const int n = static_cast<int>(steps < 0 ? steps - 0.5 : steps + 0.5);
  const int j = n & 127;
  *exponent = (n - j) / 128;
  const Double2 r = Add(t, Negate(Multiply(kLn2Over128, static_cast<double>(n))));
  return Multiply(kExpTable.value[j], ExpNearZero(r));
}

// e^(y ln x) = 2^exponent (value.hi + value.lo) for x > 0 and y finite, x != 1, y not 0, and
// |y ln x| within the range estimate_limit allows. Returns false beyond it.
bool ExpOfProduct(double y, Double2 log, double estimate_limit, Double2* value, long* exponent) {
  const double estimate = y * log.hi;
  if (estimate > estimate_limit || estimate < -estimate_limit) return false;
  // Here |y| < 2^63, since |ln x| >= 2^-53 for every x != 1: y splits without overflow.
  const Double2 product = TwoProduct(y, log.hi);
  const Double2 t = QuickTwoSum(product.hi, product.lo + y * log.lo);
  *value = Exp(t, exponent);
  return true;
}

// x^y = e^(y ln x) for x > 0 finite, x != 1, y finite and not 0.
double PowerByLog(double x, double y) {
  const Double2 log = Log(x);
  const double estimate = y * log.hi;
  // ln of the largest double is 709.78; of half the smallest subnormal, -745.13.
  if (estimate > 709.79) return kInfinity;
  if (estimate < -745.14) return 0.0;
  Double2 value{};
  long exponent = 0;
  ExpOfProduct(y, log, 746.0, &value, &exponent);
  return Round(value, exponent);
}

// Whether a finite y is a whole number, and whether an odd one.
bool IsWhole(double y) {
  const double magnitude = y < 0 ? -y : y;
  return magnitude >= kTwoTo52 || static_cast<double>(static_cast<int64_t>(y)) == y;
}

bool IsOdd(double y) {
  const double magnitude = y < 0 ? -y : y;
  return magnitude < 2.0 * kTwoTo52 && IsWhole(y) && (static_cast<int64_t>(y) & 1) != 0;
}

}  // namespace

double RaiseToPower(double base, double power) {
  if (power == 0.0 || base == 1.0) return 1.0;
  if (power == 1.0) return base;
  if (base != base || power != power) return base + power;  // NaN
  const double power_magnitude = power < 0 ? -power : power;
  const bool negative = (BitsOf(base) >> 63) != 0;
  const double magnitude = negative ? -base : base;
  if (power_magnitude == kInfinity) {
    if (magnitude == 1.0) return 1.0;
    return (magnitude < 1.0) == (power < 0) ? kInfinity : 0.0;
  }
  const bool whole = IsWhole(power);
  const bool odd_sign = negative && IsOdd(power);  // the result takes the base's sign
  if (magnitude == 0.0 || magnitude == kInfinity) {
    const bool large = (magnitude == 0.0) == (power < 0);
    const double result = large ? kInfinity : 0.0;
    return odd_sign ? -result : result;
  }
  if (negative && !whole) return std::numeric_limits<double>::quiet_NaN();
  double result = 0.0;
  if (whole && power_magnitude <= kMaxWholePower) {
    result = power == -1.0 ? 1.0 / magnitude : WholePower(magnitude, static_cast<int>(power));
  } else {
    result = PowerByLog(magnitude, power);
  }
  return odd_sign ? -result : result;
}

Double2 RaiseToPowerExtended(Double2 base, double power) {
  if (power == 1.0) return base;
  const double magnitude = power < 0 ? -power : power;
  // The results of units people raise: moderate bases to moderate powers. Anything else, and a
  // result that leaves the range where both of its parts are normal, is rounded as ever.
  if (base.hi > 0x1p-200 && base.hi < 0x1p200 && magnitude <= 64.0 && !IsOne(base)) {
    // "s^-1" is the commonest power of all since it reads as 1/s: one quotient, as "1/s" takes.
    if (power == -1.0) return ChainedQuotient(Exact(1.0), base);
    if (magnitude == 2.0 || magnitude == 3.0 || magnitude == 4.0) {
      Double2 result = ChainedProduct(base, base);
      if (magnitude == 3.0) result = ChainedProduct(result, base);
      if (magnitude == 4.0) result = ChainedProduct(result, result);
      return power < 0 ? ChainedQuotient(Exact(1.0), result) : result;
    }
    Double2 value{};
    long exponent = 0;
    // 2^-900 to 2^900: the low part stays normal, so scaling keeps every bit of both.
    if (power != 0.0 && ExpOfProduct(power, Log(base), 620.0, &value, &exponent)) {
      return {ScaleExactly(value.hi, exponent), ScaleExactly(value.lo, exponent)};
    }
  }
  return Exact(RaiseToPower(Rounded(base), power));
}
