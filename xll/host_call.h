// Calls into the spreadsheet host, through either interface: every result the host allocates comes
// back as an add-in-owned copy, and the few host queries the framework needs.
#pragma once

#include <string>
#include <type_traits>

#include "xll/cell_value.h"
#include "xll/cell_value12.h"

// Calls host function xlfn with count argument pointers (args may be null when count is 0).
// Returns the host's return code unchanged (xlretSuccess is 0). With a null result the host is
// asked for no answer. Otherwise, on success, result holds an add-in-owned copy of the answer and
// the host's copy is released through xlFree at once; on failure result is left as it was (and
// anything the host wrote anyway also goes back through xlFree, never through delete[]).
// Throws std::bad_alloc when the copy cannot be made (result is then empty and the host's copy is
// still released).
int CallHostPointers(CXllValue* result, int xlfn, int count, XLOPER* args[]);
// The same through the version 12 interface (Excel12v).
int CallHostPointers(CXllValue12* result, int xlfn, int count, XLOPER12* args[]);

namespace host_call_detail {
// The host's layout behind each of the add-in's value classes, which picks the interface.
template <class Value>
struct Layout;
template <>
struct Layout<CXllValue> {
  typedef XLOPER type;
};
template <>
struct Layout<CXllValue12> {
  typedef XLOPER12 type;
};

template <class Value, class... Values>
int CallWithArguments(Value* result, int xlfn, Values*... args) {
  typedef typename Layout<Value>::type Oper;
  static_assert((std::is_base_of<Oper, Values>::value && ...),
                "arguments are cell values of the result's interface");
  Oper* list[] = {args..., nullptr};
  return CallHostPointers(result, xlfn, static_cast<int>(sizeof...(Values)),
                          sizeof...(Values) ? list : nullptr);
}
}  // namespace host_call_detail

// Calls host function xlfn with the arguments given as value addresses, in the host's order;
// their number is the count. The result's class (CXllValue or CXllValue12) chooses the interface.
// Returns the host's return code; result as for CallHostPointers.
template <class Value, class... Values>
int CallHost(Value& result, int xlfn, Values*... args) {
  return host_call_detail::CallWithArguments(&result, xlfn, args...);
}

// CallHost without asking the host for an answer, through the interface of Value. Returns the
// host's return code.
template <class Value = CXllValue, class... Values>
int CallHostNoResult(int xlfn, Values*... args) {
  return host_call_detail::CallWithArguments(static_cast<Value*>(nullptr), xlfn, args...);
}

// CallHost with the arguments as count consecutive values (the host gets no pointer array when
// count is 0). Returns the host's return code, or xlretInvCount without calling the host for a
// negative count or a null values with a positive count.
int CallHostArray(CXllValue& result, int xlfn, int count, CXllValue* values);
int CallHostArray(CXllValue12& result, int xlfn, int count, CXllValue12* values);

// The host's version number (the version text 11.0 gives 11), read once and then cached.
// Returns 0.0 when the host cannot say; the next call asks again.
double HostVersion();

// The whole number the host's version text starts with, whatever its decimal separator ("16.0"
// and "16,0" give 16), from the same cached answer. Returns 0 when the host cannot say.
int HostMajorVersion();

// Forgets the cached host version so that the next HostVersion asks the host. For tests that
// change hosts within one process.
void ResetHostVersionCache();

// The add-in's full file name as the host knows it; "" when the host call fails.
std::string XllName();
// The same asked through the version 12 interface, into name as a wide text: the name whole,
// whatever the code page lacks. A failed call gives the empty text.
void XllName(CXllValue12& name);

// Shows text (cut to 255 characters) in a host message box of the given type. Returns the host's
// answer as a truth value, or 0 when the call fails.
int HostAlert(const std::string& text, int type);
