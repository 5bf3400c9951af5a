// CXllApp: the function map, registration of all functions, the default hooks and event dispatch.
#include "xll/app.h"

#include <memory>

#include "platform/host_entry.h"
#include "platform/system.h"
#include "xll/cell_value.h"
#include "xll/entry_points.h"
#include "xll/format.h"
#include "xll/host_call.h"
#include "xll/registration_record.h"
#include "xll/xll_function.h"

namespace {
// The application object GetApp returns. Constant-initialised, so it is null before any static
// constructor runs.
CXllApp* g_app = nullptr;

// Registers every function of functions not registered yet, through the interface of Value. The
// file name goes to the host as it answered, whatever its return code.
template <class Value>
void RegisterEach(std::map<std::string, CXllFunction*>& functions, double version) {
  Value module;
  CallHost(module, xlGetName);
  Value result;
  for (auto& entry : functions) {
    if (!entry.second->registered) entry.second->Register(module, version, result);
  }
}
}  // namespace

const ApplicationEvent kApplicationEvents[kApplicationEventCount] = {
    {"B", 0},   // 0 a new workbook
    {"SR", 0},  // 1 selection change
    {"SR", 1},  // 2 before double-click
    {"SR", 1},  // 3 before right-click
    {"S", 0},   // 4 sheet activation
    {"S", 0},   // 5 sheet deactivation
    {"S", 0},   // 6 calculation
    {"SR", 0},  // 7 sheet change
    {"B", 0},   // 8 workbook open
    {"B", 0},   // 9 workbook activation
    {"B", 0},   // 10 workbook deactivation
    {"B", 1},   // 11 before close
    {"BF", 1},  // 12 before save
    {"B", 1},   // 13 before print
    {"BS", 0},  // 14 new sheet
    {"B", 0},   // 15 add-in installed
    {"B", 0},   // 16 add-in uninstalled
};

CXllApp* GetApp() { return g_app; }

CXllApp::CXllApp() { g_app = this; }

CXllApp::~CXllApp() {
  StopCom();
  for (auto& entry : functions) delete entry.second;
  functions.clear();
  if (g_app == this) g_app = nullptr;
}

void CXllApp::OnAdd() {}
void CXllApp::OnRemove() {}
int CXllApp::CanAdd() { return 1; }
int CXllApp::CanRemove() { return 1; }
void CXllApp::OnBeforeOpen() {}
int CXllApp::CanOpen() { return 1; }
void CXllApp::OnClose() {}

int CXllApp::OnNewWorkbook(IDispatch* workbook) {
  return RaiseEvent(0, {EventArgument::Object(workbook)});
}
int CXllApp::OnSheetSelectionChange(IDispatch* sheet, IDispatch* range) {
  return RaiseEvent(1, {EventArgument::Object(sheet), EventArgument::Object(range)});
}
int CXllApp::OnSheetBeforeDoubleClick(IDispatch* sheet, IDispatch* range) {
  return RaiseEvent(2, {EventArgument::Object(sheet), EventArgument::Object(range)});
}
int CXllApp::OnSheetBeforeRightClick(IDispatch* sheet, IDispatch* range) {
  return RaiseEvent(3, {EventArgument::Object(sheet), EventArgument::Object(range)});
}
int CXllApp::OnSheetActivate(IDispatch* sheet) {
  return RaiseEvent(4, {EventArgument::Object(sheet)});
}
int CXllApp::OnSheetDeactivate(IDispatch* sheet) {
  return RaiseEvent(5, {EventArgument::Object(sheet)});
}
int CXllApp::OnSheetCalculate(IDispatch* sheet) {
  return RaiseEvent(6, {EventArgument::Object(sheet)});
}
int CXllApp::OnSheetChange(IDispatch* sheet, IDispatch* range) {
  return RaiseEvent(7, {EventArgument::Object(sheet), EventArgument::Object(range)});
}
int CXllApp::OnWorkbookOpen(IDispatch* workbook) {
  return RaiseEvent(8, {EventArgument::Object(workbook)});
}
int CXllApp::OnWorkbookActivate(IDispatch* workbook) {
  return RaiseEvent(9, {EventArgument::Object(workbook)});
}
int CXllApp::OnWorkbookDeactivate(IDispatch* workbook) {
  return RaiseEvent(10, {EventArgument::Object(workbook)});
}
int CXllApp::OnWorkbookBeforeClose(IDispatch* workbook) {
  return RaiseEvent(11, {EventArgument::Object(workbook)});
}
int CXllApp::OnWorkbookBeforeSave(IDispatch* workbook, int saveAsUi) {
  return RaiseEvent(12, {EventArgument::Object(workbook), EventArgument::Truth(saveAsUi)});
}
int CXllApp::OnWorkbookBeforePrint(IDispatch* workbook) {
  return RaiseEvent(13, {EventArgument::Object(workbook)});
}
int CXllApp::OnWorkbookNewSheet(IDispatch* workbook, IDispatch* sheet) {
  return RaiseEvent(14, {EventArgument::Object(workbook), EventArgument::Object(sheet)});
}
int CXllApp::OnWorkbookAddinInstall(IDispatch* workbook) {
  return RaiseEvent(15, {EventArgument::Object(workbook)});
}
int CXllApp::OnWorkbookAddinUninstall(IDispatch* workbook) {
  return RaiseEvent(16, {EventArgument::Object(workbook)});
}

