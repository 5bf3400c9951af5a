// An add-in that mishandles the host's memory on purpose, for the test that xllhost --leaks
// catches it: it keeps one value the host handed out and releases another one twice.
#include "platform/host_entry.h"
#include "xll/host_api.h"

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
  return 1;
}
