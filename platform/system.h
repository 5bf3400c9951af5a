// What Windows provides and Linux does not: on Windows the system headers, elsewhere a stand-in
// with the same names (COM and OLE Automation included), so that the framework is written once
// against the Windows API.
#pragma once

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
// COM and OLE Automation, which the lean set of headers leaves out.
#include <ole2.h>
#include <oleauto.h>
#else
#include <cstdint>

#define __stdcall
#define __cdecl
#define WINAPI

typedef int BOOL;
typedef uint32_t DWORD;
typedef void* HANDLE;
typedef void* HINSTANCE;
typedef void* HMODULE;
typedef void* LPVOID;

#define TRUE 1
#define FALSE 0
#define MAX_PATH 260
#define DLL_PROCESS_DETACH 0
#define DLL_PROCESS_ATTACH 1

// The file name of a module: natively the running program's path, unless a test set another.
DWORD GetModuleFileNameA(HMODULE module, char* buffer, DWORD size);

namespace platform {
// Lets a test choose what GetModuleFileNameA reports (nullptr restores the program's path, and
// an empty text makes the call fail).
void SetModuleFileName(const char* path);
}  // namespace platform

#include "harness/platform/com.h"
#endif

#include <cstddef>

// The add-in and the host's application object pass each other automation values, argument
// lists and exception records, so these must have the host's layout whether the system's
// headers declare them or the stand-in does; their pointers make each larger on 64-bit targets.
static_assert(offsetof(VARIANT, vt) == 0 && offsetof(VARIANT, lVal) == 8 &&
                  offsetof(VARIANT, bstrVal) == 8,
              "an automation value is its type and three reserved words, then the payload");
static_assert(sizeof(VARIANT) == 8 + 2 * sizeof(void*),
              "an automation value is 16 bytes on 32-bit targets, 24 on 64-bit ones");
static_assert(offsetof(DISPPARAMS, cArgs) == 2 * sizeof(void*) &&
                  sizeof(DISPPARAMS) == 2 * sizeof(void*) + 8,
              "an argument list is two pointers and two counts");
static_assert(sizeof(EXCEPINFO) == 8 * sizeof(void*),
              "an exception record is 32 bytes on 32-bit targets, 64 on 64-bit ones");
