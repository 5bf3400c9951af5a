// The process's memory natively, from the kernel's page counts in /proc/self/statm.
#include "harness/platform/process_memory.h"

#include <unistd.h>

#include <cstdio>

bool platform::QueryProcessMemory(ProcessMemory* memory) {
  std::FILE* file = std::fopen("/proc/self/statm", "r");
  if (!file) return false;
  // In pages: the whole mapping, the resident set, and the resident pages backed by a file or
  // shared memory.
  unsigned long size = 0;
  unsigned long resident = 0;
  unsigned long shared = 0;
  const int read = std::fscanf(file, "%lu %lu %lu", &size, &resident, &shared);
  std::fclose(file);
  const long page = sysconf(_SC_PAGESIZE);
  if (read != 3 || page <= 0 || shared > resident) return false;
  memory->working_set = static_cast<std::size_t>(resident) * static_cast<std::size_t>(page);
  memory->private_bytes =
      static_cast<std::size_t>(resident - shared) * static_cast<std::size_t>(page);
  return true;
}
