// Threads and the lock on Windows: CreateThread and a slim reader/writer lock held exclusively.
#include "harness/platform/concurrency.h"

#include "platform/system.h"

namespace {

DWORD WINAPI RunWorker(LPVOID worker) {
  (*static_cast<const std::function<void()>*>(worker))();
  // Whatever this thread freed last would otherwise stay cached for a thread that is gone.
  platform::ReleaseThreadCache();
  return 0;
}

}  // namespace

platform::Lock::Lock() : state_(new SRWLOCK) { InitializeSRWLock(static_cast<SRWLOCK*>(state_)); }
platform::Lock::~Lock() { delete static_cast<SRWLOCK*>(state_); }
void platform::Lock::Acquire() { AcquireSRWLockExclusive(static_cast<SRWLOCK*>(state_)); }
void platform::Lock::Release() { ReleaseSRWLockExclusive(static_cast<SRWLOCK*>(state_)); }

bool platform::RunConcurrently(int count, const std::function<void()>& worker,
                               const std::function<void()>& main) {
  HANDLE threads[kMaxThreads];
  int started = 0;
  const bool fits = count >= 0 && count <= kMaxThreads;
  for (; fits && started < count; ++started) {
    threads[started] = CreateThread(nullptr, 0, RunWorker,
                                    const_cast<std::function<void()>*>(&worker), 0, nullptr);
    if (!threads[started]) break;
  }
  main();
  if (started > 0) WaitForMultipleObjects(started, threads, TRUE, INFINITE);
  for (int i = 0; i < started; ++i) CloseHandle(threads[i]);
  return fits && started == count;
}
