// Calls into the spreadsheet host, and the host queries built on them.
#include "xll/host_call.h"

#include <cstdlib>
#include <vector>

#include "platform/host_entry.h"

namespace {
// 0.0 until the host has told its version; then the number and the whole number it starts with.
double g_host_version = 0.0;
int g_host_major_version = 0;

// A call through entry (Excel4v or Excel12v) whose answer, the host's memory, is copied into
// result and handed back at once.
template <class Value, class Oper, class Entry>
int CallThrough(Entry entry, Value* result, int xlfn, int count, Oper* args[]) {
  if (!result) return entry(xlfn, nullptr, count, args);
  Value answer;
  const int code = entry(xlfn, &answer, count, args);
  // Whatever the host wrote is the host's memory, on failure too: it goes back through xlFree,
  // never through our own delete[].
  if (code == xlretSuccess || answer.xltype != 0) answer.xltype |= xlbitXLFree;
  // On a throw the destructor of answer still hands the host's copy back.
  if (code == xlretSuccess) result->CopyFrom(answer);
  answer.Free();
  return code;
}

template <class Value>
int CallWithArray(Value& result, int xlfn, int count, Value* values) {
  if (count < 0 || (count > 0 && !values)) return xlretInvCount;
  std::vector<typename host_call_detail::Layout<Value>::type*> args;
  args.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) args.push_back(&values[i]);
  return CallHostPointers(&result, xlfn, count, count ? args.data() : nullptr);
}
}  // namespace

int CallHostPointers(CXllValue* result, int xlfn, int count, XLOPER* args[]) {
  return CallThrough(Excel4v, result, xlfn, count, args);
}

int CallHostPointers(CXllValue12* result, int xlfn, int count, XLOPER12* args[]) {
  return CallThrough(Excel12v, result, xlfn, count, args);
}

int CallHostArray(CXllValue& result, int xlfn, int count, CXllValue* values) {
  return CallWithArray(result, xlfn, count, values);
}

int CallHostArray(CXllValue12& result, int xlfn, int count, CXllValue12* values) {
  return CallWithArray(result, xlfn, count, values);
}

double HostVersion() {
  if (g_host_version != 0.0) return g_host_version;
  CXllValue version;
  CXllValue item = CXllValue::Int(2);  // workspace item 2: the version text
  if (CallHost(version, xlfGetWorkspace, &item) != xlretSuccess) return 0.0;
  const std::string text = version.ToText();
  g_host_version = std::strtod(text.c_str(), nullptr);
  // The whole number the text starts with, whatever the decimal separator after it.
  const long major = std::strtol(text.c_str(), nullptr, 10);
  g_host_major_version = major < 0 ? 0 : major > 1000 ? 1000 : static_cast<int>(major);
  return g_host_version;
}

int HostMajorVersion() { return HostVersion() != 0.0 ? g_host_major_version : 0; }

void ResetHostVersionCache() {
  g_host_version = 0.0;
  g_host_major_version = 0;
}

std::string XllName() {
  CXllValue name;
  if (CallHost(name, xlGetName) != xlretSuccess) return std::string();
  return name.ToText();
}

void XllName(CXllValue12& name) {
  if (CallHost(name, xlGetName) != xlretSuccess) name.SetText(std::string());
}

int HostAlert(const std::string& text, int type) {
  CXllValue message(text);
  CXllValue kind(static_cast<double>(type));
  CXllValue answer;
  if (CallHost(answer, xlcAlert, &message, &kind) != xlretSuccess) return 0;
  return answer.ToBool();
}
