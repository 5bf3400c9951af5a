// The simulated host's own allocations on Windows, through a cache of freed blocks for each
// thread: calculation threads seldom meet in the C runtime's heap, whose one lock Wine takes on
// every allocation (two threads that do nothing but allocate run several times slower there than
// one). What the add-in allocates is its own runtime's business and never comes here.
#include <cstdint>
#include <cstdlib>
#include <new>

#include "harness/platform/concurrency.h"

namespace {

constexpr std::size_t kGrain = 16;
constexpr std::uint32_t kClasses = 32;      // blocks of 16 to 512 bytes
constexpr std::uint32_t kMostCached = 256;  // per class and thread; more goes back to the heap
constexpr std::uint32_t kLarge = kClasses;  // a block of any other size, straight from the heap

// Before every block: which class it is, in the 16 bytes that keep the block as aligned as the
// heap's own.
struct Header {
  std::uint32_t size_class;
  std::uint32_t unused[3];
};
static_assert(sizeof(Header) == kGrain, "a header is one grain");

struct Cached {
  Cached* next;
};

// All zero at first and trivially destroyed: the compiler's thread-local storage makes one for
// each thread on first use and gives it back when the thread ends. Whole cache lines of its own:
// the caches of two threads may lie side by side.
struct alignas(64) ThreadCache {
  Cached* lists[kClasses];
  std::uint32_t counts[kClasses];
};
thread_local ThreadCache t_cache;

void* Allocate(std::size_t size) {
  const std::size_t size_class = size == 0 ? 0 : (size - 1) / kGrain;
  if (size_class < kClasses) {
    ThreadCache& cache = t_cache;
    if (Cached* block = cache.lists[size_class]) {
      cache.lists[size_class] = block->next;
      --cache.counts[size_class];
      return block;
    }
  }
  const std::size_t bytes = size_class < kClasses ? (size_class + 1) * kGrain : size;
  if (bytes > SIZE_MAX - sizeof(Header)) return nullptr;
  auto* header = static_cast<Header*>(std::malloc(sizeof(Header) + bytes));
  if (!header) return nullptr;
  header->size_class = size_class < kClasses ? static_cast<std::uint32_t>(size_class) : kLarge;
  return header + 1;
}

void Release(void* block) {
  if (!block) return;
  Header* header = static_cast<Header*>(block) - 1;
  const std::uint32_t size_class = header->size_class;
  if (size_class < kClasses) {
    ThreadCache& cache = t_cache;
    if (cache.counts[size_class] < kMostCached) {
      auto* cached = static_cast<Cached*>(block);
      cached->next = cache.lists[size_class];
      cache.lists[size_class] = cached;
      ++cache.counts[size_class];
      return;
    }
  }
  std::free(header);
}

void* AllocateOrThrow(std::size_t size) {
  void* block = Allocate(size);
  if (!block) throw std::bad_alloc();
  return block;
}

}  // namespace

void platform::ReleaseThreadCache() {
  ThreadCache& cache = t_cache;
  for (std::uint32_t size_class = 0; size_class < kClasses; ++size_class) {
    while (Cached* block = cache.lists[size_class]) {
      cache.lists[size_class] = block->next;
      std::free(reinterpret_cast<Header*>(block) - 1);
    }
    cache.counts[size_class] = 0;
  }
}

void* operator new(std::size_t size) { return AllocateOrThrow(size); }
void* operator new[](std::size_t size) { return AllocateOrThrow(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* block) noexcept { Release(block); }
void operator delete[](void* block) noexcept { Release(block); }
void operator delete(void* block, std::size_t) noexcept { Release(block); }
void operator delete[](void* block, std::size_t) noexcept { Release(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { Release(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { Release(block); }
