// An add-in that mishandles memory on purpose, for the tests that xllhost catches it: it keeps
// one value the host handed out and releases another one twice (--leaks), and its function Grow
// keeps a block of its own memory from every call (--max-growth).
#include <cstring>
#include <memory>
#include <vector>

#include "platform/host_entry.h"
#include "xll/host_api.h"

namespace {
constexpr std::size_t kGrowthPerCall = 4096;

// Counted texts, as the host takes them: a length byte, then the characters.
char kGrowName[] = "\x04Grow";
char kGrowType[] = "\x01R";

XLOPER CountedText(char* text) {
  XLOPER value{};
  value.xltype = xltypeStr;
  value.val.str = text;
  return value;
}
}  // namespace

extern "C" XLOPER* __stdcall Grow() {
  // Reachable to the end, so that a leak checker stays quiet and only the growth shows.
  static std::vector<std::unique_ptr<char[]>> kept;
  kept.emplace_back(new char[kGrowthPerCall]);
  std::memset(kept.back().get(), 1, kGrowthPerCall);
  static XLOPER answer;
  answer.xltype = xltypeNum;
  answer.val.num = 1;
  return &answer;
}

extern "C" int __stdcall xlAutoOpen() {
  static XLOPER kept;
  Excel4v(xlGetName, &kept, 0, nullptr);
  XLOPER twice{};
  XLOPER item{};
  item.xltype = xltypeInt;
  item.val.w = 2;
  XLOPER* arguments[] = {&item};
  Excel4v(xlfGetWorkspace, &twice, 1, arguments);
  Excel4(xlFree, nullptr, 1, &twice);
  Excel4(xlFree, nullptr, 1, &twice);

  XLOPER name = CountedText(kGrowName);
  XLOPER type = CountedText(kGrowType);
  XLOPER* registration[] = {&kept, &name, &type, &name};
  XLOPER id{};
  Excel4v(xlfRegister, &id, 4, registration);
  return 1;
}
