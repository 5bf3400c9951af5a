// Excel4 and Excel4v for builds that are not loaded by the real host: they forward to whatever
// host handler is installed. The Windows build of the stand-in XLCall32.dll uses this file too.
#include "platform/host_entry.h"

#include <cstdarg>

namespace {
platform::HostHandler g_host = nullptr;
constexpr int kFailed = 32;  // xlretFailed
constexpr int kMaxArgs = 255;
}  // namespace

platform::HostHandler platform::InstallHost(HostHandler handler) {
  HostHandler previous = g_host;
  g_host = handler;
  return previous;
}

extern "C" int __stdcall Excel4v(int xlfn, XLOPER* result, int count, XLOPER* args[]) {
  if (!g_host) return kFailed;
  return g_host(xlfn, result, count, args);
}

extern "C" int __cdecl Excel4(int xlfn, XLOPER* result, int count, ...) {
  if (count < 0 || count > kMaxArgs) return 4;  // xlretInvCount
  XLOPER* args[kMaxArgs];
  va_list list;
  va_start(list, count);
  for (int i = 0; i < count; ++i) args[i] = va_arg(list, XLOPER*);
  va_end(list);
  return Excel4v(xlfn, result, count, count ? args : nullptr);
}
