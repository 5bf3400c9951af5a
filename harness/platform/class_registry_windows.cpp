// ProgIDs on Windows: the key HKEY_CLASSES_ROOT\<ProgID>\CLSID holding the class in braces.
#include <cstdio>
#include <cstring>

#include "harness/platform/class_registry.h"

bool platform::RegisterProgId(const std::string& progId, REFCLSID clsid, bool* created) {
  *created = false;
  const std::string key = progId + "\\CLSID";
  LONG size = 0;
  if (RegQueryValueA(HKEY_CLASSES_ROOT, key.c_str(), nullptr, &size) == ERROR_SUCCESS) return true;
  char text[64];
  std::snprintf(text, sizeof text, "{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                static_cast<unsigned long>(clsid.Data1), clsid.Data2, clsid.Data3, clsid.Data4[0],
                clsid.Data4[1], clsid.Data4[2], clsid.Data4[3], clsid.Data4[4], clsid.Data4[5],
                clsid.Data4[6], clsid.Data4[7]);
  *created = RegSetValueA(HKEY_CLASSES_ROOT, key.c_str(), REG_SZ, text,
                          static_cast<DWORD>(std::strlen(text))) == ERROR_SUCCESS;
  return *created;
}

void platform::UnregisterProgId(const std::string& progId) {
  const std::string key = progId + "\\CLSID";
  RegDeleteKeyA(HKEY_CLASSES_ROOT, key.c_str());
  RegDeleteKeyA(HKEY_CLASSES_ROOT, progId.c_str());
}
