// platform::InstallHost for a Windows program that hosts add-ins: the handler goes into the
// stand-in XLCall32.dll, the module whose Excel4 and Excel4v the add-ins it loads import.
#include "harness/platform/xlcall32_export.h"

platform::HostHandler platform::InstallHost(HostHandler handler) {
  return ::InstallHost(handler);
}
