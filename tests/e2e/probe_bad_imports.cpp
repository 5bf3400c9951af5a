// An add-in that breaks the import rules on purpose, for the export checker's negative tests:
// linked against an import library of the other kind of build's (by name in 32-bit, by ordinal in
// 64-bit), and needing VERSION.dll.
// winver.h needs the Windows types that the platform header brings in first.
#include "platform/host_entry.h"
#include <winver.h>

extern "C" int __stdcall ProbeBadImports(const char* file);

extern "C" int __stdcall ProbeBadImports(const char* file) {
  DWORD handle = 0;
  return static_cast<int>(GetFileVersionInfoSizeA(file, &handle)) + Excel4v(0, nullptr, 0, nullptr);
}
