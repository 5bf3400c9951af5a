// Formula evaluation: argument conversion, the call, and the cell value that results.
#include "evaluator.h"

#include <cstring>
#include <vector>

#include "harness/host/decimal_text.h"
#include "harness/host/formula.h"
#include "harness/host/procedure_call.h"

namespace {
// The most characters the host passes in a "C" argument.
constexpr std::size_t kMaxTextArgument = 255;

// Converts a formula argument for a "B" or "C" parameter as the host does. False when it
// cannot be converted.
bool Prepare(char letter, const HostValue& value, ProcedureArgument* out) {
  if (letter == 'B') {
    switch (value.type) {
      case xltypeNum: out->number = value.number; return true;
      case xltypeBool: out->number = value.word != 0; return true;
      case xltypeMissing: out->number = 0; return true;
      case xltypeStr: return ParseDecimal(value.text, &out->number);
      default: return false;
    }
  }
  std::string text;
  switch (value.type) {
    case xltypeStr: text = value.text; break;
    case xltypeMissing: break;
    case xltypeNum:
    case xltypeBool: text = RenderValue(value); break;
    default: return false;
  }
  if (text.size() > kMaxTextArgument) return false;
  std::memcpy(out->text, text.c_str(), text.size() + 1);
  return true;
}

// What a cell shows for a value a function returned: integers as numbers, a missing value as
// 0, anything no cell can hold as #VALUE!.
HostValue CellValue(const HostValue& value) {
  switch (value.type) {
    case xltypeNum:
    case xltypeStr:
    case xltypeErr: return value;
    case xltypeBool: return HostValue::Bool(value.word != 0);
    case xltypeInt: return HostValue::Number(value.word);
    case xltypeMissing: return HostValue::Number(0);
    case xltypeMulti: {
      HostValue array = value;
      for (HostValue& element : array.elements) element = CellValue(element);
      return array;
    }
    default: return HostValue::Error(xlerrValue);
  }
}

HostValue CallFunction(SimHost& host, const RegisteredFunction& function,
                       const std::vector<HostValue>& arguments) {
  const std::string& type = function.type_text;
  if (!function.address || !IsSupportedShape(type) || arguments.size() + 1 > type.size()) {
    return HostValue::Error(xlerrValue);
  }
  std::vector<ProcedureArgument> prepared(type.size() - 1);
  std::vector<std::string> shown;
  for (std::size_t i = 0; i < prepared.size(); ++i) {
    const HostValue value = i < arguments.size() ? arguments[i] : HostValue::Missing();
    if (value.type == xltypeErr) return value;
    if (!Prepare(type[i + 1], value, &prepared[i])) return HostValue::Error(xlerrValue);
    shown.push_back(type[i + 1] == 'B' ? RenderValue(HostValue::Number(prepared[i].number))
                                       : RenderValue(HostValue::Text(prepared[i].text)));
  }
  ProcedureResult result;
  CallProcedure(function.address, type, prepared, &result);
  if (type == "J") {
    host.RecordAddinCall(function.procedure, shown, std::to_string(result.integer));
    return HostValue::Number(result.integer);
  }
  return CellValue(host.AcceptResult(function.library, function.procedure, shown, result.value));
}
}  // namespace

Evaluation EvaluateFormula(SimHost& host, const std::string& formula) {
  Evaluation evaluation;
  FormulaCall call;
  if (!ParseFormula(formula, &call, &evaluation.message)) return evaluation;
  evaluation.parsed = true;
  const RegisteredFunction* found = host.FindFunction(call.name);
  if (!found) {
    evaluation.value = HostValue::Error(xlerrName);
    return evaluation;
  }
  // A copy: the add-in may register or unregister functions while it runs.
  const RegisteredFunction function = *found;
  evaluation.value = CallFunction(host, function, call.arguments);
  return evaluation;
}

std::string RenderEvaluation(const Evaluation& evaluation, NumberStyle style) {
  return evaluation.parsed ? RenderValue(evaluation.value, style) : "error: " + evaluation.message;
}

bool RunCommand(SimHost& host, const std::string& name, int* result) {
  const RegisteredFunction* function = host.FindFunction(name);
  if (!function || function->macro_type != 2 || function->type_text != "J") return false;
  const std::string procedure = function->procedure;
  std::vector<ProcedureArgument> none;
  ProcedureResult answer;
  if (!CallProcedure(function->address, "J", none, &answer)) return false;
  host.RecordAddinCall(procedure, {}, std::to_string(answer.integer));
  *result = answer.integer;
  return true;
}
