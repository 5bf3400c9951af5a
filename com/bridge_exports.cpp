// The probe callback and the event entry points, each behind the exception barrier.
#include "com/bridge_exports.h"

#include "com/xll_com.h"
#include "xll/app.h"
#include "xll/barrier.h"

namespace {

// Forwards host event index to the bridge of the application object, if there is one.
int ForwardEvent(int index) {
  return ExceptionBarrier(1, [index] {
    CXllApp* app = GetApp();
    if (app && app->com) app->com->OnHostEvent(index);
    return 1;
  });
}

}  // namespace

extern "C" int __stdcall xlCheckInstance() {
  return ExceptionBarrier(1, [] {
    // Only the bridge of this process can be armed; a probe from another process's macro finds
    // none here and changes nothing.
    if (ComInstance && ComInstance->probeArmed) ComInstance->probeAnswered = 1;
    return 1;
  });
}

extern "C" int __stdcall CXllComImpl_OnSheetActivate() { return ForwardEvent(0); }
extern "C" int __stdcall CXllComImpl_OnSheetDeactivate() { return ForwardEvent(1); }
extern "C" int __stdcall CXllComImpl_OnCalculate() { return ForwardEvent(2); }
