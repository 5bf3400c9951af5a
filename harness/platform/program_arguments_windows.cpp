// The command line on Windows: the wide one, split as the runtime splits argv, as UTF-8.
#include "harness/platform/program_arguments.h"

#include "platform/system.h"

#include <shellapi.h>

std::vector<std::string> platform::Utf8Arguments(int argc, char** argv) {
  std::vector<std::string> arguments(argv, argv + argc);
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!wide) return arguments;
  if (count == argc) {
    for (int i = 0; i < count; ++i) {
      const int size = WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
      if (size <= 0) continue;
      std::string utf8(static_cast<std::size_t>(size), '\0');
      WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, &utf8[0], size, nullptr, nullptr);
      utf8.resize(static_cast<std::size_t>(size) - 1);
      arguments[static_cast<std::size_t>(i)] = utf8;
    }
  }
  LocalFree(wide);
  return arguments;
}
