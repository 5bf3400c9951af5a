// Names and addresses of the host's objects as texts, and how each read fails.
#include "com/host_objects.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/com/bridge_fixture.h"

namespace {

class HostObjects : public ModelTest {};

TEST_F(HostObjects, NamesOfWorkbookAndSheetAndTheSheetsParent) {
  std::string name = "unchanged";
  ASSERT_EQ(GetWorkbookName(&model->Workbook(), name), S_OK);
  EXPECT_EQ(name, "Book1");
  ASSERT_EQ(GetSheetName(&model->Worksheet(), name), S_OK);
  EXPECT_EQ(name, "Sheet1");
  IDispatch* parent = nullptr;
  ASSERT_EQ(GetParent(&model->Worksheet(), &parent), S_OK);
  EXPECT_EQ(parent, static_cast<IDispatch*>(&model->Workbook()));
  parent->Release();
}

TEST_F(HostObjects, ANameThatIsNoTextIsConvertedAndAFailedReadChangesNothing) {
  std::string name = "unchanged";
  model->Workbook().SetAnswer("Name", SimValue::Number(42));
  ASSERT_EQ(GetWorkbookName(&model->Workbook(), name), S_OK);
  EXPECT_EQ(name, "42");

  name = "unchanged";
  model->Worksheet().SetAnswer("Name", SimValue::Error(kMacroErrorName));
  EXPECT_EQ(GetSheetName(&model->Worksheet(), name), DISP_E_TYPEMISMATCH);
  model->Worksheet().SetFailure("Name", DISP_E_EXCEPTION);
  EXPECT_EQ(GetSheetName(&model->Worksheet(), name), DISP_E_EXCEPTION);
  EXPECT_EQ(GetWorkbookName(nullptr, name), E_FAIL);
  EXPECT_EQ(GetSheetName(nullptr, name), E_FAIL);
  EXPECT_EQ(name, "unchanged");
}

struct AddressCase {
  const char* name;
  int external;
  std::vector<std::string> arguments;  // what AddressLocal received, first parameter first
  const char* address;
};

TEST_F(HostObjects, RangeAddressPlainAndExternal) {
  const std::vector<AddressCase> cases = {
      {"relative", 0, {"FALSE", "FALSE"}, "B3"},
      {"external",
       1,
       {"FALSE", "TRUE", "<omitted>", "<omitted>", "<omitted>"},
       "[Book1]Sheet1!$B3"},
  };
  ASSERT_FALSE(cases.empty());
  for (const AddressCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::string address;
    ASSERT_EQ(GetRangeAddress(&model->Range(), address, c.external), S_OK);
    EXPECT_EQ(address, c.address);
    EXPECT_EQ(model->Range().CallsOf("AddressLocal").back().arguments, c.arguments);
  }
}

TEST_F(HostObjects, AnAddressThatNamesItsWorkbookIsKept) {
  model->Range().SetAnswer("AddressLocal", SimValue::Text("[Other.xls]Data!$A$1"));
  std::string address;
  ASSERT_EQ(GetRangeAddress(&model->Range(), address, 1), S_OK);
  EXPECT_EQ(address, "[Other.xls]Data!$A$1");
  EXPECT_TRUE(model->Range().CallsOf("Worksheet").empty());
}

TEST_F(HostObjects, AFailedExternalPartLeavesThePlainAddress) {
  const std::vector<const char*> failing = {"Worksheet", "Parent", "Name"};
  ASSERT_FALSE(failing.empty());
  for (const char* member : failing) {
    SCOPED_TRACE(member);
    SimApplication* alone = SimApplication::Create(nullptr);
    const bool on_range = std::string(member) == "Worksheet";
    if (on_range) {
      alone->Range().SetFailure(member, DISP_E_EXCEPTION);
    } else {
      alone->Worksheet().SetFailure(member, DISP_E_EXCEPTION);
    }
    std::string address;
    EXPECT_EQ(GetRangeAddress(&alone->Range(), address, 1), DISP_E_EXCEPTION);
    EXPECT_EQ(address, "$B3");
    alone->Release();
  }
}

TEST_F(HostObjects, RangeAddressFailures) {
  std::string address = "unchanged";
  EXPECT_EQ(GetRangeAddress(nullptr, address, 0), E_FAIL);
  EXPECT_EQ(GetRangeAddress(nullptr, address, 1), static_cast<HRESULT>(0x80004005u));
  model->Range().SetFailure("AddressLocal", DISP_E_EXCEPTION);
  EXPECT_EQ(GetRangeAddress(&model->Range(), address, 0), DISP_E_EXCEPTION);
  EXPECT_EQ(address, "unchanged");
}

}  // namespace
