// Benchmarks of the unit engine's catalogue lookup and parser on their own.
#pragma once

#include <string>

// Names looked up: first, middle and last rows, a long name, names differing only in case, and
// names that are not in the catalogue.
extern const char* const kLookupNames[];
extern const int kLookupNameCount;

// Expressions parsed: a lone name, a product with a power, a chain of divisions, a pressure and
// a fractional power.
extern const char* const kParsedExpressions[];
extern const int kParsedExpressionCount;

// The names under which the benchmarks of one name or expression are registered.
std::string FindUnitBenchmarkName(const char* name);
std::string ParseUnitsBenchmarkName(const char* expression);
std::string RememberedParseBenchmarkName(const char* expression);

// Registers one FindUnit benchmark per lookup name, and one ParseUnits and one
// ParseUnitsRemembered benchmark (the same text every time, so always remembered) per expression.
void RegisterEngineBenchmarks();
