// The shared set-up of the bridge's tests: host, add-in, automation models and their registration.
#include "tests/com/bridge_fixture.h"

#include "harness/platform/module.h"
#include "xll/entry_points.h"
#include "xll/host_call.h"

namespace {
HINSTANCE const kInstance = reinterpret_cast<HINSTANCE>(0x10000000);
}  // namespace

void BridgeTest::SetUp() {
  platform::ResetComStandIn();
  ResetHostVersionCache();
  session.SetAttachHooks([] { DllMain(kInstance, DLL_PROCESS_ATTACH, nullptr); },
                         [] { DllMain(kInstance, DLL_PROCESS_DETACH, nullptr); });
  std::string error;
  ASSERT_TRUE(session.Load("", kXllName, &error)) << error;
}

void BridgeTest::TearDown() {
  session.Unload();
  registration.Revoke();
  for (SimApplication* model : models_) model->Release();
  models_.clear();
  EXPECT_EQ(platform::ComInitDepth(), 0) << "CoInitialize not balanced";
  EXPECT_EQ(platform::OutstandingStrings(), 0) << "automation texts not freed";
  EXPECT_EQ(host.OutstandingAllocations(), 0u);
  for (const std::string& fault : host.FreeFaultMessages()) ADD_FAILURE() << fault;
}

SimApplication* BridgeTest::OwnHost() {
  models_.push_back(SimApplication::Create(&host));
  return models_.back();
}

SimApplication* BridgeTest::OtherHost() {
  models_.push_back(SimApplication::Create(&host, true));
  return models_.back();
}

void BridgeTest::RegisterClass(const std::vector<std::string>& progIds) {
  std::string error;
  ASSERT_TRUE(registration.RegisterClass(progIds, &error)) << error;
}

void BridgeTest::MakeActive(IUnknown* object) {
  std::string error;
  ASSERT_TRUE(registration.MakeActive(object, &error)) << error;
}

void BridgeTest::EnterRunning(IUnknown* object, const std::string& path) {
  std::string error;
  ASSERT_TRUE(registration.EnterRunning(object, path, &error)) << error;
}

std::vector<std::string> BridgeTest::HostCallNames() const {
  std::vector<std::string> names;
  for (const TraceEntry& entry : host.Trace()) {
    if (!entry.into_addin && !entry.automation && entry.xlfn != xlFree) {
      names.push_back(entry.name);
    }
  }
  return names;
}

int BridgeTest::Probes() const {
  int probes = 0;
  for (const TraceEntry& entry : host.Trace()) {
    probes += entry.into_addin && entry.name == "xlCheckInstance";
  }
  return probes;
}

HRESULT PlainObject::QueryInterface(REFIID riid, void** object) {
  *object = nullptr;
  if (riid != IID_IUnknown) return E_NOINTERFACE;
  AddRef();
  *object = this;
  return S_OK;
}

void ModelTest::SetUp() {
  platform::ResetComStandIn();
  model = SimApplication::Create(nullptr);
}

void ModelTest::TearDown() {
  model->Release();
  EXPECT_EQ(platform::OutstandingStrings(), 0) << "automation texts not freed";
}
