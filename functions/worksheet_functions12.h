// The seven worksheet functions as a host of version 12 or later calls them: wide texts in, version
// 12 cell values out, from any number of calculation threads at once.
#pragma once

#include "platform/system.h"
#include "xll/host_api.h"

// Each answers what its namesake in worksheet_functions.h answers, with the same messages, but
// reads its texts as the host's counted UTF-16 (type D%) and hands its result back from the
// calling thread's own storage, valid until that thread's next call (the host reads a result
// before it calls the thread again). Nothing is shared between threads: every function is
// registered thread-safe. No code page stands between the host and the engine: any character of
// any script reaches the engine and comes back in a message. A text of more than 255 characters
// is refused with "string length too long"; a null text counts as the empty text. Never throws.
extern "C" {
XLOPER12* __stdcall Mensora12(double Val, const XCHAR* InUnits, const XCHAR* OutUnits);
XLOPER12* __stdcall ToMetric12(double Val, const XCHAR* InUnits);
XLOPER12* __stdcall FromMetric12(double Val, const XCHAR* OutUnits);
XLOPER12* __stdcall ShowMetric12(const XCHAR* InUnits);
XLOPER12* __stdcall ShowCommonMetric12(const XCHAR* InUnits);
XLOPER12* __stdcall Grav12();
XLOPER12* __stdcall GasConst12();
}
