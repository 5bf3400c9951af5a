// The library entry point and the add-in entry points: the add-in's life as the host drives it.
#include "xll/entry_points.h"

#include "platform/runtime_memory.h"
#include "xll/app.h"
#include "xll/barrier.h"
#include "xll/cell_value.h"
#include "xll/format.h"
#include "xll/host_call.h"

namespace {

HINSTANCE g_instance = nullptr;

// The host's alert type for an error message with an OK button.
constexpr int kAlertError = 3;

int Open() {
  CXllApp* app = GetApp();
  if (!app) return 0;
  if (app->opened) return 1;

  // A bridge that runs from an earlier open stays: the host can be found only once.
  std::string message;
  long code = 0;
  bool proceed = true;
  if (!app->com && !app->StartCom(message, code) && app->reportComFailure) {
    HostAlert(ComFailureText(message, code), kAlertError);
    proceed = false;
  }
  int can_open = 0;
  if (proceed) {
    app->OnBeforeOpen();
    can_open = app->CanOpen();
    if (can_open) {
      app->ChooseInterface();
      app->RegisterAll();
    }
  }
  // Whatever came of it, a second open without a close or removal between does nothing.
  app->opened = 1;
  return proceed && can_open ? 1 : 0;
}

// Runs step on the application, if there is one; the answer of the simple entry points.
template <class Step>
int WithApp(Step step) {
  return ExceptionBarrier(0, [&step] {
    if (CXllApp* app = GetApp()) step(*app);
    return 1;
  });
}

}  // namespace

HINSTANCE XllInstance() { return g_instance; }

std::string ComFailureText(const std::string& message, long code) {
  if (code == 0) return FormatText("COM initialisation failed: %s", message.c_str());
  return FormatText("COM initialisation failed: %s\nCOM error: %ld", message.c_str(), code);
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  return ExceptionBarrier<BOOL>(TRUE, [instance, reason, reserved] {
    CXllApp* app = GetApp();
    if (reason == DLL_PROCESS_ATTACH) {
      g_instance = instance;
      if (app) app->OnAttach();
    } else if (reason == DLL_PROCESS_DETACH) {
      // A set reserved argument means the process is ending: the host's objects may be gone
      // already, and no COM call may be made under the loader lock. The bridge abandons its
      // references; an ordinary unload releases them as the bridge stops.
      if (app && reserved) app->AbandonCom();
      if (app) app->OnDetach();
      g_instance = nullptr;
      // Last: a host that loads the add-in again gets a new copy of the runtime, and this
      // copy's reserve would otherwise stay behind as a leak.
      platform::ReleaseRuntimeReserve();
    }
    return TRUE;
  });
}

extern "C" int __stdcall xlAutoOpen() { return ExceptionBarrier(0, Open); }

// The host unregisters the add-in's functions itself after this call, and calls xlAutoOpen again
// when the add-in is switched on again in the same session: that open registers them anew.
extern "C" int __stdcall xlAutoClose() {
  return WithApp([](CXllApp& app) {
    app.OnClose();
    app.ForgetRegistrations();
    app.opened = 0;
  });
}

extern "C" int __stdcall xlAutoAdd() {
  return WithApp([](CXllApp& app) { app.OnAdd(); });
}

extern "C" int __stdcall xlAutoRemove() {
  return WithApp([](CXllApp& app) {
    app.OnRemove();
    app.UnregisterAll();
    app.opened = 0;
  });
}

extern "C" XLOPER* __stdcall xlAddInManagerInfo(XLOPER* action) {
  XLOPER* answer = ExceptionBarrier<XLOPER*>(nullptr, [action] {
    // No action at all is a missing argument: the host gets no null pointer from us.
    CXllValue missing = CXllValue::Missing();
    CXllValue coerced;
    CXllValue integer_type = CXllValue::Int(xltypeInt);
    CallHost(coerced, xlCoerce, action ? action : static_cast<XLOPER*>(&missing), &integer_type);
    CXllApp* app = GetApp();
    CXllValue info;
    if (app && coerced.val.w == 1) {
      info.SetText(app->title);
    } else {
      info.SetError(xlerrValue);
    }
    return info.ReturnToHost();
  });
  return answer ? answer : ReturnErrorToHost(xlerrValue);
}
