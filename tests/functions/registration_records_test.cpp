// The registration records as the framework finds them on the list after loading.
#include "xll/registration_record.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "harness/platform/module.h"

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

TEST(RegistrationRecords, Version12FormOfEveryFunction) {
  const std::vector<const RegistrationRecord*> records = LinkedRecords();
  ASSERT_FALSE(records.empty());
  platform::Module* self = platform::LoadModule(nullptr, nullptr);
  for (const RegistrationRecord* record : records) {
    SCOPED_TRACE(record->functionText);
    ASSERT_NE(record->procedure12, nullptr);
    EXPECT_EQ(record->procedure12, std::string(record->procedure) + "12");
    EXPECT_NE(platform::FindProcedure(self, record->procedure12), nullptr);
    // Each letter has its wide form: a version 12 value (Q), a double (B), a counted wide text
    // (D%); then the mark that lets the host call it from several threads at once.
    std::string wide;
    for (const char* letter = record->typeText; *letter; ++letter) {
      wide += *letter == 'R' ? "Q" : *letter == 'C' ? "D%" : std::string(1, *letter);
    }
    EXPECT_EQ(record->typeText12, wide + "$");
    // The host shows at most 255 characters of an argument's help, the blank the add-in adds
    // (which a host may cut from the last help) included.
    for (const char* help = record->argumentHelp; *help; help += std::strlen(help) + 1) {
      EXPECT_LE(std::strlen(help) + 1, 255u) << help;
    }
  }
  platform::UnloadModule(self);
}

}  // namespace
