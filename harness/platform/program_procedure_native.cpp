// The main program's own exports natively: through the dynamic loader, or, for a test, through a
// lookup of its own.
#include <dlfcn.h>

#include <cstring>

#include "harness/platform/program_procedure.h"

namespace {
platform::ProgramLookup g_lookup = nullptr;
}  // namespace

platform::ProgramLookup platform::SetProgramLookup(ProgramLookup lookup) {
  const ProgramLookup previous = g_lookup;
  g_lookup = lookup;
  return previous;
}

platform::ProgramProcedure platform::FindProgramProcedure(const char* name) {
  if (!name) return nullptr;
  if (g_lookup) return g_lookup(name);
  // The main program and what it loaded globally; a program exports its symbols only when it is
  // linked to (ENABLE_EXPORTS), as xllhost is.
  void* program = dlopen(nullptr, RTLD_NOW);
  if (!program) return nullptr;
  void* symbol = dlsym(program, name);
  dlclose(program);
  ProgramProcedure procedure = nullptr;
  static_assert(sizeof procedure == sizeof symbol, "function and object pointers differ in size");
  std::memcpy(&procedure, &symbol, sizeof procedure);
  return procedure;
}
