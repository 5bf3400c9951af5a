// Calls into the spreadsheet host, and the host queries built on them.
#include "xll/host_call.h"

#include <cstdlib>
#include <vector>

#include "platform/host_entry.h"

namespace {
// 0.0 until the host has told its version.
double g_host_version = 0.0;
}  // namespace

int CallHostPointers(CXllValue* result, int xlfn, int count, XLOPER* args[]) {
  if (!result) return Excel4v(xlfn, nullptr, count, args);
  CXllValue answer;
  const int code = Excel4v(xlfn, &answer, count, args);
  // Whatever the host wrote is the host's memory, on failure too: it goes back through xlFree,
  // never through our own delete[].
  if (code == xlretSuccess || answer.xltype != 0) answer.xltype |= xlbitXLFree;
  // On a throw the destructor of answer still hands the host's copy back.
  if (code == xlretSuccess) result->CopyFrom(answer);
  answer.Free();
  return code;
}

int CallHostArray(CXllValue& result, int xlfn, int count, CXllValue* values) {
  if (count < 0 || (count > 0 && !values)) return xlretInvCount;
  std::vector<XLOPER*> args;
  args.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) args.push_back(&values[i]);
  return CallHostPointers(&result, xlfn, count, count ? args.data() : nullptr);
}

double HostVersion() {
  if (g_host_version != 0.0) return g_host_version;
  CXllValue version;
  CXllValue item = CXllValue::Int(2);  // workspace item 2: the version text
  if (CallHost(version, xlfGetWorkspace, &item) != xlretSuccess) return 0.0;
  g_host_version = std::strtod(version.ToText().c_str(), nullptr);
  return g_host_version;
}

void ResetHostVersionCache() { g_host_version = 0.0; }

std::string XllName() {
  CXllValue name;
  if (CallHost(name, xlGetName) != xlretSuccess) return std::string();
  return name.ToText();
}

int HostAlert(const std::string& text, int type) {
  CXllValue message(text);
  CXllValue kind(static_cast<double>(type));
  CXllValue answer;
  if (CallHost(answer, xlcAlert, &message, &kind) != xlretSuccess) return 0;
  return answer.ToBool();
}
