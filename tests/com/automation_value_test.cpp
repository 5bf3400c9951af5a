// Texts and truth values to and from automation values.
#include "com/automation_value.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/system.h"

namespace {

class AutomationValue : public ::testing::Test {
 protected:
  void SetUp() override { platform::ResetComStandIn(); }
  void TearDown() override { EXPECT_EQ(platform::OutstandingStrings(), 0); }
};

TEST_F(AutomationValue, TextsSurviveTheRoundTripThroughTheAnsiCodePage) {
  const std::vector<std::string> texts = {"", "Book1", "kg m^2 / s^2", "\xB5m",
                                          std::string(300, 'x')};
  ASSERT_FALSE(texts.empty());
  for (const std::string& text : texts) {
    BSTR wide = TextToBstr(text);
    ASSERT_NE(wide, nullptr);
    EXPECT_EQ(SysStringLen(wide), text.size());
    EXPECT_EQ(BstrToText(wide), text);
    SysFreeString(wide);
  }
  EXPECT_EQ(BstrToText(nullptr), "");
}

}  // namespace
