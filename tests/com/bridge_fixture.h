// The add-in (this test program) loaded in a fresh simulated host, with the host's automation
// model registered with the COM stand-in as each test arranges it.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "functions/addin_app.h"
#include "harness/host/addin_session.h"
#include "harness/host/automation_app.h"
#include "harness/host/automation_registration.h"
#include "harness/host/sim_host.h"

// The file name the host gives the add-in.
constexpr char kXllName[] = "C:\\AddIns\\MENSORA.xll";
// The probe macro the bridge runs on each candidate.
constexpr char kProbeMacro[] = "CALL(\"C:\\AddIns\\MENSORA.xll\",\"xlCheckInstance\",\"j\")";

// An object that is no automation object: it answers IUnknown alone.
class PlainObject : public IUnknown {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override { return --references_; }
  ULONG references() const { return references_; }

 private:
  ULONG references_ = 1;  // its owner's
};

class BridgeTest : public ::testing::Test {
 protected:
  void SetUp() override;
  // Unloads the add-in and takes back every registration, then checks that COM is balanced and
  // no automation text or host memory was left behind.
  void TearDown() override;

  // A new application model whose macros reach this add-in (own) or that stands for another
  // host process (other). Released at teardown.
  SimApplication* OwnHost();
  SimApplication* OtherHost();
  // The host's class under progIds; object as the active object; object in the running object
  // table under a file moniker. Each asserts success.
  void RegisterClass(const std::vector<std::string>& progIds = kHostProgIds);
  void MakeActive(IUnknown* object);
  void EnterRunning(IUnknown* object, const std::string& path);

  // The host's C API calls so far, without the releases of host memory.
  std::vector<std::string> HostCallNames() const;
  // How many probes reached this add-in.
  int Probes() const;

  SimHost host;
  CAddInApp app;
  AddinSession session{host};
  PlainObject plain;  // outlives the registration that may hold it
  AutomationRegistration registration;

 private:
  std::vector<SimApplication*> models_;
};

// One application model on its own, with no add-in loaded, for the calls made on it.
class ModelTest : public ::testing::Test {
 protected:
  void SetUp() override;
  // Releases the model and checks that no automation text was left behind.
  void TearDown() override;

  SimApplication* model = nullptr;
};
