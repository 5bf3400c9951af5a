// Results handed to the host through the version 12 interface from the calling thread's own
// storage: the hand-back that lets the host call the functions from several threads at once.
#pragma once

#include <cstddef>

#include "xll/host_api.h"

// The most UTF-16 units a result's text holds: as many as a cell's text in the interface of every
// version, and more than any text the unit engine writes.
constexpr std::size_t kThreadResultTextLength = 255;

// Each fills the calling thread's result value and returns its address, valid until the same
// thread's next hand-back: the host reads a result before it calls that thread again. The value
// carries no xlbitDLLFree: there is nothing to release. Nothing here takes from the heap (beyond
// what thread-local storage takes once per thread) or throws.

// A number.
XLOPER12* ReturnNumber12(double number) noexcept;
// A text from UTF-8, cut to whole characters within kThreadResultTextLength units.
XLOPER12* ReturnText12(const char* text) noexcept;
// A row of two cells: a number, then a text from UTF-8 (cut as for ReturnText12).
XLOPER12* ReturnNumberAndText12(double number, const char* text) noexcept;
// The error value code (xlerrValue, ...).
XLOPER12* ReturnError12(int code) noexcept;
