// What the mensora command can do, each returning the command's exit status.
#pragma once

#include <cstdio>

// Exit statuses of the command.
constexpr int kExitSuccess = 0;
constexpr int kExitEngineFailure = 1;  // the unit engine refused: its message is on stderr
constexpr int kExitUsage = 2;          // the command line itself is wrong

// How numbers are written: as a spreadsheet cell shows them (15 digits) or exactly.
enum class NumberStyle { kCell, kRoundTrip };

// Reads a whole argument as a finite decimal number ("-40", "1e3", ".5"). Returns false for
// anything else ("abc", "1x", "", "inf").
bool ParseNumber(const char* text, double* value);

// Prints x converted from in_units to out_units, as the worksheet function Mensora computes it.
int RunConvert(double x, const char* in_units, const char* out_units, NumberStyle style);

// Prints x in SI units, a tab and the SI unit text, as the worksheet function ToMetric gives them.
int RunToMetric(double x, const char* in_units, NumberStyle style);

// Prints the SI unit text of units, with the eleven common names when common is true, exactly as
// ShowMetric and ShowCommonMetric return it (trailing space included).
int RunShowMetric(const char* units, bool common);

// Prints every catalogue unit: name, factor per SI unit (exact), SI unit text and definition
// ("12 in"), tab-separated.
int RunList();

// Prints what the parser reads beyond the catalogue's names, tab-separated, one a line: each SI
// prefix ("prefix", its text, its power of ten), each unit or symbol that takes one
// ("prefixed", its name), and each symbol ("symbol", its text, the catalogue name it stands for).
int RunSymbols();

// Converts each line "VALUE<TAB>FROM<TAB>TO" of input and writes one line per input line: the
// number or the message that stands for it. A line with another number of fields or with a NUL
// byte is malformed; one of more than 4096 characters is refused as too long, unread. Returns
// kExitSuccess when the input has been read.
int RunBatch(std::FILE* input, NumberStyle style);
