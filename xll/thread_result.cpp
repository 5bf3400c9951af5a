// The calling thread's result value: one per thread, reused by every hand-back on that thread.
#include "xll/thread_result.h"

#include <cstring>

#include "xll/wide_text.h"

namespace {

// The size of a cache line, the most a processor moves between its cores at once.
constexpr std::size_t kCacheLine = 64;

// Everything a result points to lives beside it: nothing to allocate, nothing to release. Whole
// cache lines of its own: the storage of two threads may lie side by side, and one thread's
// writes must not take the line from under the other.
struct alignas(kCacheLine) ThreadResult {
  XLOPER12 value;
  XLOPER12 row[2];
  XCHAR text[kThreadResultTextLength + 1];  // counted: the length, then the units
};
static_assert(sizeof(ThreadResult) % kCacheLine == 0, "a thread's result fills whole lines");

// All zero at first and trivially destroyed: no constructor or destructor runs for it on any
// thread, and the compiler's thread-local storage gives it back when the thread ends.
thread_local ThreadResult t_result;

XLOPER12* Emptied(XLOPER12* value) {
  std::memset(value, 0, sizeof *value);
  return value;
}

void SetText(XLOPER12* value, XCHAR* counted, const char* text) {
  counted[0] = static_cast<XCHAR>(Utf8ToWide(text ? text : "", counted + 1,
                                             kThreadResultTextLength));
  value->val.str = counted;
  value->xltype = xltypeStr;
}

}  // namespace

XLOPER12* ReturnNumber12(double number) noexcept {
  XLOPER12* value = Emptied(&t_result.value);
  value->val.num = number;
  value->xltype = xltypeNum;
  return value;
}

XLOPER12* ReturnText12(const char* text) noexcept {
  ThreadResult& result = t_result;
  XLOPER12* value = Emptied(&result.value);
  SetText(value, result.text, text);
  return value;
}

XLOPER12* ReturnNumberAndText12(double number, const char* text) noexcept {
  ThreadResult& result = t_result;
  XLOPER12* value = Emptied(&result.value);
  XLOPER12* row = result.row;
  Emptied(&row[0])->val.num = number;
  row[0].xltype = xltypeNum;
  SetText(Emptied(&row[1]), result.text, text);
  value->val.array.lparray = row;
  value->val.array.rows = 1;
  value->val.array.columns = 2;
  value->xltype = xltypeMulti;
  return value;
}

XLOPER12* ReturnError12(int code) noexcept {
  XLOPER12* value = Emptied(&t_result.value);
  value->val.err = code;
  value->xltype = xltypeErr;
  return value;
}
