// What the seven worksheet functions tell their users: names, argument names and help texts,
// the one source of every spreadsheet's registration of them.
#pragma once

#include <cstddef>
#include <string>

// The name and help of one worksheet function. Constant data, usable in constant expressions so
// that the records built from it are ready before any static constructor runs.
struct FunctionHelp {
  const char* name;          // as formulas call it, and as the library exports it
  const char* argumentText;  // argument names, comma-separated, no spaces ("Val,InUnits")
  const char* functionHelp;  // one-line description
  // One NUL-terminated text per argument, the run ended by an empty text (two NULs in a row);
  // a function without arguments has just the empty text.
  const char* argumentHelp;
};

// The category every function is filed under.
inline constexpr char kFunctionCategory[] = "Mensora";

// Each argument help literal spells its final "\0" so that, with the literal's own NUL, the run
// of texts ends in an empty text.
inline constexpr FunctionHelp kMensoraHelp = {
    "Mensora", "Val,InUnits,OutUnits", "Change Val from InUnits to OutUnits",
    "= Input value expressed in InUnits (number)\0"
    "= The units of Val (text)\0"
    "= The units to output (text).\0"};

inline constexpr FunctionHelp kToMetricHelp = {
    "ToMetric", "Val,InUnits", "Change Val from InUnits to standard metric MKS units",
    "= Input value expressed in InUnits (number)\0"
    "= The units of Val (text).\0"};

inline constexpr FunctionHelp kFromMetricHelp = {
    "FromMetric", "Val,OutUnits", "Change Val from standard metric MKS units to OutUnits",
    "= Input value expressed in MKS units (number)\0"
    "= The units to output (text).\0"};

inline constexpr FunctionHelp kShowMetricHelp = {
    "ShowMetric", "InUnits", "Show the standard metric MKS units equivalent to InUnits",
    "= Input units (text).\0"};

inline constexpr FunctionHelp kShowCommonMetricHelp = {
    "ShowCommonMetric", "InUnits",
    "Show the standard metric MKS units equivalent to InUnits except for several common units:"
    "   J, N,  W, Pa, etc.",
    "= Input units (text).\0"};

inline constexpr FunctionHelp kGravHelp = {
    "Grav", "", "Returns 9.80665 m/s^2, the gravitational constant", ""};

inline constexpr FunctionHelp kGasConstHelp = {
    "GasConst", "", "Returns 8.31446261815324 J / mol / degK, the universal gas constant", ""};

// All seven, in the order the add-in defines them.
inline constexpr FunctionHelp kFunctionHelps[] = {
    kMensoraHelp, kToMetricHelp,   kFromMetricHelp, kShowMetricHelp,
    kShowCommonMetricHelp, kGravHelp, kGasConstHelp};
inline constexpr std::size_t kFunctionCount = sizeof kFunctionHelps / sizeof kFunctionHelps[0];

// The number of arguments of function (the names in its argument text).
std::size_t ArgumentCount(const FunctionHelp& function);

// The name of argument index (from 0) of function, or the empty text when it has no such one.
std::string ArgumentName(const FunctionHelp& function, std::size_t index);

// The help of argument index (from 0) of function, or the empty text when it has no such one.
std::string ArgumentHelp(const FunctionHelp& function, std::size_t index);

// The function named name (compared exactly), or null.
const FunctionHelp* FindFunctionHelp(const char* name);
