// Making a class known by its programmatic identifier (ProgID), so that CLSIDFromProgID finds it:
// natively in the COM stand-in's table, on Windows under HKEY_CLASSES_ROOT.
#pragma once

#include <string>

#include "platform/system.h"

namespace platform {

// Makes progId name clsid, unless it already names a class: a registration found in place (a
// real installation's, say) is left as it is. *created tells whether this call made it. Returns
// false when the system refused to record it.
bool RegisterProgId(const std::string& progId, REFCLSID clsid, bool* created);

// Forgets progId; nothing when it is not known. Only for a ProgID RegisterProgId created.
void UnregisterProgId(const std::string& progId);

}  // namespace platform
