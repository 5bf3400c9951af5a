// Counts allocations by standing in for the C library's malloc family, whose own entry points
// (__libc_malloc and the rest) still do the work. operator new allocates through malloc, so it
// is counted too. Not for sanitizer builds: they own malloc (see counting_sanitizer_hooks.cpp).
#include <atomic>
#include <cstddef>
#include <cerrno>

#include "tests/units/allocation_count.h"

extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* block, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
void __libc_free(void* block);
}

namespace {
std::atomic<long> g_allocations{0};

void Count() { g_allocations.fetch_add(1, std::memory_order_relaxed); }
}  // namespace

long AllocationCount() { return g_allocations.load(std::memory_order_relaxed); }

extern "C" {

void* malloc(std::size_t size) noexcept {
  Count();
  return __libc_malloc(size);
}

void* calloc(std::size_t count, std::size_t size) noexcept {
  Count();
  return __libc_calloc(count, size);
}

void* realloc(void* block, std::size_t size) noexcept {
  Count();
  return __libc_realloc(block, size);
}

void* memalign(std::size_t alignment, std::size_t size) noexcept {
  Count();
  return __libc_memalign(alignment, size);
}

void* aligned_alloc(std::size_t alignment, std::size_t size) noexcept {
  Count();
  return __libc_memalign(alignment, size);
}

int posix_memalign(void** block, std::size_t alignment, std::size_t size) noexcept {
  Count();
  if (alignment < sizeof(void*) || (alignment & (alignment - 1)) != 0) return EINVAL;
  void* aligned = __libc_memalign(alignment, size);
  if (aligned == nullptr) return ENOMEM;
  *block = aligned;
  return 0;
}

void free(void* block) noexcept { __libc_free(block); }

}  // extern "C"
