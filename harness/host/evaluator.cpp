// Formula evaluation: argument conversion, the call, and the cell value that results.
#include "evaluator.h"

#include <cstring>
#include <utility>
#include <vector>

#include "harness/host/decimal_text.h"
#include "harness/host/formula.h"
#include "harness/host/procedure_call.h"
#include "xll/wide_text.h"

namespace {
// The most bytes the host passes in a C argument, and UTF-16 units in a wide one.
constexpr std::size_t kMaxTextArgument = 255;
constexpr std::size_t kMaxWideArgument = xlMaxWideTextLength;

// The text a formula argument gives a text parameter; false for one that gives none.
bool TextOf(const HostValue& value, std::string* text) {
  switch (value.type) {
    case xltypeStr: *text = value.text; return true;
    case xltypeMissing: text->clear(); return true;
    case xltypeNum:
    case xltypeBool: *text = RenderValue(value); return true;
    default: return false;
  }
}

// Converts a formula argument for a parameter of the given kind as the host does. False when it
// cannot be converted. A C text goes in the code page, a wide one as UTF-16.
bool Prepare(const SimHost& host, ArgumentKind kind, const HostValue& value,
             ProcedureArgument* out) {
  if (kind == ArgumentKind::kNumber) {
    switch (value.type) {
      case xltypeNum: out->number = value.number; return true;
      case xltypeBool: out->number = value.word != 0; return true;
      case xltypeMissing: out->number = 0; return true;
      case xltypeStr: return ParseDecimal(value.text, &out->number);
      default: return false;
    }
  }
  std::string text;
  if (!TextOf(value, &text)) return false;
  if (kind == ArgumentKind::kText) {
    text = host.ToCodePage(text);
    if (text.size() > kMaxTextArgument) return false;
    std::memcpy(out->text, text.c_str(), text.size() + 1);
    return true;
  }
  // A character takes at least as many bytes of UTF-8 as units of UTF-16. A counted text keeps
  // its first unit for the length.
  const std::size_t first = kind == ArgumentKind::kCountedWideText ? 1 : 0;
  std::u16string& wide = out->wide;
  wide.assign(first + text.size(), u'\0');
  const std::size_t units = Utf8ToWide(text.c_str(), &wide[first], text.size());
  if (units > kMaxWideArgument) return false;
  wide.resize(first + units);
  if (first) wide[0] = static_cast<XCHAR>(units);
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

HostValue CallFunction(SimHost& host, const CallTarget& function,
                       const std::vector<HostValue>& arguments) {
  const ProcedureShape& shape = function.shape;
  if (!function.address || !function.callable || arguments.size() > shape.arguments.size()) {
    return HostValue::Error(xlerrValue);
  }
  std::vector<ProcedureArgument> prepared(shape.arguments.size());
  // The arguments as the trace shows them; nobody reads them when nothing is recorded.
  std::vector<std::string> shown;
  for (std::size_t i = 0; i < prepared.size(); ++i) {
    const HostValue value = i < arguments.size() ? arguments[i] : HostValue::Missing();
    if (value.type == xltypeErr) return value;
    const ArgumentKind kind = shape.arguments[i];
    if (!Prepare(host, kind, value, &prepared[i])) return HostValue::Error(xlerrValue);
    if (!host.Recording()) continue;
    std::string text;
    TextOf(value, &text);
    shown.push_back(kind == ArgumentKind::kNumber
                        ? RenderValue(HostValue::Number(prepared[i].number))
                        : RenderValue(HostValue::Text(kind == ArgumentKind::kText
                                                          ? host.FromCodePage(prepared[i].text)
                                                          : text)));
  }
  ProcedureResult result;
  if (shape.thread_safe) {
    SimHost::ThreadSafeCall thread_safe;
    CallProcedure(function.address, shape, prepared, &result);
  } else {
    CallProcedure(function.address, shape, prepared, &result);
  }
  if (shape.result == 'J') {
    host.RecordAddinCall(function.procedure, shown, std::to_string(result.integer));
    return HostValue::Number(result.integer);
  }
  if (shape.result == 'Q') {
    return CellValue(host.AcceptResult12(function.library, function.procedure, shown,
                                         static_cast<XLOPER12*>(result.value)));
  }
  return CellValue(host.AcceptResult(function.library, function.procedure, shown,
                                     static_cast<XLOPER*>(result.value)));
}
}  // namespace

Evaluation EvaluateFormula(SimHost& host, const std::string& formula) {
  return EvaluatePrepared(host, PrepareFormula(host, formula));
}

bool FunctionLookup::Find(const std::string& name, CallTarget* target) {
  for (const auto& known : found_) {
    if (known.first == name) {
      *target = known.second;
      return true;
    }
  }
  if (!host_.FindFunction(name, target)) return false;
  found_.emplace_back(name, *target);
  return true;
}

PreparedFormula PrepareFormula(SimHost& host, const std::string& formula,
                               FunctionLookup* lookup) {
  PreparedFormula prepared;
  Evaluation& evaluation = prepared.evaluation;
  const FormulaTexts texts =
      host.OffersVersion12() ? FormulaTexts::kUtf8 : FormulaTexts::kCodePage;
  if (!ParseFormula(formula, &prepared.call, &evaluation.message, texts)) return prepared;
  evaluation.parsed = true;
  // A copy: the add-in may register or unregister functions while it runs.
  prepared.found = lookup ? lookup->Find(prepared.call.name, &prepared.function)
                         : host.FindFunction(prepared.call.name, &prepared.function);
  if (!prepared.found) evaluation.value = HostValue::Error(xlerrName);
  return prepared;
}

Evaluation EvaluatePrepared(SimHost& host, const PreparedFormula& prepared) {
  Evaluation evaluation = prepared.evaluation;
  if (prepared.found) {
    evaluation.value = CallFunction(host, prepared.function, prepared.call.arguments);
  }
  return evaluation;
}

std::string RenderEvaluation(const Evaluation& evaluation, NumberStyle style) {
  return evaluation.parsed ? RenderValue(evaluation.value, style) : "error: " + evaluation.message;
}

bool RunCommand(SimHost& host, const std::string& name, int* result) {
  CallTarget function;
  if (!host.FindFunction(name, &function)) return false;
  if (function.macro_type != 2 || function.type_text != "J") return false;
  const std::string procedure = function.procedure;
  std::vector<ProcedureArgument> none;
  ProcedureResult answer;
  if (!CallProcedure(function.address, function.shape, none, &answer)) return false;
  host.RecordAddinCall(procedure, {}, std::to_string(answer.integer));
  *result = answer.integer;
  return true;
}
