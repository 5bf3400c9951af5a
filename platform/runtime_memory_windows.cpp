// Releasing the statically linked C++ runtime's emergency exception pool at library unload.
#include "platform/runtime_memory.h"

// The GNU C++ runtime's own release of its never-freed allocations, made for leak checkers; it
// frees the emergency exception pool.
namespace __gnu_cxx {
void __freeres();
}  // namespace __gnu_cxx

void platform::ReleaseRuntimeReserve() { __gnu_cxx::__freeres(); }
