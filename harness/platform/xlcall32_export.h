// The stand-in XLCall32.dll's one named export: how a simulated host installs itself in it.
#pragma once

#include "platform/host_entry.h"

extern "C" {
// platform::InstallHost inside the DLL: installs handler (nullptr uninstalls) as what answers
// Excel4 and Excel4v, and returns the previous one.
platform::HostHandler InstallHost(platform::HostHandler handler);
}
