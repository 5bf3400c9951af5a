// Loading a library at run time and finding its exported procedures: what a host needs to open an
// add-in. Natively through the dynamic loader; on Windows through the system's module calls.
#pragma once

#include <string>

namespace platform {

// A loaded library; opaque, released with UnloadModule.
struct Module;

// Any exported procedure, to be cast to its real signature before it is called.
typedef void (*Procedure)();

// Loads the library at path and returns it, or nullptr with the loader's reason in *error (when
// error is given). Natively a null or empty path means this program itself, whose exported
// symbols (linked with ENABLE_EXPORTS) then resolve like a library's.
Module* LoadModule(const char* path, std::string* error);

// The procedure exported under exactly this name, or nullptr when the module has none (or
// module or name is null).
Procedure FindProcedure(Module* module, const char* name);

// Releases a module that LoadModule returned; nullptr is ignored.
void UnloadModule(Module* module);

// Whether LoadModule and UnloadModule run the library's entry point (DllMain) with its attach and
// detach notifications, as the Windows loader does. The dynamic loader has no such notification:
// there a host that needs it calls the library's exported DllMain itself.
bool LoaderRunsEntryPoint();

}  // namespace platform
