// Running a macro text on the host application with its alerts switched off for the run.
#include "com/automation_value.h"
#include "com/dispatch_call.h"
#include "com/xll_com.h"

namespace {
// One call site for every read and write of "DisplayAlerts".
DispIdCache g_display_alerts = DISPID_UNKNOWN;
DispIdCache g_execute_macro = DISPID_UNKNOWN;
}  // namespace

HRESULT CXllCom::GetDisplayAlerts(int* truth) {
  VARIANT value;
  VariantInit(&value);
  const HRESULT code = GetProperty(application, L"DisplayAlerts", &g_display_alerts, &value);
  if (FAILED(code)) {
    VariantClear(&value);
    return code;
  }
  return TakeTruth(&value, truth);
}

HRESULT CXllCom::SetDisplayAlerts(int truth) {
  VARIANT value = TruthVariant(truth);
  return PutProperty(application, L"DisplayAlerts", &g_display_alerts, {&value});
}

HRESULT CXllCom::ExecuteMacroWithoutAlerts(const std::string& text, VARIANT* result) {
  int alerts = 0;
  HRESULT code = GetDisplayAlerts(&alerts);
  if (FAILED(code)) return code;
  if (alerts) {
    code = SetDisplayAlerts(0);
    if (FAILED(code)) return code;
  }
  VARIANT macro = TextVariant(text);
  const HRESULT run =
      CallMethod(application, L"ExecuteExcel4Macro", &g_execute_macro, result, {&macro});
  VariantClear(&macro);
  // Whatever the macro did, alerts this call switched off go back on.
  if (alerts) SetDisplayAlerts(1);
  return run;
}
