// Threads and a lock for the simulated host's recalculation: the standard library's natively, the
// system's own on Windows, where the compilers' Win32 thread model has neither.
#pragma once

#include <functional>

namespace platform {

// A mutual exclusion lock. Not recursive: the thread that holds it must not acquire it again.
class Lock {
 public:
  Lock();
  ~Lock();
  Lock(const Lock&) = delete;
  Lock& operator=(const Lock&) = delete;

  void Acquire();
  void Release();

 private:
  void* state_;
};

// Holds a lock for its own lifetime.
class Holding {
 public:
  explicit Holding(Lock& lock) : lock_(lock) { lock_.Acquire(); }
  ~Holding() { lock_.Release(); }
  Holding(const Holding&) = delete;
  Holding& operator=(const Holding&) = delete;

 private:
  Lock& lock_;
};

// The most threads RunConcurrently starts.
constexpr int kMaxThreads = 64;

// Starts count new threads (0 to kMaxThreads) that each run worker, runs main on the calling
// thread meanwhile, and returns when all have finished. Returns false, having run main alone,
// when the system would not start the threads (those it started are waited for).
bool RunConcurrently(int count, const std::function<void()>& worker,
                     const std::function<void()>& main);

// Gives the calling thread's cache of freed blocks back to the heap. On Windows the simulated
// host allocates through such a cache of each thread's own (Wine's heap takes one lock for every
// allocation), and each thread RunConcurrently starts calls this as it ends; natively, where the
// C library's heap serves threads apart, there is no cache and this does nothing.
void ReleaseThreadCache();

}  // namespace platform
