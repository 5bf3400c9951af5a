// Runs of the built mensora command: what it prints where, and how it exits.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "units/catalogue.h"

extern char** environ;

namespace {

struct RunResult {
  int status = -1;
  std::string out;
  std::string err;
};

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Runs the command with arguments, input on its standard input, and collects both outputs
// through files so that neither can fill a pipe and stall the run.
RunResult RunMensora(const std::vector<std::string>& arguments, const std::string& input = "") {
  char folder_template[] = "/tmp/mensora_cli_XXXXXX";
  const char* folder = mkdtemp(folder_template);
  EXPECT_NE(folder, nullptr);
  const std::string in_path = std::string(folder) + "/in";
  const std::string out_path = std::string(folder) + "/out";
  const std::string err_path = std::string(folder) + "/err";
  std::ofstream(in_path, std::ios::binary) << input;

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, in_path.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, out_path.c_str(), O_WRONLY | O_CREAT, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, err_path.c_str(), O_WRONLY | O_CREAT, 0600);
  std::vector<char*> argv{const_cast<char*>(MENSORA_COMMAND)};
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);

  RunResult run;
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, MENSORA_COMMAND, &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  EXPECT_EQ(spawned, 0) << MENSORA_COMMAND;
  int wait_status = 0;
  if (spawned == 0 && waitpid(pid, &wait_status, 0) == pid && WIFEXITED(wait_status)) {
    run.status = WEXITSTATUS(wait_status);
  }
  run.out = ReadFile(out_path);
  run.err = ReadFile(err_path);
  for (const std::string& path : {in_path, out_path, err_path}) std::remove(path.c_str());
  rmdir(folder);
  return run;
}

int CountLines(const std::string& text) {
  int lines = 0;
  for (char c : text) lines += c == '\n';
  return lines;
}

struct Expected {
  std::vector<std::string> arguments;
  int status;
  const char* out;
  const char* err;
};

const Expected kRuns[] = {
    {{"100", "degC", "degF"}, 0, "212\n", ""},
    {{"1", "ft", "in"}, 0, "12\n", ""},
    {{"-40", "degC", "degF"}, 0, "-40\n", ""},
    {{"-r", "1", "mi/hr", "m/s"}, 0, "0.44703999999999994\n", ""},
    {{"1", "mi/hr", "m/s", "--round-trip"}, 0, "0.44703999999999994\n", ""},
    {{"5", "", ""}, 0, "5\n", ""},
    {{"1", "ft"}, 0, "0.3048\tm \n", ""},
    {{"0", "degC"}, 0, "273.15\tdegK \n", ""},
    {{"--si", "F"}, 0, "s^2 C^2 / kg m^2 \n", ""},
    {{"--common", "Btu"}, 0, "J\n", ""},
    {{"--si", "ft/m"}, 0, "\n", ""},
    {{"--si", "-m"}, 0, "m \n", ""},
    {{"--si", "(m/s)^-2"}, 0, "s^2 / m^2 \n", ""},
    {{"25", "\xC2\xB5m", "in"}, 0, "0.000984251968503937\n", ""},
    {{"--si", "\xC2\xB5xyz"}, 1, "", "Unknown unit '\xC2\xB5xyz'\n"},
    {{"1", "ft", "s"}, 1, "", "Inconsistent units\n"},
    {{"1", "xyz", "abc"}, 1, "", "Unknown unit 'xyz'\n"},
    {{"1", "m 2"}, 1, "", "number in wrong place\n"},
    {{"--si", "xyz"}, 1, "", "Unknown unit 'xyz'\n"},
    {{"1e300", "m", "nm"}, 1, "", "result out of range\n"},
    {{"1", std::string(256, 'm'), "m"}, 1, "", "string length too long\n"},
};

TEST(Mensora, PrintsResultsAndEngineMessages) {
  ASSERT_GT(std::size(kRuns), 0u);
  for (const Expected& expected : kRuns) {
    const RunResult run = RunMensora(expected.arguments);
    const std::string label = expected.arguments[0] + " " + expected.arguments[1];
    EXPECT_EQ(run.status, expected.status) << label;
    EXPECT_EQ(run.out, expected.out) << label;
    EXPECT_EQ(run.err, expected.err) << label;
  }
}

TEST(Mensora, RefusesBadUsageWithStatusTwo) {
  const std::vector<std::string> usages[] = {
      {},          {"1"},           {"abc", "ft", "in"}, {"1x", "ft", "in"}, {"inf", "m", "m"},
      {"--bogus"}, {"1", "m", "m", "m"}, {"--si"},        {"--list", "1"},    {"--list", "--batch"},
  };
  for (const std::vector<std::string>& arguments : usages) {
    const RunResult run = RunMensora(arguments);
    const std::string label = arguments.empty() ? "(none)" : arguments[0];
    EXPECT_EQ(run.status, 2) << label;
    EXPECT_EQ(run.out, "") << label;
    EXPECT_NE(run.err.find("usage: mensora"), std::string::npos) << label;
  }
}

