// Giving back what the C++ runtime linked into a library keeps for the library's whole life.
#pragma once

namespace platform {

// Frees the memory that the C++ runtime reserves once per copy of itself and never frees: the
// emergency pool from which exceptions are allocated when the heap is exhausted. The Windows
// add-in carries its own copy of the runtime, so every load would leave one pool behind when the
// library is unloaded; natively the runtime is the process's shared library, and this does
// nothing. Call only from the library's detach notification: no exception may be thrown after.
void ReleaseRuntimeReserve();

}  // namespace platform
