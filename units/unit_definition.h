// Reads the catalogue's unit definitions at compile time: "5280 ft" or "lbf s^2 / ft" becomes the
// size of one such unit in SI units, and its dimension.
//
// A definition, for readers of the catalogue:
//   definition := item*              items are separated by blanks and multiply
//   item       := NUMBER | NAME | NAME '^' DIGIT | '/'     (a power from 1 to 9)
//   NUMBER     := decimal digits with at most one '.', optionally 'e', a sign and digits
//   NAME       := a unit of the catalogue or one of its named constants ("pi", "gravity")
// Everything after the '/' (there is at most one) is divided out, as in a unit expression:
// "lbf s / in^2" is a pound-force second per square inch. The definition "base unit" marks the
// SI unit of its dimension.
//
// Sizes are worked out in long double and rounded to double once, at the end, so that a factor
// reached through a chain of definitions ("tsp" through "Tbs", "fluidounce", ... to "in") is as
// near the exact value as a double can be, wherever the chain's roundings fall.
#pragma once

#include <cstddef>
#include <cstdint>

#include "catalogue.h"

// One line of the catalogue's source: a name, what one of it is, its dimension, and the columns
// the catalogue copies as they stand (see UnitEntry).
struct UnitDefinition {
  const char* name;
  const char* definition;
  DimensionVector dimension;
  double offset = 0.0;
  PrefixRule prefixes = kNoPrefix;
  Trade trade = Trade::kSI;
  const char* words = "";
  const char* forms = "";
};

constexpr char kBaseUnit[] = "base unit";

// Never defined: a definition that leads the compiler here stops the build, and the message
// names the fault.
void UnknownNameInUnitDefinition();
void MalformedUnitDefinition();
void UnitDefinitionsGoRoundInACircle();
void UnitDefinitionOfAnotherDimension();

namespace unit_definition {

// Longer chains than this are taken for a circle of definitions.
constexpr int kDeepestChain = 24;

// The most decimal digits a number of a definition may have: all of them fit a uint64_t.
constexpr int kMostDigits = 19;

struct Table {
  const UnitDefinition* rows;
  std::size_t count;
};

// One unit's size in SI units, and its dimension.
struct Size {
  long double value;
  DimensionVector dimension;
};

constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }
constexpr bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

constexpr bool SameText(const char* a, const char* b) {
  std::size_t i = 0;
  while (a[i] == b[i] && a[i] != '\0') ++i;
  return a[i] == b[i];
}

// True when name is exactly the length characters at text.
constexpr bool IsName(const char* name, const char* text, std::size_t length) {
  for (std::size_t i = 0; i < length; ++i) {
    if (name[i] != text[i]) return false;
  }
  return name[length] == '\0';
}

constexpr bool SameDimension(const DimensionVector& a, const DimensionVector& b) {
  for (int slot = 0; slot < kDimensionCount; ++slot) {
    if (a.exp[slot] != b.exp[slot]) return false;
  }
  return true;
}

// 10 to the power exponent (0 or more); exact up to 10^27, the most a long double holds.
constexpr long double PowerOfTen(int exponent) {
  long double power = 1.0L;
  for (int i = 0; i < exponent; ++i) power *= 10.0L;
  return power;
}

// Reads the number at text[*at] and moves *at past it. The digits are gathered exactly, so the
// one rounding is the scaling by the power of ten.
constexpr long double ReadNumber(const char* text, std::size_t* at) {
  uint64_t digits = 0;
  int count = 0;
  int exponent = 0;
  bool point = false;
  bool any = false;
  for (;; ++*at) {
    const char c = text[*at];
    if (c == '.') {
      if (point) MalformedUnitDefinition();
      point = true;
      continue;
    }
    if (!IsDigit(c)) break;
    any = true;
    if (point) --exponent;
    if (digits == 0 && c == '0') continue;  // a leading zero
    if (++count > kMostDigits) MalformedUnitDefinition();
    digits = digits * 10 + static_cast<uint64_t>(c - '0');
  }
  if (!any) MalformedUnitDefinition();
  if (text[*at] == 'e') {
    const char sign = text[*at + 1];
    const bool signed_exponent = sign == '-' || sign == '+';
    if (!IsDigit(text[*at + (signed_exponent ? 2 : 1)])) MalformedUnitDefinition();
    *at += signed_exponent ? 2 : 1;
    int written = 0;
    while (IsDigit(text[*at])) {
      written = written * 10 + (text[*at] - '0');
      if (written > 999) MalformedUnitDefinition();
      ++*at;
    }
    exponent += sign == '-' ? -written : written;
  }
  const long double value = static_cast<long double>(digits);
  return exponent < 0 ? value / PowerOfTen(-exponent) : value * PowerOfTen(exponent);
}

