// The host program's own exports on Windows: the process's main module, by GetProcAddress.
#include "platform/host_entry.h"
#include "platform/system.h"

platform::ProgramProcedure platform::FindProgramProcedure(const char* name) {
  if (!name) return nullptr;
  HMODULE program = GetModuleHandleA(nullptr);
  if (!program) return nullptr;
  FARPROC address = GetProcAddress(program, name);
  // Through the generic function pointer type, which tells the compiler the cast is meant.
  return reinterpret_cast<ProgramProcedure>(reinterpret_cast<void (*)()>(address));
}
