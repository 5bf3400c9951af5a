// The host's two C API entry points, and the seam through which a host (real or simulated)
// answers them.
#pragma once

#include "system.h"

struct XLOPER;

extern "C" {
// Used only to release host-owned values: Excel4(xlFree, nullptr, 1, value).
int __cdecl Excel4(int xlfn, XLOPER* result, int count, ...);
// Every other call into the host: function number, result or null, count, argument pointers.
int __stdcall Excel4v(int xlfn, XLOPER* result, int count, XLOPER* args[]);
}

namespace platform {
// What answers Excel4/Excel4v. Outside the real host a simulated one installs itself here.
typedef int (*HostHandler)(int xlfn, XLOPER* result, int count, XLOPER* args[]);

// Installs handler (nullptr uninstalls) and returns the previous one. Without a handler every
// call returns xlretFailed.
HostHandler InstallHost(HostHandler handler);
}  // namespace platform
