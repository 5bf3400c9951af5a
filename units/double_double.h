// Double-double arithmetic: a value carried as the unevaluated sum hi + lo, with |lo| at most half
// an ulp of hi: about 106 bits. Plain double operations only (no fused multiply-add, which not
// every target has), so the same steps give the same bits in every build; constexpr, so that
// tables and constants are worked out by the compiler with the very same code.
#pragma once

struct Double2 {
  double hi;
  double lo;
};

// a + b exactly, whatever their sizes.
constexpr Double2 TwoSum(double a, double b) {
  const double sum = a + b;
  const double b_part = sum - a;
  return {sum, (a - (sum - b_part)) + (b - b_part)};
}

// a + b exactly, when |a| >= |b| or a is 0.
constexpr Double2 QuickTwoSum(double a, double b) {
  const double sum = a + b;
  return {sum, b - (sum - a)};
}

// a split into two halves of 26 bits each, whose products are exact. |a| < 2^995.
constexpr Double2 Split(double a) {
  const double scaled = 134217729.0 * a;  // 2^27 + 1
  const double hi = scaled - (scaled - a);
  return {hi, a - hi};
}

// a * b exactly.
constexpr Double2 TwoProduct(double a, double b) {
  const double product = a * b;
  const Double2 x = Split(a);
  const Double2 y = Split(b);
  return {product, ((x.hi * y.hi - product) + x.hi * y.lo + x.lo * y.hi) + x.lo * y.lo};
}

constexpr Double2 Negate(Double2 a) { return {-a.hi, -a.lo}; }
constexpr Double2 Twice(Double2 a) { return {2.0 * a.hi, 2.0 * a.lo}; }
constexpr Double2 Half(Double2 a) { return {0.5 * a.hi, 0.5 * a.lo}; }

constexpr Double2 Add(Double2 a, Double2 b) {
  Double2 sum = TwoSum(a.hi, b.hi);
  const Double2 tail = TwoSum(a.lo, b.lo);
  sum = QuickTwoSum(sum.hi, sum.lo + tail.hi);
  return QuickTwoSum(sum.hi, sum.lo + tail.lo);
}

constexpr Double2 Multiply(Double2 a, Double2 b) {
  const Double2 product = TwoProduct(a.hi, b.hi);
  return QuickTwoSum(product.hi, product.lo + (a.hi * b.lo + a.lo * b.hi));
}

constexpr Double2 Multiply(Double2 a, double b) {
  const Double2 product = TwoProduct(a.hi, b);
  return QuickTwoSum(product.hi, product.lo + a.lo * b);
}

constexpr Double2 Divide(Double2 a, Double2 b) {
  const double q1 = a.hi / b.hi;
  Double2 rest = Add(a, Negate(Multiply(b, q1)));
  const double q2 = rest.hi / b.hi;
  rest = Add(rest, Negate(Multiply(b, q2)));
  const double q3 = rest.hi / b.hi;
  return Add(QuickTwoSum(q1, q2), Double2{q3, 0.0});
}

constexpr Double2 Exact(double a) { return {a, 0.0}; }

// Whether a pair is exactly 1: the factor of an SI unit, which leaves a product as it is.
constexpr bool IsOne(Double2 a) { return a.hi == 1.0 && a.lo == 0.0; }

// The double nearest a pair: where a chain ends, or leaves the range it can be carried in.
constexpr double Rounded(Double2 a) { return a.hi + a.lo; }

// Products and quotients for a chain of them that is rounded once at the end. hi is what plain
// double arithmetic gives, so the chain runs as fast as plain doubles, and lo gathers, off that
// chain, what each rounding left out: the pair is not renormalised, so |lo| may grow to a few
// ulps of hi over a short chain, which costs nothing of its precision.
constexpr Double2 ChainedProduct(Double2 a, Double2 b) {
  const Double2 product = TwoProduct(a.hi, b.hi);
  return {product.hi, product.lo + (a.hi * b.lo + a.lo * b.hi)};
}

constexpr Double2 ChainedQuotient(Double2 a, Double2 b) {
  const double q = a.hi / b.hi;
  const double reciprocal = 1.0 / b.hi;  // worked out beside q, not after it
  const Double2 back = TwoProduct(q, b.hi);
  // a.hi and back.hi are within an ulp or two of each other: their difference is exact.
  return {q, ((((a.hi - back.hi) - back.lo) + a.lo) - q * b.lo) * reciprocal};
}
