// Counts allocations in a sanitizer build, where the sanitizer owns malloc and operator new:
// through the allocation hooks its runtime calls for every block it hands out.
#include <atomic>
#include <cstddef>

#include "tests/units/allocation_count.h"

extern "C" int __sanitizer_install_malloc_and_free_hooks(
    void (*malloc_hook)(const volatile void* block, std::size_t size),
    void (*free_hook)(const volatile void* block));

namespace {

std::atomic<long> g_allocations{0};

void OnAllocate(const volatile void*, std::size_t) {
  g_allocations.fetch_add(1, std::memory_order_relaxed);
}

void OnFree(const volatile void*) {}

// Installed while the program starts, before any test runs.
const int g_hooks_installed = __sanitizer_install_malloc_and_free_hooks(OnAllocate, OnFree);

}  // namespace

long AllocationCount() {
  // Without the hooks every count would read zero and prove nothing; the test that allocates on
  // purpose then fails.
  return g_hooks_installed != 0 ? g_allocations.load(std::memory_order_relaxed) : 0;
}
