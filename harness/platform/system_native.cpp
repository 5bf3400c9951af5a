// The native stand-in for the Windows system calls the framework makes.
#include "platform/system.h"

#include <unistd.h>

#include <cstring>
#include <string>

namespace {
bool g_overridden = false;
std::string g_module_name;
}  // namespace

void platform::SetModuleFileName(const char* path) {
  g_overridden = path != nullptr;
  g_module_name = path ? path : "";
}

DWORD GetModuleFileNameA(HMODULE, char* buffer, DWORD size) {
  if (!buffer || size == 0) return 0;
  std::string name = g_module_name;
  if (!g_overridden) {
    char path[4096];
    ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return 0;
    name.assign(path, static_cast<size_t>(n));
  }
  if (name.empty()) return 0;
  // As on Windows: a name that does not fit is cut and NUL-terminated.
  size_t n = name.size() < size ? name.size() : size - 1;
  std::memcpy(buffer, name.data(), n);
  buffer[n] = '\0';
  return static_cast<DWORD>(n);
}
