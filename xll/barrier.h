// The exception barrier that every exported entry point runs its body behind.
#pragma once

#include <utility>

// Runs body and returns its result; if anything is thrown, returns fallback instead. The host
// cannot take a C++ exception, so no exported function may let one out.
template <class Result, class Body>
Result ExceptionBarrier(Result fallback, Body&& body) noexcept {
  try {
    return std::forward<Body>(body)();
  } catch (...) {
    return fallback;
  }
}
