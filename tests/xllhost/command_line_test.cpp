// Reading the xllhost command line: what each option sets, and what is refused with which text.
#include "harness/xllhost/command_line.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace {

// Parses the arguments after the program name.
bool Parse(std::initializer_list<const char*> arguments, XllhostOptions* options,
           std::string* error) {
  std::vector<const char*> argv{"xllhost"};
  argv.insert(argv.end(), arguments);
  return ParseCommandLine(static_cast<int>(argv.size()), argv.data(), options, error);
}

TEST(CommandLine, ThePathComesFirstAndTheFormulasFollowInOrder) {
  XllhostOptions options;
  std::string error;
  ASSERT_TRUE(Parse({"MENSORA.xll", "=Grav()", "--trace", "=GasConst()"}, &options, &error))
      << error;
  EXPECT_EQ(options.addin_path, "MENSORA.xll");
  EXPECT_EQ(options.formulas, (std::vector<std::string>{"=Grav()", "=GasConst()"}));
  EXPECT_TRUE(options.trace);
  // Nothing else was asked for.
  EXPECT_EQ(options.version, "16.0");
  EXPECT_EQ(options.open_count, 1);
  EXPECT_EQ(options.repeat, 1);
  EXPECT_EQ(options.cycles, 1);
  EXPECT_LT(options.max_growth_kib, 0);
  EXPECT_FALSE(options.remove || options.leaks);
  EXPECT_EQ(options.style, NumberStyle::kCell);
  EXPECT_EQ(options.automation, AutomationMode::kActive);
  EXPECT_TRUE(options.macros.empty());
}

TEST(CommandLine, EachOptionSetsWhatItNames) {
  XllhostOptions options;
  std::string error;
  ASSERT_TRUE(Parse({"--version", "4.0", "--name", "C:\\AddIns\\A.xll", "--open", "3", "--file",
                     "a", "--check", "b", "--check", "c", "--round-trip", "--remove", "--leaks",
                     "--repeat", "100000", "--cycles", "7", "--max-growth", "0", "A.xll"},
                    &options, &error))
      << error;
  EXPECT_EQ(options.version, "4.0");
  EXPECT_EQ(options.addin_name, "C:\\AddIns\\A.xll");
  EXPECT_EQ(options.open_count, 3);
  EXPECT_EQ(options.formula_files, std::vector<std::string>{"a"});
  EXPECT_EQ(options.check_files, (std::vector<std::string>{"b", "c"}));
  EXPECT_EQ(options.style, NumberStyle::kRoundTrip);
  EXPECT_TRUE(options.remove && options.leaks);
  EXPECT_EQ(options.repeat, 100000);
  EXPECT_EQ(options.cycles, 7);
  EXPECT_EQ(options.max_growth_kib, 0);
  EXPECT_FALSE(options.trace);
}

TEST(CommandLine, AutomationModesAndMacros) {
  struct Mode {
    const char* name;
    AutomationMode mode;
  };
  const std::vector<Mode> modes = {{"active", AutomationMode::kActive},
                                   {"rot", AutomationMode::kRunningTable},
                                   {"none", AutomationMode::kNone}};
  ASSERT_FALSE(modes.empty());
  for (const Mode& mode : modes) {
    XllhostOptions options;
    std::string error;
    ASSERT_TRUE(Parse({"--automation", mode.name, "--run-macro", "First", "A.xll",
                       "--run-macro", "Second"},
                      &options, &error))
        << error;
    EXPECT_EQ(options.automation, mode.mode) << mode.name;
    EXPECT_EQ(options.macros, (std::vector<std::string>{"First", "Second"}));
  }
}

TEST(CommandLine, AfterTheDoubleDashEverythingIsPositional) {
  XllhostOptions options;
  std::string error;
  ASSERT_TRUE(Parse({"--", "--odd-name.xll", "--trace"}, &options, &error)) << error;
  EXPECT_EQ(options.addin_path, "--odd-name.xll");
  EXPECT_EQ(options.formulas, std::vector<std::string>{"--trace"});
  EXPECT_FALSE(options.trace);
}

TEST(CommandLine, HelpNeedsNoAddinAndListsEveryOption) {
  XllhostOptions options;
  std::string error;
  ASSERT_TRUE(Parse({"-h"}, &options, &error)) << error;
  EXPECT_TRUE(options.help);
  const std::string help = HelpText();
  for (const char* option : {"--version V", "--name NAME", "--open N", "--file F", "--check F",
                             "--round-trip", "--trace", "--remove", "--leaks", "--automation MODE",
                             "--run-macro NAME", "--repeat N", "--cycles N", "--max-growth KIB",
                             "CHAR(n)", "--help", "--xllhost-version"}) {
    EXPECT_NE(help.find(option), std::string::npos) << option;
  }
  EXPECT_NE(help.find("exit status"), std::string::npos);
}

// Asking for xllhost's own version needs no add-in and leaves --version, the host version the
// add-in is told, as it was.
TEST(CommandLine, OwnVersionNeedsNoAddinAndIsNotTheHostVersion) {
  XllhostOptions options;
  std::string error;
  ASSERT_TRUE(Parse({"--xllhost-version"}, &options, &error)) << error;
  EXPECT_TRUE(options.show_version);
  EXPECT_EQ(options.version, "16.0");
}

struct Refusal {
  std::vector<const char*> arguments;
  const char* message;
};

TEST(CommandLine, RefusesWhatItCannotUseAndSaysWhy) {
  const std::vector<Refusal> refusals = {
      {{}, "no add-in named"},
      {{"--trace"}, "no add-in named"},
      {{"--frobnicate", "A.xll"}, "unknown option --frobnicate"},
      {{"A.xll", "--check"}, "--check wants a value F"},
      {{"--version", "abc", "A.xll"}, "--version wants a version number"},
      {{"--version", "0", "A.xll"}, "--version wants a version number"},
      {{"--open", "0", "A.xll"}, "--open wants a count from 1 to 1000, not '0'"},
      {{"--open", "2x", "A.xll"}, "--open wants a count"},
      {{"--open", "1001", "A.xll"}, "--open wants a count"},
      {{"--repeat", "0", "A.xll"}, "--repeat wants a count from 1 to 100000000, not '0'"},
      {{"--repeat", "99999999999999999999", "A.xll"}, "--repeat wants a count"},
      {{"--cycles", "", "A.xll"}, "--cycles wants a count from 1 to 100000, not ''"},
      {{"--max-growth", "-1", "A.xll"}, "--max-growth wants a count from 0 to 1048576"},
      {{"--name", "", "A.xll"}, "--name wants a file name"},
      {{"--automation", "ROT", "A.xll"}, "--automation wants active, rot or none, not 'ROT'"},
      {{"A.xll", "--automation"}, "--automation wants a value MODE"},
      {{"--run-macro", "", "A.xll"}, "--run-macro wants a name"},
  };
  ASSERT_FALSE(refusals.empty());
  for (const Refusal& refusal : refusals) {
    std::vector<const char*> argv{"xllhost"};
    argv.insert(argv.end(), refusal.arguments.begin(), refusal.arguments.end());
    XllhostOptions options;
    std::string error;
    EXPECT_FALSE(ParseCommandLine(static_cast<int>(argv.size()), argv.data(), &options, &error))
        << refusal.message;
    EXPECT_EQ(error.rfind(refusal.message, 0), 0u) << error;
  }
}

}  // namespace
