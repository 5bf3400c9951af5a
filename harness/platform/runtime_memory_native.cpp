// Natively the C++ runtime is a shared library of the whole process: nothing of it is the add-in's
// to release.
#include "platform/runtime_memory.h"

void platform::ReleaseRuntimeReserve() {}
