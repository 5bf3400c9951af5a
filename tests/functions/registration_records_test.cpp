// The registration records as the framework finds them on the list after loading.
#include "xll/registration_record.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<const RegistrationRecord*> LinkedRecords() {
  std::vector<const RegistrationRecord*> records;
  for (const RegistrationRecord* r = RegistrationList; r != nullptr && records.size() < 100;
       r = r->next) {
    records.push_back(r);
  }
  return records;
}

// The argument help run as the bytes it must hold: each text and its NUL, then the empty text.
std::string HelpRun(const std::vector<std::string>& helps) {
  std::string run;
  for (const std::string& help : helps) run += help + '\0';
  return run + '\0';
}

struct Expected {
  std::string name;
  std::string typeText;
  std::string argumentText;
  std::string functionHelp;
  std::vector<std::string> argumentHelp;
};

// In list order, from the head: the reverse of the order the records are defined in.
const std::vector<Expected> kExpected = {
    {"GasConst", "R", "", "Returns 8.31446261815324 J / mol / degK, the universal gas constant", {}},
    {"Grav", "R", "", "Returns 9.80665 m/s^2, the gravitational constant", {}},
    {"ShowCommonMetric", "RC", "InUnits",
     "Show the standard metric MKS units equivalent to InUnits except for several common "
     "units:   J, N,  W, Pa, etc.",
     {"= Input units (text)."}},
    {"ShowMetric", "RC", "InUnits", "Show the standard metric MKS units equivalent to InUnits",
     {"= Input units (text)."}},
    {"FromMetric", "RBC", "Val,OutUnits", "Change Val from standard metric MKS units to OutUnits",
     {"= Input value expressed in MKS units (number)", "= The units to output (text)."}},
    {"ToMetric", "RBC", "Val,InUnits", "Change Val from InUnits to standard metric MKS units",
     {"= Input value expressed in InUnits (number)", "= The units of Val (text)."}},
    {"Mensora", "RBCC", "Val,InUnits,OutUnits", "Change Val from InUnits to OutUnits",
     {"= Input value expressed in InUnits (number)", "= The units of Val (text)",
      "= The units to output (text)."}},
};

TEST(RegistrationRecords, SevenRecordsLinkedInReverseOrderOfDefinition) {
  const std::vector<const RegistrationRecord*> records = LinkedRecords();
  ASSERT_EQ(records.size(), kExpected.size());
  for (std::size_t i = 0; i < records.size(); ++i) {
    EXPECT_EQ(records[i]->functionText, kExpected[i].name) << "position " << i;
  }
}

TEST(RegistrationRecords, EveryFieldByteForByte) {
  const std::vector<const RegistrationRecord*> records = LinkedRecords();
  ASSERT_FALSE(kExpected.empty());
  ASSERT_EQ(records.size(), kExpected.size());
  for (std::size_t i = 0; i < records.size(); ++i) {
    const RegistrationRecord& record = *records[i];
    const Expected& expected = kExpected[i];
    SCOPED_TRACE(expected.name);
    EXPECT_EQ(record.procedure, expected.name);
    EXPECT_EQ(record.functionText, expected.name);
    EXPECT_EQ(record.typeText, expected.typeText);
    EXPECT_EQ(record.argumentText, expected.argumentText);
    EXPECT_EQ(record.macroType, 1);
    EXPECT_EQ(record.category, std::string("Mensora"));
    EXPECT_EQ(record.shortcutText, std::string(""));
    EXPECT_EQ(record.helpContextId, 0);
    EXPECT_EQ(record.functionHelp, expected.functionHelp);
    const std::string run = HelpRun(expected.argumentHelp);
    ASSERT_NE(record.argumentHelp, nullptr);
    EXPECT_EQ(std::string(record.argumentHelp, run.size()), run);
  }
}

}  // namespace
