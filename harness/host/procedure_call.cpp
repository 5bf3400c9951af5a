// The procedure signatures the host can call, each a stdcall function as the real host calls it.
#include "procedure_call.h"

#include "platform/system.h"

namespace {
typedef XLOPER*(__stdcall* ProcR)();
typedef XLOPER*(__stdcall* ProcRB)(double);
typedef XLOPER*(__stdcall* ProcRC)(char*);
typedef XLOPER*(__stdcall* ProcRBC)(double, char*);
typedef XLOPER*(__stdcall* ProcRCC)(char*, char*);
typedef XLOPER*(__stdcall* ProcRBCC)(double, char*, char*);
typedef int(__stdcall* ProcJ)();

const char* const kShapes[] = {"R", "RB", "RC", "RBC", "RCC", "RBCC", "J"};
}  // namespace

bool IsSupportedShape(const std::string& type_text) {
  for (const char* shape : kShapes) {
    if (type_text == shape) return true;
  }
  return false;
}

bool CallProcedure(platform::Procedure address, const std::string& type_text,
                   std::vector<ProcedureArgument>& arguments, ProcedureResult* result) {
  if (!address || !IsSupportedShape(type_text) || arguments.size() + 1 != type_text.size()) {
    return false;
  }
  std::vector<ProcedureArgument>& a = arguments;
  if (type_text == "J") {
    result->integer = reinterpret_cast<ProcJ>(address)();
  } else if (type_text == "R") {
    result->value = reinterpret_cast<ProcR>(address)();
  } else if (type_text == "RB") {
    result->value = reinterpret_cast<ProcRB>(address)(a[0].number);
  } else if (type_text == "RC") {
    result->value = reinterpret_cast<ProcRC>(address)(a[0].text);
  } else if (type_text == "RBC") {
    result->value = reinterpret_cast<ProcRBC>(address)(a[0].number, a[1].text);
  } else if (type_text == "RCC") {
    result->value = reinterpret_cast<ProcRCC>(address)(a[0].text, a[1].text);
  } else {
    result->value = reinterpret_cast<ProcRBCC>(address)(a[0].number, a[1].text, a[2].text);
  }
  return true;
}
