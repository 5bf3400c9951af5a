// xllhost: loads an add-in into the simulated spreadsheet host and evaluates formulas with it.
#include <cstdio>
#include <string>

#include <vector>

#include "harness/platform/program_arguments.h"
#include "harness/xllhost/command_line.h"
#include "harness/xllhost/xllhost_run.h"
#include "mensora_version.h"

int main(int argc, char** argv) {
  XllhostOptions options;
  std::string error;
  if (!ParseCommandLine(argc, argv, &options, &error)) {
    std::fprintf(stderr, "xllhost: %s\nusage: xllhost [options] PATH [FORMULA...]  (--help)\n",
                 error.c_str());
    return kStatusUsage;
  }
  if (IsVersion12Host(options.version)) {
    // Such a host's formulas are UTF-8, whatever the system's code page takes of them; the paths
    // stay as the system passes them to its file calls.
    const std::vector<std::string> arguments = platform::Utf8Arguments(argc, argv);
    std::vector<const char*> utf8;
    for (const std::string& argument : arguments) utf8.push_back(argument.c_str());
    XllhostOptions unicode;
    if (ParseCommandLine(argc, utf8.data(), &unicode, &error)) {
      options.formulas = unicode.formulas;
      options.addin_name = unicode.addin_name;
    }
  }
  if (options.help) {
    std::fputs(HelpText().c_str(), stdout);
    return kStatusOk;
  }
  if (options.show_version) {
    std::printf("xllhost %s\n", kMensoraVersion);
    return kStatusOk;
  }
  return RunXllhost(options, stdout, stderr);
}
