// How a native test chooses what platform::FindProgramProcedure finds in the "host program".
#pragma once

#include "platform/host_entry.h"

namespace platform {

// A lookup of a procedure by name: nullptr when there is none.
typedef ProgramProcedure (*ProgramLookup)(const char* name);

// Makes FindProgramProcedure ask lookup instead of the dynamic loader (nullptr goes back to the
// loader). Returns the previous lookup. Natively only: on Windows the program is the program.
ProgramLookup SetProgramLookup(ProgramLookup lookup);

}  // namespace platform
