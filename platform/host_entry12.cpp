// Excel12 and Excel12v: the host's version 12 entry point is no import but an export of the host
// program itself, found when the add-in opens.
#include "platform/host_entry.h"

#include <atomic>
#include <cstdarg>

namespace {

constexpr int kFailed = 32;      // xlretFailed
constexpr int kInvCount = 4;     // xlretInvCount
constexpr int kMaxArgs = 255;    // the most arguments a version 12 call takes

// Written when the add-in opens, on the host's main thread; read by any thread that calls the
// host. Atomic, so that no reader sees half a pointer.
std::atomic<platform::HostCallback12> g_callback12{nullptr};

}  // namespace

bool platform::ConnectHost12() {
  const auto callback = reinterpret_cast<HostCallback12>(FindProgramProcedure("MdCallBack12"));
  g_callback12.store(callback, std::memory_order_release);
  return callback != nullptr;
}

extern "C" int __stdcall Excel12v(int xlfn, XLOPER12* result, int count, XLOPER12* args[]) {
  const platform::HostCallback12 callback = g_callback12.load(std::memory_order_acquire);
  if (!callback) return kFailed;
  return callback(xlfn, count, args, result);
}

extern "C" int __cdecl Excel12(int xlfn, XLOPER12* result, int count, ...) {
  if (count < 0 || count > kMaxArgs) return kInvCount;
  XLOPER12* args[kMaxArgs];
  va_list list;
  va_start(list, count);
  for (int i = 0; i < count; ++i) args[i] = va_arg(list, XLOPER12*);
  va_end(list);
  return Excel12v(xlfn, result, count, count ? args : nullptr);
}
