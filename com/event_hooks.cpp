// The host's sheet and calculation events forwarded to the application's hooks, and the undoing
// of event hooks installed in the host.
#include "com/automation_value.h"
#include "com/dispatch_call.h"
#include "com/xll_com.h"
#include "xll/app.h"
#include "xll/format.h"
#include "xll/host_call.h"

namespace {

DispIdCache g_active_worksheet = DISPID_UNKNOWN;

// The host's event properties, in the order of savedHandlers, each with its own call site.
const OLECHAR* const kEventProperties[kSavedHandlerCount] = {L"OnSheetActivate",
                                                             L"OnSheetDeactivate", L"OnCalculate"};
DispIdCache g_event_properties[kSavedHandlerCount] = {DISPID_UNKNOWN, DISPID_UNKNOWN,
                                                      DISPID_UNKNOWN};

// Hosts up to this version keep event macros in event properties rather than connection points.
constexpr double kLastPropertyEventsVersion = 5.0;

}  // namespace

void CXllCom::OnHostEvent(int index) {
  CXllApp* owner = GetApp();
  if (!owner || index < 0 || index >= kSavedHandlerCount) return;
  IDispatch* sheet = nullptr;
  switch (index) {
    case 0:
      // Without a readable active sheet the hook gets none.
      GetObjectProperty(application, L"ActiveWorksheet", &g_active_worksheet, &sheet);
      owner->OnSheetActivate(sheet);
      break;
    case 1: owner->OnSheetDeactivate(nullptr); break;
    default: owner->OnSheetCalculate(nullptr); break;
  }
  // The host's own macro for the event, saved when hooks replaced it, still runs.
  if (!savedHandlers[index].empty()) {
    VARIANT text = TextVariant(FormatText("%s()", savedHandlers[index].c_str()));
    ExecuteMacro(application, &text);
    VariantClear(&text);
  }
  if (sheet) sheet->Release();
}

void CXllCom::RemoveHooks() {
  // Newer hosts would have had a sink connected to their events; nothing here connects one, so
  // there is no connection to take back, only the sink Term releases.
  if (HostVersion() <= kLastPropertyEventsVersion) RestoreHandlers();
  hooksInstalled = 0;
}

HRESULT CXllCom::RestoreHandlers() {
  for (int i = 0; i < kSavedHandlerCount; ++i) {
    VARIANT text = TextVariant(savedHandlers[i]);
    const HRESULT code =
        PutProperty(application, kEventProperties[i], &g_event_properties[i], {&text});
    VariantClear(&text);
    if (FAILED(code)) return code;
  }
  return S_OK;
}
