// The process's memory on Windows, from the process status counters.
#include "harness/platform/process_memory.h"

#include "platform/system.h"
// After windows.h, which declares the types the process status header uses. Its memory query
// lives in kernel32 (as K32GetProcessMemoryInfo), so nothing more is linked.
#include <psapi.h>

bool platform::QueryProcessMemory(ProcessMemory* memory) {
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return false;
  memory->working_set = counters.WorkingSetSize;
  // The commit charge, which Windows documents as the private bytes: the extended counters'
  // PrivateUsage holds the same figure, but Wine leaves that one at 0.
  memory->private_bytes = counters.PagefileUsage;
  return true;
}
