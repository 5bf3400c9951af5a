// Making the simulated host's application findable through COM, as a running host is: its class
// under the host's ProgIDs, its application as the active object, and a workbook in the running
// object table under a file moniker.
#pragma once

#include <string>
#include <vector>

#include "platform/system.h"

// The class the simulated host's application is registered under.
extern const CLSID kSimApplicationClsid;

// The ProgIDs a host of this kind answers to: the current one and the one of version 7.0 and
// earlier hosts.
extern const std::vector<std::string> kHostProgIds;

// Each step is undone by Revoke, and by the destructor, in reverse order. COM must be
// initialised on the thread for as long as the registration lasts.
class AutomationRegistration {
 public:
  AutomationRegistration() = default;
  AutomationRegistration(const AutomationRegistration&) = delete;
  AutomationRegistration& operator=(const AutomationRegistration&) = delete;
  ~AutomationRegistration() { Revoke(); }

  // Makes each of progIds that names no class yet name kSimApplicationClsid (one that does is
  // left alone: the application is then found through the running object table). Returns false
  // with the reason in *error.
  bool RegisterClass(const std::vector<std::string>& progIds, std::string* error);
  // Makes object the active object of kSimApplicationClsid (holding a reference to it). Returns
  // false with the reason in *error.
  bool MakeActive(IUnknown* object, std::string* error);
  // Enters object in the running object table under a file moniker of path (holding a
  // reference to it). Returns false with the reason in *error.
  bool EnterRunning(IUnknown* object, const std::string& path, std::string* error);
  // Takes back everything registered so far.
  void Revoke();

 private:
  std::vector<std::string> prog_ids_;
  std::vector<DWORD> active_;
  std::vector<DWORD> running_;
};
