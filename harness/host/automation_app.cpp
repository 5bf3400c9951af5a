// The simulated host's application, workbook, sheet and range, and the macro runs that call
// into loaded add-ins.
#include "harness/host/automation_app.h"

#include <initializer_list>

#include "harness/host/call_macro.h"
#include "harness/host/sim_host.h"
#include "harness/host/text_compare.h"
#include "harness/platform/module.h"

namespace {

typedef int(__stdcall* IntegerProcedure)();

bool IsWrite(WORD flags) { return (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0; }

// Argument position as a truth value; an absent or omitted argument is fallback. False when it
// does not convert.
bool TruthArgument(const std::vector<VARIANT>& arguments, std::size_t position, bool fallback,
                   bool* truth) {
  *truth = fallback;
  if (position >= arguments.size()) return true;
  VARIANT argument = arguments[position];  // the system's conversion takes no constant source
  if (argument.vt == VT_ERROR && argument.scode == DISP_E_PARAMNOTFOUND) return true;
  VARIANT converted;
  VariantInit(&converted);
  if (FAILED(VariantChangeType(&converted, &argument, 0, VT_BOOL))) return false;
  *truth = converted.boolVal != VARIANT_FALSE;
  return true;
}

// The text of a VT_BSTR value, or of any value that converts to one.
bool TextArgument(VARIANT argument, std::string* text) {
  VARIANT converted;
  VariantInit(&converted);
  if (FAILED(VariantChangeType(&converted, &argument, 0, VT_BSTR))) return false;
  text->clear();
  for (UINT i = 0; i < SysStringLen(converted.bstrVal); ++i) {
    const OLECHAR c = converted.bstrVal[i];
    *text += static_cast<char>(c < 0x100 ? c : '?');
  }
  VariantClear(&converted);
  return true;
}

// Column number 1 as A, 27 as AA.
std::string ColumnLetters(int column) {
  std::string letters;
  for (; column > 0; column = (column - 1) / 26) {
    letters.insert(letters.begin(), static_cast<char>('A' + (column - 1) % 26));
  }
  return letters;
}

}  // namespace

// ---- Workbook and worksheet ----

SimNamedObject::SimNamedObject(SimApplication* application, DispatchObject* parent,
                               const std::string& name)
    : DispatchObject(application, {"Name", "Parent", "Application"}),
      name(name),
      application_(application),
      parent_(parent) {}

HRESULT SimNamedObject::Member(std::size_t index, WORD flags, const std::vector<VARIANT>&,
                               const VARIANT*, VARIANT* result) {
  if (IsWrite(flags)) return DISP_E_MEMBERNOTFOUND;
  switch (index) {
    case 0: return ReturnValue(SimValue::Text(name), result);
    case 1: return ReturnObject(parent_, result);
    default: return ReturnObject(application_, result);
  }
}

// ---- Range ----

SimRange::SimRange(SimApplication* application, SimNamedObject* sheet, SimNamedObject* workbook,
                   int row, int column)
    : DispatchObject(application, {"AddressLocal", "Worksheet", "Parent", "Application"}),
      row(row),
      column(column),
      application_(application),
      sheet_(sheet),
      workbook_(workbook) {}

HRESULT SimRange::Member(std::size_t index, WORD flags, const std::vector<VARIANT>& arguments,
                         const VARIANT*, VARIANT* result) {
  if (IsWrite(flags)) return DISP_E_MEMBERNOTFOUND;
  if (index == 1 || index == 2) return ReturnObject(sheet_, result);
  if (index == 3) return ReturnObject(application_, result);
  if (arguments.size() > 5) return DISP_E_BADPARAMCOUNT;
  bool row_absolute = true;
  bool column_absolute = true;
  bool external = false;
  if (!TruthArgument(arguments, 0, true, &row_absolute) ||
      !TruthArgument(arguments, 1, true, &column_absolute) ||
      !TruthArgument(arguments, 3, false, &external)) {
    return DISP_E_TYPEMISMATCH;
  }
  std::string address = (column_absolute ? "$" : "") + ColumnLetters(column) +
                        (row_absolute ? "$" : "") + std::to_string(row);
  if (external) address = "[" + workbook_->name + "]" + sheet_->name + "!" + address;
  return ReturnValue(SimValue::Text(address), result);
}

// ---- Application ----

namespace {
enum ApplicationMember : std::size_t {
  kApplication,
  kExecuteExcel4Macro,
  kDisplayAlerts,
  kActiveWorksheet,
  kName,
  kParent,
  kOnSheetActivate,  // the three event properties, in this order
};
}  // namespace

SimApplication* SimApplication::Create(SimHost* host, bool otherProcess) {
  return new SimApplication(host, otherProcess);
}

SimApplication::SimApplication(SimHost* host, bool otherProcess)
    : DispatchObject(
          nullptr, {"Application", "ExecuteExcel4Macro", "DisplayAlerts", "ActiveWorksheet", "Name",
                    "Parent", "OnSheetActivate", "OnSheetDeactivate", "OnCalculate"}),
      host_(host),
      elsewhere_(otherProcess || !host),
      workbook_(this, this, "Book1"),
      sheet_(this, &workbook_, "Sheet1"),
      range_(this, &sheet_, &workbook_, 3, 2) {}

HRESULT SimApplication::Member(std::size_t index, WORD flags, const std::vector<VARIANT>& arguments,
                               const VARIANT* value, VARIANT* result) {
  if (index == kDisplayAlerts && IsWrite(flags)) {
    bool truth = true;
    std::vector<VARIANT> written = {*value};
    if (!TruthArgument(written, 0, true, &truth)) return DISP_E_TYPEMISMATCH;
    displayAlerts = truth;
    return S_OK;
  }
  if (index >= kOnSheetActivate) {
    std::string& macro = eventProperties[index - kOnSheetActivate];
    if (!IsWrite(flags)) return ReturnValue(SimValue::Text(macro), result);
    return TextArgument(*value, &macro) ? S_OK : DISP_E_TYPEMISMATCH;
  }
  if (IsWrite(flags)) return DISP_E_MEMBERNOTFOUND;
  switch (index) {
    case kExecuteExcel4Macro: {
      std::string text;
      if (arguments.size() != 1) return DISP_E_BADPARAMCOUNT;
      if (!TextArgument(arguments[0], &text)) return DISP_E_TYPEMISMATCH;
      return RunMacro(text, result);
    }
    case kDisplayAlerts: return ReturnValue(SimValue::Bool(displayAlerts), result);
    case kActiveWorksheet: return ReturnObject(&sheet_, result);
    case kName: return ReturnValue(SimValue::Text(name), result);
    default: return ReturnObject(this, result);
  }
}

HRESULT SimApplication::RunMacro(const std::string& text, VARIANT* result) {
  macros.push_back(text);
  CallMacro call;
  const SimValue answer = ParseCallMacro(text, &call) ? RunCall(call) : macroAnswer;
  VARIANT shown;
  const bool made = answer.ToVariant(&shown);
  if (host_) {
    host_->RecordAutomationCall("ExecuteExcel4Macro", {"\"" + text + "\""},
                                made ? VariantText(shown) : "<none>", elsewhere_);
  }
  if (made) VariantClear(&shown);
  return ReturnValue(answer, result);
}

SimValue SimApplication::RunCall(const CallMacro& call) {
  // Another process's copy of the library answers there; nothing of it reaches this process.
  if (elsewhere_) return SimValue::Number(1);
  platform::Module* module = host_->ModuleNamed(call.file);
  auto procedure =
      reinterpret_cast<IntegerProcedure>(platform::FindProcedure(module, call.procedure.c_str()));
  if (!module || !procedure || !SameTextIgnoringCase(call.type_text, "J")) {
    return SimValue::Error(kMacroErrorValue);
  }
  const int answer = procedure();
  host_->RecordAddinCall(call.procedure, {}, std::to_string(answer));
  return SimValue::Number(answer);
}

void SimApplication::ForgetModelCalls() {
  for (DispatchObject* object : std::initializer_list<DispatchObject*>{this, &workbook_, &sheet_,
                                                                        &range_}) {
    object->ForgetCalls();
  }
  macros.clear();
}