void CXllApp::OnWindowActivate(IDispatch*, IDispatch*) {}
void CXllApp::OnWindowDeactivate(IDispatch*, IDispatch*) {}
void CXllApp::OnWindowResize(IDispatch*, IDispatch*) {}

int CXllApp::OnAttach() {
  char path[MAX_PATH] = {};
  if (GetModuleFileNameA(static_cast<HMODULE>(XllInstance()), path, MAX_PATH) != 0) {
    modulePath = path;
  }
  title = FormatText("XLL %s", modulePath.c_str());
  return 1;
}

int CXllApp::OnDetach() {
  // The host may already be gone: nothing here may call it.
  ForgetRegistrations();
  for (auto& entry : functions) delete entry.second;
  functions.clear();
  StopCom();
  return 1;
}

int CXllApp::AddFunction(CXllFunction* function) {
  if (!function) return 0;
  std::unique_ptr<CXllFunction> owned(function);
  auto slot = functions.find(function->functionText);
  if (slot == functions.end()) {
    slot = functions.emplace(function->functionText, nullptr).first;
  } else if (slot->second == function) {
    owned.release();  // already filed: replacing it by itself must not delete it
    return 1;
  }
  delete slot->second;
  slot->second = owned.release();
  function->owner = this;
  return 1;
}

CXllFunction* CXllApp::FindFunction(const std::string& functionText) const {
  const auto entry = functions.find(functionText);
  return entry == functions.end() ? nullptr : entry->second;
}

void CXllApp::RemoveFunction(const std::string& functionText) {
  const auto entry = functions.find(functionText);
  if (entry == functions.end()) return;
  std::unique_ptr<CXllFunction> function(entry->second);
  functions.erase(entry);
  if (function->registered) function->Unregister();
}

uint16_t CXllApp::LoadRegistrationRecords() {
  uint16_t count = 0;
  for (const RegistrationRecord* record = RegistrationList; record; record = record->next) {
    AddFunction(new CXllFunction(*record));
    ++count;
  }
  return count;
}

void CXllApp::ChooseInterface() {
  interface12 = HostMajorVersion() >= 12 && platform::ConnectHost12() ? 1 : 0;
}

void CXllApp::RegisterAll() {
  const double version = HostVersion();
  if (interface12) {
    RegisterEach<CXllValue12>(functions, version);
  } else {
    RegisterEach<CXllValue>(functions, version);
  }
}

void CXllApp::UnregisterAll() {
  for (auto& entry : functions) {
    if (entry.second->registered) entry.second->Unregister();
  }
}

void CXllApp::ForgetRegistrations() {
  for (auto& entry : functions) {
    entry.second->registered = 0;
    entry.second->registered12 = 0;
    entry.second->registerId = 0.0;
  }
}

std::string CXllApp::EventMacro(int index) const {
  if (index < 0 || index >= kEventMacroCount) return std::string();
  return eventMacros[index];
}

int CXllApp::RunEventMacro(int index, int wantsResult, const char* letters,
                           std::initializer_list<EventArgument> arguments) {
  const std::string macro = EventMacro(index);
  if (macro.empty()) return 0;
  return ExecuteEventMacro(macro, wantsResult, letters, arguments);
}

int CXllApp::RaiseEvent(int index, std::initializer_list<EventArgument> arguments) {
  const ApplicationEvent& event = kApplicationEvents[index];
  return RunEventMacro(index, event.wantsResult, event.letters, arguments);
}
