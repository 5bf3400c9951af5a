// The native module calls, on the dynamic loader.
#include "harness/platform/module.h"

#include <dlfcn.h>

#include <cstring>

platform::Module* platform::LoadModule(const char* path, std::string* error) {
  const bool self = path == nullptr || *path == '\0';
  void* handle = dlopen(self ? nullptr : path, RTLD_NOW | RTLD_LOCAL);
  if (!handle && error) {
    const char* reason = dlerror();
    *error = reason ? reason : "cannot load the library";
  }
  return static_cast<Module*>(handle);
}

platform::Procedure platform::FindProcedure(Module* module, const char* name) {
  if (!module || !name) return nullptr;
  void* symbol = dlsym(module, name);
  // An object pointer cannot be cast to a function pointer in standard C++; copying the bits is
  // what the loader's own documentation recommends.
  Procedure procedure = nullptr;
  static_assert(sizeof procedure == sizeof symbol, "function and object pointers differ in size");
  std::memcpy(&procedure, &symbol, sizeof procedure);
  return procedure;
}

void platform::UnloadModule(Module* module) {
  if (module) dlclose(module);
}

bool platform::LoaderRunsEntryPoint() { return false; }
