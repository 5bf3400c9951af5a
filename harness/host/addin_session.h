// AddinSession: one add-in library loaded into the simulated host, from open to unload.
#pragma once

#include <functional>
#include <string>

#include "harness/host/sim_host.h"
#include "harness/platform/module.h"

// Loads an add-in and drives its life as the host does: xlAutoOpen and the title from
// xlAddInManagerInfo, then xlAutoClose or xlAutoRemove, and unloading. The host must outlive
// the session.
class AddinSession {
 public:
  explicit AddinSession(SimHost& host) : host_(host) {}
  AddinSession(const AddinSession&) = delete;
  AddinSession& operator=(const AddinSession&) = delete;
  ~AddinSession() { Unload(); }

  // Natively loading a library does not run its attach notification. attach runs right after
  // the library is loaded, detach right before it is unloaded; either may be empty.
  void SetAttachHooks(std::function<void()> attach, std::function<void()> detach);

  // Loads the library at path (natively, empty: this program itself) and makes the host report
  // it by name (through xlGetName, and when resolving xlfRegister), or by path when name is
  // empty. Returns false with the loader's message when it cannot be loaded, or when a library
  // is loaded already.
  bool Load(const std::string& path, const std::string& name, std::string* error);

  // Calls xlAutoOpen and returns its answer (0 when the library does not export it); then asks
  // xlAddInManagerInfo(1) for the title. Without a text answer the title is the file name.
  int Open();
  // The title the add-in manager would show.
  const std::string& Title() const { return title_; }

  // Call xlAutoClose and xlAutoRemove; each returns the add-in's answer, or 1 when the library
  // does not export it (there is nothing to do) or none is loaded. After xlAutoClose the host
  // drops every function the add-in left registered, as the spreadsheet host does.
  int Close();
  int Remove() { return CallEntry("xlAutoRemove"); }

  // Runs the detach hook and unloads the library; nothing when none is loaded.
  void Unload();

  platform::Module* module() const { return module_; }

 private:
  int CallEntry(const char* name);

  SimHost& host_;
  std::function<void()> attach_;
  std::function<void()> detach_;
  platform::Module* module_ = nullptr;
  std::string title_;
};
