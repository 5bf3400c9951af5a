// Reading CALL macro texts, and refusing everything else.
#include "harness/host/call_macro.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(ParseCallMacro, ReadsTheThreeTexts) {
  CallMacro call;
  ASSERT_TRUE(ParseCallMacro("CALL(\"C:\\AddIns\\MENSORA.xll\",\"xlCheckInstance\",\"j\")", &call));
  EXPECT_EQ(call.file, "C:\\AddIns\\MENSORA.xll");
  EXPECT_EQ(call.procedure, "xlCheckInstance");
  EXPECT_EQ(call.type_text, "j");
  ASSERT_TRUE(ParseCallMacro(" call ( \"a \"\"b\"\"\" , \"P\" ,\"J\" ) ", &call));
  EXPECT_EQ(call.file, "a \"b\"");
  EXPECT_EQ(call.type_text, "J");
}

TEST(ParseCallMacro, RefusesOtherTexts) {
  const std::vector<std::string> texts = {
      "",
      "CALL",
      "CALL()",
      "CALL(\"a\",\"b\")",
      "CALL(\"a\",\"b\",\"c\",\"d\")",
      "CALL(\"a\",\"b\",\"c\"",
      "CALL(\"a\",\"b\",\"c\") x",
      "CALL(\"a,\"b\",\"c\")",
      "CALLS(\"a\",\"b\",\"c\")",
      "CALL(a,\"b\",\"c\")",
      "Macro1()",
  };
  ASSERT_FALSE(texts.empty());
  for (const std::string& text : texts) {
    CallMacro call{"kept", "", ""};
    EXPECT_FALSE(ParseCallMacro(text, &call)) << text;
    EXPECT_EQ(call.file, "kept") << text;
  }
}

}  // namespace
