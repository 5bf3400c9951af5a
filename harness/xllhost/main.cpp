// xllhost: loads an add-in into the simulated spreadsheet host and evaluates formulas with it.
#include <cstdio>
#include <string>

#include "mensora_version.h"
#include "harness/xllhost/command_line.h"
#include "harness/xllhost/xllhost_run.h"

int main(int argc, char** argv) {
  XllhostOptions options;
  std::string error;
  if (!ParseCommandLine(argc, argv, &options, &error)) {
    std::fprintf(stderr, "xllhost: %s\nusage: xllhost [options] PATH [FORMULA...]  (--help)\n",
                 error.c_str());
    return kStatusUsage;
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
