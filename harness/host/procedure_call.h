// Calling an add-in's procedure with the signature its type text gives.
#pragma once

#include <string>
#include <vector>

#include "harness/platform/module.h"
#include "xll/host_api.h"

// One argument as the host passes it: a double for "B", or for "C" a NUL-terminated text of at
// most 255 characters in a buffer the host owns for the length of the call.
struct ProcedureArgument {
  double number = 0;
  char text[256] = {};
};

// What the procedure returned: a value pointer for type texts that start with R, an integer
// for J.
struct ProcedureResult {
  XLOPER* value = nullptr;
  int integer = 0;
};

// True for the type texts this host can call: R, RB, RC, RBC, RCC, RBCC and J.
bool IsSupportedShape(const std::string& type_text);

// Calls address as type_text describes it, with one prepared argument per letter after the
// first. Returns false without calling for an unsupported type text or a wrong number of
// arguments.
bool CallProcedure(platform::Procedure address, const std::string& type_text,
                   std::vector<ProcedureArgument>& arguments, ProcedureResult* result);
