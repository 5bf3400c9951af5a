// Registering the simulated host's objects with COM, and taking them back.
#include "harness/host/automation_registration.h"

#include <cstdio>

#include "harness/platform/class_registry.h"

const CLSID kSimApplicationClsid = {
    0x6D656E73, 0x6F72, 0x4148, {0x8F, 0x53, 0x54, 0x48, 0x4F, 0x53, 0x54, 0x30}};

const std::vector<std::string> kHostProgIds = {"Excel.Application", "Excel.Application.5"};

namespace {

std::string Failure(const char* what, HRESULT code) {
  char text[128];
  std::snprintf(text, sizeof text, "%s failed with error %lx", what,
                static_cast<unsigned long>(static_cast<uint32_t>(code)));
  return text;
}

}  // namespace

bool AutomationRegistration::RegisterClass(const std::vector<std::string>& progIds,
                                           std::string* error) {
  for (const std::string& progId : progIds) {
    bool created = false;
    if (!platform::RegisterProgId(progId, kSimApplicationClsid, &created)) {
      if (error) *error = "cannot register the ProgID " + progId;
      return false;
    }
    // A class already registered under the ProgID stays, and is not ours to take back.
    if (created) prog_ids_.push_back(progId);
  }
  return true;
}

bool AutomationRegistration::MakeActive(IUnknown* object, std::string* error) {
  DWORD cookie = 0;
  const HRESULT code =
      RegisterActiveObject(object, kSimApplicationClsid, ACTIVEOBJECT_STRONG, &cookie);
  if (FAILED(code)) {
    if (error) *error = Failure("RegisterActiveObject", code);
    return false;
  }
  active_.push_back(cookie);
  return true;
}

bool AutomationRegistration::EnterRunning(IUnknown* object, const std::string& path,
                                          std::string* error) {
  std::vector<OLECHAR> wide;
  for (char c : path) wide.push_back(static_cast<OLECHAR>(static_cast<unsigned char>(c)));
  wide.push_back(0);
  IMoniker* moniker = nullptr;
  HRESULT code = CreateFileMoniker(wide.data(), &moniker);
  if (FAILED(code)) {
    if (error) *error = Failure("CreateFileMoniker", code);
    return false;
  }
  IRunningObjectTable* table = nullptr;
  code = GetRunningObjectTable(0, &table);
  DWORD cookie = 0;
  if (SUCCEEDED(code)) {
    code = table->Register(ROTFLAGS_REGISTRATIONKEEPSALIVE, object, moniker, &cookie);
    table->Release();
  }
  moniker->Release();
  if (FAILED(code)) {
    if (error) *error = Failure("IRunningObjectTable::Register", code);
    return false;
  }
  running_.push_back(cookie);
  return true;
}

void AutomationRegistration::Revoke() {
  IRunningObjectTable* table = nullptr;
  if (!running_.empty() && SUCCEEDED(GetRunningObjectTable(0, &table))) {
    for (auto it = running_.rbegin(); it != running_.rend(); ++it) table->Revoke(*it);
    table->Release();
  }
  running_.clear();
  for (auto it = active_.rbegin(); it != active_.rend(); ++it) RevokeActiveObject(*it, nullptr);
  active_.clear();
  for (const std::string& progId : prog_ids_) platform::UnregisterProgId(progId);
  prog_ids_.clear();
}
