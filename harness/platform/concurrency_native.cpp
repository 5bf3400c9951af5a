// Threads and the lock natively: the standard library's.
#include "harness/platform/concurrency.h"

#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

platform::Lock::Lock() : state_(new std::mutex) {}
platform::Lock::~Lock() { delete static_cast<std::mutex*>(state_); }
void platform::Lock::Acquire() { static_cast<std::mutex*>(state_)->lock(); }
void platform::Lock::Release() { static_cast<std::mutex*>(state_)->unlock(); }

void platform::ReleaseThreadCache() {}

bool platform::RunConcurrently(int count, const std::function<void()>& worker,
                               const std::function<void()>& main) {
  std::vector<std::thread> threads;
  bool started = count >= 0 && count <= kMaxThreads;
  for (int i = 0; started && i < count; ++i) {
    try {
      threads.emplace_back(worker);
    } catch (const std::system_error&) {
      started = false;
    }
  }
  main();
  for (std::thread& thread : threads) thread.join();
  return started;
}
