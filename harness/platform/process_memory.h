// How much memory this process holds, for a host that watches what loading and calling an add-in
// costs.
#pragma once

#include <cstddef>

namespace platform {

// Sizes in bytes.
struct ProcessMemory {
  // The pages of the process resident in memory: the working set on Windows, the resident set
  // natively.
  std::size_t working_set = 0;
  // Memory no other process shares: on Windows the private bytes (committed private memory),
  // natively the resident pages that map no file. What a leak makes grow.
  std::size_t private_bytes = 0;
};

// Fills memory with the figures of the running process. Returns false, leaving memory as it
// was, when the system cannot tell.
bool QueryProcessMemory(ProcessMemory* memory);

}  // namespace platform
