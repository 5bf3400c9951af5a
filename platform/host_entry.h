// The host's C API entry points (Excel4 and Excel4v, which every host offers, and version 12's
// Excel12 and Excel12v), and the seams through which a host (real or simulated) answers them.
#pragma once

#include "system.h"

struct XLOPER;
struct XLOPER12;

extern "C" {
// Used only to release host-owned values: Excel4(xlFree, nullptr, 1, value).
int __cdecl Excel4(int xlfn, XLOPER* result, int count, ...);
// Every other call into the host: function number, result or null, count, argument pointers.
int __stdcall Excel4v(int xlfn, XLOPER* result, int count, XLOPER* args[]);

// The same with version 12 values, through the host program's MdCallBack12 once ConnectHost12
// has found it; without it every call answers xlretFailed. Excel12 only releases host-owned
// values.
int __cdecl Excel12(int xlfn, XLOPER12* result, int count, ...);
int __stdcall Excel12v(int xlfn, XLOPER12* result, int count, XLOPER12* args[]);
}

namespace platform {
// What answers Excel4/Excel4v. Outside the real host a simulated one installs itself here.
typedef int (*HostHandler)(int xlfn, XLOPER* result, int count, XLOPER* args[]);

// Installs handler (nullptr uninstalls) and returns the previous one. Without a handler every
// call returns xlretFailed.
HostHandler InstallHost(HostHandler handler);

// The version 12 entry point a host program exports under the name MdCallBack12, with its
// arguments in this order.
typedef int(__stdcall* HostCallback12)(int xlfn, int count, XLOPER12* args[], XLOPER12* result);

// Looks for MdCallBack12 among the exports of the host program (the process's main module) and
// makes Excel12 and Excel12v call it. Returns whether it is there; when it is not, they answer
// xlretFailed.
bool ConnectHost12();

// Any procedure, to be cast to its real signature before it is called.
typedef void (*ProgramProcedure)();

// The procedure the process's main program exports under name, or nullptr.
ProgramProcedure FindProgramProcedure(const char* name);
}  // namespace platform
