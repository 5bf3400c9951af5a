// The library's entry point and the add-in entry points the host calls by name.
#pragma once

#include <string>

#include "platform/system.h"
#include "xll/host_api.h"

// The module handle the library entry point stored at attach; null before attach and after
// detach.
HINSTANCE XllInstance();

// The alert xlAutoOpen shows when the bridge could not be started and that is to be reported:
// the reason, and the error code on a second line unless it is 0.
std::string ComFailureText(const std::string& message, long code);

extern "C" {
// The library entry point. At process attach it stores instance and runs the application's
// OnAttach; at detach it runs OnDetach and forgets the handle (at process exit, reserved set,
// the bridge abandons the host's objects first, without a COM call). Always returns TRUE.
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);

// The first call, and the first after each xlAutoClose or xlAutoRemove: starts the bridge unless
// one runs (a failure stops the open only when the application reports such failures, with a
// host alert), runs OnBeforeOpen and CanOpen and, if that allows it, registers every function,
// through the version 12 interface when the host offers it.
// Returns 1 on success, 0 when the bridge failure was reported, CanOpen refused or something
// failed; a call with no close or removal since the last one returns 1 and does nothing.
int __stdcall xlAutoOpen();
// Runs OnClose and marks every function unregistered without calling the host, which drops
// them itself after this call; the bridge stays up. Returns 1 (0 if it failed).
int __stdcall xlAutoClose();
// Runs OnAdd. Returns 1 (0 if it failed).
int __stdcall xlAutoAdd();
// Runs OnRemove and unregisters every registered function. Returns 1 (0 if it failed).
int __stdcall xlAutoRemove();
// The add-in manager's question: for action 1 (after coercion to an integer) the application's
// title, for anything else the error value xlerrValue; handed back through ReturnToHost.
XLOPER* __stdcall xlAddInManagerInfo(XLOPER* action);
}