constexpr Size SizeOfRow(Table table, const UnitDefinition& row, int depth);

// The size of what text defines.
constexpr Size SizeOfText(Table table, const char* text, int depth) {
  Size size{1.0L, {}};
  bool dividing = false;
  std::size_t at = 0;
  while (text[at] != '\0') {
    const char c = text[at];
    if (c == ' ') {
      ++at;
      continue;
    }
    if (c == '/') {
      if (dividing) MalformedUnitDefinition();
      dividing = true;
      ++at;
      continue;
    }
    Size item{1.0L, {}};
    if (IsDigit(c) || c == '.') {
      item.value = ReadNumber(text, &at);
    } else if (IsLetter(c)) {
      const std::size_t start = at;
      while (IsLetter(text[at])) ++at;
      const UnitDefinition* row = nullptr;
      for (std::size_t i = 0; i < table.count && row == nullptr; ++i) {
        if (IsName(table.rows[i].name, text + start, at - start)) row = &table.rows[i];
      }
      if (row == nullptr) UnknownNameInUnitDefinition();
      const Size unit = SizeOfRow(table, *row, depth + 1);
      int power = 1;
      if (text[at] == '^') {
        ++at;
        if (!IsDigit(text[at])) MalformedUnitDefinition();
        power = 0;
        while (IsDigit(text[at])) power = power * 10 + (text[at++] - '0');
        if (power == 0 || power > 9) MalformedUnitDefinition();
      }
      for (int i = 0; i < power; ++i) {
        item.value *= unit.value;
        for (int slot = 0; slot < kDimensionCount; ++slot) {
          item.dimension.exp[slot] += unit.dimension.exp[slot];
        }
      }
    } else {
      MalformedUnitDefinition();
    }
    if (dividing) {
      size.value /= item.value;
    } else {
      size.value *= item.value;
    }
    for (int slot = 0; slot < kDimensionCount; ++slot) {
      size.dimension.exp[slot] += dividing ? -item.dimension.exp[slot] : item.dimension.exp[slot];
    }
  }
  return size;
}

// The size of one row, whose definition must come out in the dimension the row states.
constexpr Size SizeOfRow(Table table, const UnitDefinition& row, int depth) {
  if (depth > kDeepestChain) UnitDefinitionsGoRoundInACircle();
  if (SameText(row.definition, kBaseUnit)) return Size{1.0L, row.dimension};
  const Size size = SizeOfText(table, row.definition, depth);
  if (!SameDimension(size.dimension, row.dimension)) UnitDefinitionOfAnotherDimension();
  return size;
}

}  // namespace unit_definition

// How many of row's unit make one SI unit: the factor the catalogue stores, rounded to double
// once. That is the double nearest the exact factor, unless the exact value lies within a
// long double's rounding of halfway between two doubles (the tests compare every factor with
// the exact value of its definition). The names in row's definition are looked up in table,
// the catalogue's units and constants.
constexpr double FactorOf(unit_definition::Table table, const UnitDefinition& row) {
  return static_cast<double>(1.0L / unit_definition::SizeOfRow(table, row, 0).value);
}

// The catalogue row of a unit: its factor as FactorOf gives it, and what the double leaves out
// of the long double worked out (about eleven more bits), so that a product or power of factors
// can be rounded once at the end.
constexpr UnitEntry EntryOf(unit_definition::Table table, const UnitDefinition& row) {
  const long double factor = 1.0L / unit_definition::SizeOfRow(table, row, 0).value;
  const double nearest = static_cast<double>(factor);
  return {row.name,      nearest,      row.dimension,
          row.definition, static_cast<double>(factor - static_cast<long double>(nearest)),
          row.offset,    row.prefixes, row.trade, row.words, row.forms};
}

// True when every row of table reads and names differ; a fault stops the build instead.
constexpr bool EveryDefinitionReads(unit_definition::Table table) {
  for (std::size_t i = 0; i < table.count; ++i) {
    unit_definition::SizeOfRow(table, table.rows[i], 0);
    for (std::size_t j = i + 1; j < table.count; ++j) {
      if (unit_definition::SameText(table.rows[i].name, table.rows[j].name)) return false;
    }
  }
  return true;
}
