// Replaces the program's operator new and delete so that a test can make allocation fail.
#include "tests/functions/refused_allocation.h"

#include <cstdlib>
#include <new>

// Every form is replaced so that all of them pair with one another (and with the sanitizer's
// allocator) through malloc and free. Kept out of the test files so that no call site sees
// these bodies inlined.
namespace {
bool refused = false;
}  // namespace

void RefuseAllocations(bool refuse) { refused = refuse; }

void* operator new(std::size_t size) {
  if (refused) throw std::bad_alloc();
  if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return refused ? nullptr : std::malloc(size == 0 ? 1 : size);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
  return operator new(size, tag);
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }
