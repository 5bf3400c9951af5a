// Registering the simulated host with COM: found by ProgID, active, in the running object
// table under a file moniker, and all of it taken back.
#include "harness/host/automation_registration.h"

#include <gtest/gtest.h>

#include <string>

#include "harness/host/automation_app.h"
#include "harness/platform/class_registry.h"

namespace {

TEST(AutomationRegistration, RegisteredObjectsAreFoundAndRevokedObjectsAreNot) {
  platform::ResetComStandIn();
  SimApplication* application = SimApplication::Create(nullptr);
  {
    AutomationRegistration registration;
    std::string error;
    ASSERT_TRUE(registration.RegisterClass(kHostProgIds, &error)) << error;
    ASSERT_TRUE(registration.MakeActive(application, &error)) << error;
    ASSERT_TRUE(registration.EnterRunning(&application->Workbook(), "C:\\Books\\Book1.xls", &error))
        << error;

    for (const wchar_t* progId : {L"Excel.Application", L"excel.application.5"}) {
      CLSID clsid;
      ASSERT_EQ(CLSIDFromProgID(progId, &clsid), S_OK);
      EXPECT_TRUE(clsid == kSimApplicationClsid);
    }
    IUnknown* active = nullptr;
    ASSERT_EQ(GetActiveObject(kSimApplicationClsid, nullptr, &active), S_OK);
    EXPECT_EQ(active, static_cast<IUnknown*>(application));
    active->Release();

    IMoniker* moniker = nullptr;
    ASSERT_EQ(CreateFileMoniker(L"c:\\books\\BOOK1.xls", &moniker), S_OK);
    IBindCtx* context = nullptr;
    ASSERT_EQ(CreateBindCtx(0, &context), S_OK);
    IDispatch* bound = nullptr;
    ASSERT_EQ(
        moniker->BindToObject(context, nullptr, IID_IDispatch, reinterpret_cast<void**>(&bound)),
        S_OK);
    EXPECT_EQ(bound, static_cast<IDispatch*>(&application->Workbook()));
    bound->Release();
    context->Release();
    moniker->Release();
  }
  CLSID clsid;
  EXPECT_EQ(CLSIDFromProgID(L"Excel.Application", &clsid), CO_E_CLASSSTRING);
  IUnknown* active = nullptr;
  EXPECT_EQ(GetActiveObject(kSimApplicationClsid, nullptr, &active), MK_E_UNAVAILABLE);
  IRunningObjectTable* table = nullptr;
  ASSERT_EQ(GetRunningObjectTable(0, &table), S_OK);
  IEnumMoniker* monikers = nullptr;
  ASSERT_EQ(table->EnumRunning(&monikers), S_OK);
  IMoniker* next = nullptr;
  EXPECT_EQ(monikers->Next(1, &next, nullptr), S_FALSE);
  monikers->Release();
  table->Release();
  application->Release();
}

TEST(AutomationRegistration, AClassAlreadyUnderTheProgIdIsKept) {
  platform::ResetComStandIn();
  const CLSID installed = {0x00024500, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
  bool created = true;
  ASSERT_TRUE(platform::RegisterProgId("Excel.Application", installed, &created));
  EXPECT_TRUE(created);
  {
    AutomationRegistration registration;
    std::string error;
    ASSERT_TRUE(registration.RegisterClass(kHostProgIds, &error)) << error;
    CLSID clsid;
    ASSERT_EQ(CLSIDFromProgID(L"Excel.Application", &clsid), S_OK);
    EXPECT_TRUE(clsid == installed);
    ASSERT_EQ(CLSIDFromProgID(L"Excel.Application.5", &clsid), S_OK);
    EXPECT_TRUE(clsid == kSimApplicationClsid);
  }
  CLSID clsid;
  ASSERT_EQ(CLSIDFromProgID(L"Excel.Application", &clsid), S_OK);
  EXPECT_TRUE(clsid == installed);
  EXPECT_EQ(CLSIDFromProgID(L"Excel.Application.5", &clsid), CO_E_CLASSSTRING);
  platform::ResetComStandIn();
}

}  // namespace
