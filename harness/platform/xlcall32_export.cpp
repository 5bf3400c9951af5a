// The stand-in XLCall32.dll's InstallHost, exported by name beside the host's two ordinals.
#include "harness/platform/xlcall32_export.h"

extern "C" platform::HostHandler InstallHost(platform::HostHandler handler) {
  return platform::InstallHost(handler);
}
