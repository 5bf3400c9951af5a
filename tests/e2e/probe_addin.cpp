// A minimal add-in that proves the Windows build's plumbing: a __stdcall export under its plain
// name, calls into the host through XLCall32.dll as the add-in does, and a statically linked
// runtime.
#include <string>

#include "platform/host_entry.h"
#include "xll/barrier.h"
#include "xll/host_api.h"

extern "C" double __stdcall ProbeRoundTrip(double number, int xlfn);

// Asks the host to answer function xlfn with the one argument number (through Excel4v), then
// releases the host's answer (through Excel4, varargs). Returns the answer's number, -1 when the
// host refused the call and -2 when it answered something else than a number.
extern "C" double __stdcall ProbeRoundTrip(double number, int xlfn) {
  return ExceptionBarrier(-3.0, [&] {
    // A C++ runtime feature that would need the compiler's DLLs were it not linked in.
    std::string check = std::to_string(number);
    XLOPER argument{};
    argument.val.num = std::stod(check);
    argument.xltype = xltypeNum;
    XLOPER* arguments[] = {&argument};
    XLOPER answer{};
    if (Excel4v(xlfn, &answer, 1, arguments) != xlretSuccess) return -1.0;
    double result = (answer.xltype & ~xlbitXLFree) == xltypeNum ? answer.val.num : -2.0;
    Excel4(xlFree, nullptr, 1, &answer);
    return result;
  });
}
