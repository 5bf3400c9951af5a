// The bridge's life: the single-instance checks, COM initialisation around the lookup, the probe
// callback in the function list, and the echo and temporary-workbook measures.
#include "com/xll_com.h"

#include <new>

#include "xll/app.h"
#include "xll/cell_value.h"
#include "xll/format.h"
#include "xll/host_call.h"
#include "xll/registration_record.h"
#include "xll/xll_function.h"

CXllCom* ComInstance = nullptr;

namespace {

// The probe callback as the host registers it: a hidden helper command without arguments.
const RegistrationRecord kCheckInstanceRecord = {
    nullptr,
    kCheckInstanceName,
    "J",
    kCheckInstanceName,
    "",
    2,
    "Private Macros",
    "",
    0,
    "Implementation function used by library initialisation routines",
    nullptr};

// Runs host command xlfn with one logical-typed argument carrying payload. Returns the host's
// return code; result receives the host's answer.
int HostCommand(int xlfn, uint16_t payload, CXllValue& result) {
  CXllValue argument = CXllValue::Bool(payload);
  return CallHost(result, xlfn, &argument);
}

}  // namespace

CXllCom::CXllCom()
    : probeArmed(0),
      probeAnswered(0),
      tempWorkbook(0),
      echoOff(0),
      application(nullptr),
      app(nullptr),
      hooksInstalled(0),
      eventCookie(0),
      eventSink(nullptr) {}

CXllCom::~CXllCom() {
  Term();
  if (ComInstance == this) ComInstance = nullptr;
}

int CXllCom::Init(std::string& message, long& status) {
  message.clear();
  status = 0;
  if (ComInstance && ComInstance != this) {
    message = "An instance of CXllCom has already been created";
    return 0;
  }
  ComInstance = this;
  if (app) {
    message = "Init() has already been called";
    return 0;
  }
  app = GetApp();
  if (!app) {
    message = "No CXllApp instance found";
    return 0;
  }
  // Inside the host COM is normally initialised on this thread already (S_FALSE); either
  // success is balanced below.
  if (FAILED(CoInitialize(nullptr))) {
    message = "CoInitialize() failed";
    return 0;
  }
  probeAnswered = 0;
  tempWorkbook = 0;
  echoOff = 0;
  probeArmed = InitCheckInstance();
  if (!probeArmed) {
    message = "InitCheckInstance() failed to register callback";
    CoUninitialize();
    return 0;
  }

  int result = 0;
  std::string teardown;
  if (InitExcelOleFix(message)) {
    result = FindApplication(message, status);
    if (!TermExcelOleFix(teardown)) {
      // The teardown's message carries its own host code; the lookup's COM code would mislead.
      message = teardown;
      status = 0;
      result = 0;
    }
  } else {
    // The lookup is skipped, but the host's echo must not stay off because the workbook could
    // not be opened; the first failure stays the reason.
    TermExcelOleFix(teardown);
  }

  // Every probe disarms the callback: still armed means no candidate was probed, and the
  // callback has no use. Otherwise it stays and is registered with the worksheet functions.
  if (probeArmed) app->RemoveFunction(kCheckInstanceName);
  CoUninitialize();
  return result;
}

void CXllCom::Term() {
  if (!app) return;
  if (hooksInstalled) RemoveHooks();
  if (eventSink) {
    eventSink->Release();
    eventSink = nullptr;
  }
  if (application) {
    application->Release();
    application = nullptr;
  }
  app = nullptr;
}

void CXllCom::Abandon() {
  application = nullptr;
  eventSink = nullptr;
  hooksInstalled = 0;
  app = nullptr;
}

int CXllCom::InitCheckInstance() {
  if (app->FindFunction(kCheckInstanceName)) return 1;
  CXllFunction* function = nullptr;
  try {
    function = new CXllFunction(kCheckInstanceRecord);
  } catch (const std::bad_alloc&) {
    return 0;
  }
  return app->AddFunction(function);
}

int CXllCom::InitExcelOleFix(std::string& message) {
  CXllValue answer;
  int code = HostCommand(xlcEcho, 0, answer);
  if (code != xlretSuccess) {
    message =
        FormatText("InitExcelOleFix() failed to switch off workbook echo with error %d", code);
    return 0;
  }
  echoOff = 1;

  // The host's answer is a value of the error type when no workbook was made, even though the
  // call itself succeeded.
  CXllValue workbook;
  code = HostCommand(xlcNew, 6, workbook);
  if (code != xlretSuccess || (workbook.xltype & ~(xlbitXLFree | xlbitDLLFree)) == xltypeErr) {
    message = FormatText("InitExcelOleFix() failed to create new workbook with error %d", code);
    return 0;
  }
  tempWorkbook = 1;
  return 1;
}

int CXllCom::TermExcelOleFix(std::string& message) {
  int succeeded = 1;
  CXllValue answer;
  if (tempWorkbook) {
    const int code = HostCommand(xlcClose, 0, answer);
    tempWorkbook = 0;
    if (code != xlretSuccess) {
      message =
          FormatText("TermExcelOleFix() failed to close temporary workbook with error %d", code);
      succeeded = 0;
    }
  }
  if (echoOff) {
    const int code = HostCommand(xlcEcho, 1, answer);
    echoOff = 0;
    if (code != xlretSuccess) {
      message = FormatText("TermExcelOleFix() failed to restore echo with error %d", code);
      succeeded = 0;
    }
  }
  return succeeded;
}