TEST(Mensora, HelpDocumentsEveryMode) {
  const RunResult run = RunMensora({"--help"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  for (const char* word :
       {"--si", "--common", "--list", "--symbols", "--batch", "--round-trip", "exit status"}) {
    EXPECT_NE(run.out.find(word), std::string::npos) << word;
  }
}

// The version is the project's, and the manual page, which carries it too, describes every
// option that --help lists.
TEST(Mensora, VersionAndManualPageAgreeWithTheHelp) {
  const std::string version = MENSORA_PROJECT_VERSION;
  EXPECT_EQ(RunMensora({"--version"}).out, "mensora " + version + "\n");
  // In the page's source a hyphen of an option is written "\-".
  const std::string manual =
      std::regex_replace(ReadFile(MENSORA_MANUAL), std::regex(R"(\\-)"), "-");
  EXPECT_NE(manual.find("\"Mensora " + version + "\""), std::string::npos) << MENSORA_MANUAL;
  std::istringstream help(RunMensora({"--help"}).out);
  int options = 0;
  for (std::string word; help >> word;) {
    if (word.rfind("--", 0) != 0) continue;
    word = word.substr(0, word.find_first_not_of("-abcdefghijklmnopqrstuvwxyz"));
    ++options;
    EXPECT_NE(manual.find(word), std::string::npos) << word;
  }
  EXPECT_GE(options, 7);
}

TEST(Mensora, ListsTheWholeCatalogue) {
  const RunResult run = RunMensora({"--list"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(CountLines(run.out), static_cast<int>(kUnitCount));
  EXPECT_EQ(run.out.rfind("%\t100\t\t0.01\tchemistry\tnone\t\tpercent\n"
                          "A\t1\tC / s \tC / s\tSI\tany\tampere|amp\t\n", 0),
            0u);
  for (const char* line :
       {"\nnmi\t0.0005399568034557236\tm \t1852 m\tnautical\tnone\tnautical mile\tNmile\n",
        "\nSt\t10000\tm^2 / s \tcm^2 / s\tviscosity\tbelow one\tstokes\t\n",
        "\nm\t1\tm \tbase unit\tSI\tany\tmetre|meter\t\n"}) {
    EXPECT_NE(run.out.find(line), std::string::npos) << line;
  }
}

TEST(Mensora, ListsPrefixesAndSymbols) {
  const RunResult run = RunMensora({"--symbols"});
  EXPECT_EQ(run.status, 0);
  for (const char* line :
       {"prefix\tq\t-30\tquecto\n", "prefix\t\xC2\xB5\t-6\tmicro\n", "prefix\tda\t1\tdeca|deka\n",
        "prefixed\tWh\tany\n", "prefixed\tM\tbelow one\n", "symbol\t\xCE\xA9\tohm\n",
        "symbol\t\xC2\xB0" "C\tdegC\n"}) {
    EXPECT_NE(run.out.find(line), std::string::npos) << line;
  }
}

TEST(Mensora, BatchAnswersEveryLineAndGoesOn) {
  const RunResult run = RunMensora({"--batch"},
                             "1\tft\tin\n"
                             "1\tft\ts\n"
                             "abc\tft\tin\n"
                             "1 ft in\n"
                             "\n"
                             "100\tdegC\tdegF\r\n"
                             "500\tmi\tkm");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out,
            "12\n"
            "Inconsistent units\n"
            "not a number: 'abc'\n"
            "malformed line: expected VALUE<TAB>FROM<TAB>TO\n"
            "malformed line: expected VALUE<TAB>FROM<TAB>TO\n"
            "212\n"
            "804.672\n");
}

// Hostile batch input: a NUL byte inside a field, more fields than three, and a line of 20 MB of
// tabs, each one line of answer, and the lines after them still converted.
TEST(Mensora, BatchRefusesNulBytesExtraFieldsAndOverlongLines) {
  const std::string nul_line("1\0junk\tft\tin\n", 13);
  const std::string input = nul_line + "1\tft\tin\tx\n" + "1\tft\t\tin\n" +
                            std::string(20 << 20, '\t') + "\n" + "1\tft\tin\n";
  const RunResult run = RunMensora({"--batch"}, input);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out,
            "malformed line: expected VALUE<TAB>FROM<TAB>TO\n"
            "malformed line: expected VALUE<TAB>FROM<TAB>TO\n"
            "malformed line: expected VALUE<TAB>FROM<TAB>TO\n"
            "line too long: more than 4096 characters\n"
            "12\n");
}

}  // namespace
