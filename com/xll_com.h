// CXllCom: the automation bridge to the host application, one per process, and ComInstance.
#pragma once

#include <cstdint>
#include <string>

#include "platform/system.h"

class CXllApp;

// The probe callback: the procedure the probe macro calls and the name it is registered under.
constexpr char kCheckInstanceName[] = "xlCheckInstance";

// The host's event properties whose macro texts the bridge keeps: "OnSheetActivate",
// "OnSheetDeactivate" and "OnCalculate", in the order of the event indexes of OnHostEvent.
constexpr int kSavedHandlerCount = 3;

// The bridge: finds the host application object of this process through automation, keeps it,
// and forwards the host's sheet and calculation events to the application's hooks. Made by
// CXllApp::StartCom, which runs Init once; stopped by CXllApp::StopCom (Term, then delete).
class CXllCom {
 public:
  // Every field zero, the texts empty; ComInstance is not touched.
  CXllCom();
  CXllCom(const CXllCom&) = delete;
  CXllCom& operator=(const CXllCom&) = delete;
  // Runs Term, and clears ComInstance when it points to this bridge (and only then: a second
  // bridge that failed to start must not cut the running one off).
  ~CXllCom();

  // Starts the bridge: one bridge per process, COM initialised on this thread and balanced again
  // before returning, the probe callback in the function list, the host's echo off and a
  // temporary workbook open around the lookup. Returns 1 when the host application was found;
  // 0 with the reason in message and the last COM code of the lookup (or 0) in status.
  int Init(std::string& message, long& status);
  // Releases the host application and forgets the add-in's application object; nothing when
  // Init never got as far as taking it.
  void Term();
  // Lets go of the host application and of any event sink without releasing them and without
  // any other COM call, so that Term and the destructor find nothing left to do. For the
  // library's unloading at process exit, when the host's objects may be gone already.
  void Abandon();

  // Puts the probe callback into the application's function list unless it is there. Returns 1
  // when it is there, 0 when it could not be added.
  int InitCheckInstance();
  // Switches the host's screen echo off and opens a temporary workbook. Returns 1, or 0 with a
  // message naming the host's return code.
  int InitExcelOleFix(std::string& message);
  // Closes the temporary workbook and switches echo back on, each only if it was done; each
  // flag is cleared whatever the host answered. Returns 1, or 0 with the message of the last
  // command that failed.
  int TermExcelOleFix(std::string& message);

  // Forwards host event index (0 sheet activation, with the active sheet; 1 sheet
  // deactivation; 2 calculation) to the application's hook, then runs the saved event-property
  // macro of that index, if any. Other indexes do nothing.
  void OnHostEvent(int index);

  // Reads the host's DisplayAlerts into *truth (1 or 0). Returns 0, or the failing code with
  // *truth untouched.
  HRESULT GetDisplayAlerts(int* truth);
  // Writes DisplayAlerts. Returns the call's code.
  HRESULT SetDisplayAlerts(int truth);
  // Runs a macro text on the host application with alerts off, restoring them afterwards when
  // it switched them off. result receives the macro's value (caller-initialised). Returns the
  // run's code, or the code of reading or switching alerts, which stops the run.
  HRESULT ExecuteMacroWithoutAlerts(const std::string& text, VARIANT* result);

  // Has candidate run the probe macro that calls this file's probe callback. Returns 1 when
  // the callback answered in this process (now or at an earlier probe), else 0.
  int ProbeInstance(IDispatch* candidate);
  // Finds the host application object of this process: the active object of the host's class
  // first, then the running object table's entries, each probed. Returns 1 with application
  // set; 0 with a message (the first failure, or "Failed to find running application").
  // status ends as the code of the last step: 0 after a find, 1 when the table ran out.
  int FindApplication(std::string& message, long& status);

  int32_t probeArmed;      // nonzero while a probe may be answered
  int32_t probeAnswered;   // set by xlCheckInstance; never reset between candidates
  int32_t tempWorkbook;    // InitExcelOleFix opened the temporary workbook
  int32_t echoOff;         // InitExcelOleFix switched echo off
  IDispatch* application;  // owned: the host application once found
  CXllApp* app;            // not owned: set by Init
  int32_t hooksInstalled;  // event hooks were installed in the host (nothing installs them)
  uint32_t eventCookie;    // the cookie of a sink connected to the host's events (none is)
  IUnknown* eventSink;     // owned: a sink for the host's events (none is made)
  std::string savedHandlers[kSavedHandlerCount];  // OnSheetActivate, OnSheetDeactivate, OnCalculate

 private:
  // Undoes installed event hooks: on hosts of version 5.0 and below writes the saved event
  // properties back.
  void RemoveHooks();
  // Writes savedHandlers back into the host's three event properties, stopping at the first
  // failure. Returns 0 or that failure's code.
  HRESULT RestoreHandlers();
};

// The process's bridge, or nullptr; xlCheckInstance reaches the bridge through it.
extern CXllCom* ComInstance;
