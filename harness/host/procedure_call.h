// Calling an add-in's procedure with the signature its type text gives.
#pragma once

#include <string>
#include <vector>

#include "harness/platform/module.h"
#include "xll/host_api.h"

// How one argument travels: a double (B), a NUL-terminated byte text of the code page (C), a
// NUL-terminated (C%) or counted (D%) wide text.
enum class ArgumentKind { kNumber, kText, kWideText, kCountedWideText };

// The signature a type text gives, its marks taken off: the result (R a cell value, Q a version
// 12 cell value, J an integer) and one kind per argument; and the marks: $ thread-safe, # the
// rights of a macro sheet function, ! volatile.
struct ProcedureShape {
  char result = 0;
  std::vector<ArgumentKind> arguments;
  bool thread_safe = false;
  bool macro_sheet = false;
};

// Reads type_text into *shape. False for a type text this host cannot call: another result or
// argument letter, J with arguments, a mark twice or before a letter, or numbers and texts in an
// order it has no signature for (it has R, RB, RC, RBC, RCC, RBCC, J, and the same with Q and
// with the wide texts C% and D% for C).
bool ReadShape(const std::string& type_text, ProcedureShape* shape);

// One argument as the host passes it: a double for B; for C a NUL-terminated text of at most 255
// bytes in a buffer the host owns for the length of the call; for C% the units and a NUL, for D%
// the length unit and the units.
struct ProcedureArgument {
  double number = 0;
  char text[256] = {};
  std::u16string wide;
};

// What the procedure returned: a value pointer for R (an XLOPER) and Q (an XLOPER12), an integer
// for J.
struct ProcedureResult {
  void* value = nullptr;
  int integer = 0;
};

// Calls address with the signature of shape, with one prepared argument per argument of the
// shape. Returns false without calling for a wrong number of arguments.
bool CallProcedure(platform::Procedure address, const ProcedureShape& shape,
                   std::vector<ProcedureArgument>& arguments, ProcedureResult* result);
