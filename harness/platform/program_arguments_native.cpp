// The command line natively: already UTF-8.
#include "harness/platform/program_arguments.h"

std::vector<std::string> platform::Utf8Arguments(int argc, char** argv) {
  return std::vector<std::string>(argv, argv + argc);
}
