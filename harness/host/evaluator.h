// Evaluating formulas and running commands against the functions the add-in registered.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "harness/host/formula.h"
#include "harness/host/host_value.h"
#include "harness/host/sim_host.h"

// The outcome of one formula.
struct Evaluation {
  bool parsed = false;  // false: the formula is malformed and message says why
  std::string message;
  HostValue value;      // what the cell holds: a number, text, truth value, error or array
};

// Evaluates a formula such as =Conv(1,"ft","in") in host, its texts in UTF-8 in a host of version
// 12 or later (with UNICHAR) and in the code page in an older one. The function is looked up by
// its registered function text without regard to case (none: #NAME?) and called as its type text
// says, a function marked thread-safe as one. #VALUE! without a call when: the type text is not
// one the host can call, there are more arguments than it has letters, a "B" argument is a text
// that is not a number, a "C" argument is a text of more than 255 bytes in the code page, or a
// wide one (C%, D%) of more than 32767 units. An error argument is the result without a call.
// Missing arguments go as 0 and "". A result marked xlbitDLLFree is copied and then handed back
// through xlAutoFree (xlAutoFree12 for a version 12 value) on the calling thread. Never throws
// for any input text.
Evaluation EvaluateFormula(SimHost& host, const std::string& formula);

// A formula read and its function looked up: the first half of EvaluateFormula, which touches
// nothing of the add-in's. A formula that cannot be read or names no function has its evaluation
// already.
struct PreparedFormula {
  Evaluation evaluation;
  bool found = false;             // the function is registered; evaluation is yet to be made
  FormulaCall call;
  CallTarget function;            // what it takes to call the function, when found
};
// Remembers the functions it looked up by name (as written), for a caller that reads many
// formulas while the function table stays as it is: a calculation thread during a recalculation,
// which then needs the host's lock once per function rather than once per formula.
class FunctionLookup {
 public:
  explicit FunctionLookup(const SimHost& host) : host_(host) {}
  // As SimHost::FindFunction, from what was found before when it can.
  bool Find(const std::string& name, CallTarget* target);

 private:
  const SimHost& host_;
  std::vector<std::pair<std::string, CallTarget>> found_;
};

// With a lookup, the function is looked up through it; without one, in the host.
PreparedFormula PrepareFormula(SimHost& host, const std::string& formula,
                               FunctionLookup* lookup = nullptr);

// The second half: calls the prepared formula's function (when it has one) and gives the
// evaluation.
Evaluation EvaluatePrepared(SimHost& host, const PreparedFormula& prepared);

// The evaluation as a cell shows it (RenderValue), or "error: <message>" for a malformed one.
std::string RenderEvaluation(const Evaluation& evaluation,
                             NumberStyle style = NumberStyle::kCell);

// Runs the command registered under name (macro type 2, type text "J", no arguments) and puts
// its answer in *result. Returns false without calling when there is no such command, it is not
// of type J or its procedure could not be resolved.
bool RunCommand(SimHost& host, const std::string& name, int* result);
