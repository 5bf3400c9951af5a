// The seven worksheet functions the host calls from formulas, exported under their plain names.
#pragma once

#include "platform/system.h"
#include "xll/host_api.h"

// Every function answers through ReturnSlot (released by the host through xlAutoFree) and never
// throws. A unit expression that cannot be used gives the engine's message as the cell's text,
// never a host error value; only a result that cannot be built at all (the heap is exhausted)
// gives the error value xlerrValue. Text arguments come in the system's ANSI code page and are
// read as the characters they are there (µ, °, ²); messages go back in it, a character it lacks
// written '?'. A text argument of 256 bytes or more is refused with "string length too long"; a
// null text counts as the empty text.
extern "C" {
// Val converted from InUnits to OutUnits: a number, or the message of the first expression that
// fails to parse, "Inconsistent units", or "result out of range".
XLOPER* __stdcall Mensora(double Val, const char* InUnits, const char* OutUnits);

// Val in InUnits converted to SI units: a 1 x 2 array [value, SI unit text], or a message.
XLOPER* __stdcall ToMetric(double Val, const char* InUnits);

// Val in SI units converted to OutUnits: a 1 x 2 array [value, SI unit text of OutUnits], or a
// message.
XLOPER* __stdcall FromMetric(double Val, const char* OutUnits);

// The SI unit text of InUnits ("kg m / s^2 "), or the parser's message.
XLOPER* __stdcall ShowMetric(const char* InUnits);

// As ShowMetric, but naming eleven common derived units ("N", "J", "W", ...).
XLOPER* __stdcall ShowCommonMetric(const char* InUnits);

// The 1 x 2 array [9.80665, "m / s^2"]: standard gravity.
XLOPER* __stdcall Grav();

// The 1 x 2 array [8.31446261815324, "J / mol / degK"]: the molar gas constant.
XLOPER* __stdcall GasConst();
}
