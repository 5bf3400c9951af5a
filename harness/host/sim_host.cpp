// The simulated host's answers to the C API, its function table and its trace.
#include "sim_host.h"

#include <cmath>
#include <cstdlib>
#include <type_traits>
#include <utility>

#include "harness/host/decimal_text.h"
#include "harness/host/function_name.h"
#include "harness/host/text_compare.h"
#include "platform/code_page.h"

namespace {
// The host takes at most this many arguments in one call.
constexpr int kMaxArguments = 255;

// Set on the host's main thread before any calculation thread starts, and read by all of them.
SimHost* g_active = nullptr;

// Whether the calling thread runs a function registered thread-safe. A cache line of its own:
// the flags of two threads may lie side by side, and each is written on every call.
struct alignas(64) ThreadSafeFlag {
  bool set;
};
thread_local ThreadSafeFlag t_in_thread_safe_function = {false};

int ForwardToActiveHost(int xlfn, XLOPER* result, int count, XLOPER* args[]) {
  return g_active ? g_active->Call(xlfn, result, count, args) : xlretFailed;
}

// What a thread-safe function may ask of the host: the C API's own functions (the special
// bit set, no command), which touch no sheet and no macro state.
bool AllowedInThreadSafeFunction(int xlfn) {
  return (xlfn & xlSpecialBit) != 0 && (xlfn & xlCommandBit) == 0;
}

// A text of the code page as UTF-8, and back (a character the code page lacks becomes '?').
std::string ConvertFromCodePage(const std::string& text) {
  std::string utf8(3 * text.size() + 1, '\0');
  utf8.resize(platform::AnsiToUtf8(text.c_str(), &utf8[0], utf8.size()));
  return utf8;
}

std::string ConvertToCodePage(const std::string& text) {
  // A character takes at least as many bytes of UTF-8 as of the code page.
  std::string ansi(text.size() + 1, '\0');
  ansi.resize(platform::Utf8ToAnsi(text.c_str(), &ansi[0], ansi.size()));
  return ansi;
}

// The number a value stands for as a host reads one: numbers, integers, truth values and texts
// that hold a decimal number.
bool NumberOf(const HostValue& value, double* number) {
  switch (value.type) {
    case xltypeNum: *number = value.number; return true;
    case xltypeInt: *number = value.word; return true;
    case xltypeBool: *number = value.word != 0; return true;
    case xltypeStr: return ParseDecimal(value.text, number);
    default: return false;
  }
}

// A number given as a number or integer, as the host takes item numbers and ids.
bool NumericArgument(const HostValue& value, double* number) {
  if (value.type != xltypeNum && value.type != xltypeInt) return false;
  *number = value.type == xltypeNum ? value.number : value.word;
  return true;
}

// Argument 6 of xlfRegister, which the add-in may send as a text ("1") or a number; omitted it
// means a worksheet function.
bool MacroType(const HostValue& value, int* macro_type) {
  if (value.type == xltypeMissing) return true;
  double number = 0;
  if (value.type == xltypeBool || !NumberOf(value, &number) || number != std::floor(number)) {
    return false;
  }
  *macro_type = static_cast<int>(number);
  return true;
}

std::string Join(const std::vector<std::string>& parts) {
  std::string out;
  for (std::size_t i = 0; i < parts.size(); ++i) out += (i ? ", " : "") + parts[i];
  return out;
}
}  // namespace

std::string TraceEntry::Line() const {
  std::string prefix = into_addin ? "add-in: " : wide ? "Excel12: " : "";
  if (automation) prefix = elsewhere ? "automation: another process: " : "automation: ";
  std::string line = prefix + name + "(" + Join(arguments) + ")";
  if (!into_addin && !automation) line += " -> " + std::to_string(code);
  if (has_result) line += " = " + result;
  return line;
}

SimHost::SimHost() : previous_(g_active) {
  g_active = this;
  previous_handler_ = platform::InstallHost(&ForwardToActiveHost);
}

extern "C" int __stdcall MdCallBack12(int xlfn, int count, XLOPER12* args[], XLOPER12* result) {
  return g_active ? g_active->Call12(xlfn, result, count, args) : xlretFailed;
}

SimHost::~SimHost() {
  g_active = previous_;
  platform::InstallHost(previous_handler_);
}

void SimHost::SetVersion(const std::string& version) {
  version_ = version;
  // The whole number the text starts with, whatever its decimal separator.
  const long major = std::strtol(version.c_str(), nullptr, 10);
  major_version_ = major < 0 ? 0 : major > 1000 ? 1000 : static_cast<int>(major);
}

SimHost::ThreadSafeCall::ThreadSafeCall() { t_in_thread_safe_function.set = true; }
SimHost::ThreadSafeCall::~ThreadSafeCall() { t_in_thread_safe_function.set = false; }

std::string SimHost::FromCodePage(const std::string& text) const {
  return OffersVersion12() ? ConvertFromCodePage(text) : text;
}

std::string SimHost::ToCodePage(const std::string& text) const {
  return OffersVersion12() ? ConvertToCodePage(text) : text;
}

std::size_t SimHost::AutoFreeCalls() const {
  platform::Holding hold(lock_);
  return auto_free_calls_;
}

void SimHost::SetAnswer(int xlfn, int code, const HostValue& result) {
  answers_[xlfn] = Answer{code, result};
}

void SimHost::AttachModule(const std::string& name, platform::Module* module) {
  modules_.push_back(AttachedModule{name, module});
}

void SimHost::DetachModule(platform::Module* module) {
  for (auto it = modules_.begin(); it != modules_.end();) {
    it = it->module == module ? modules_.erase(it) : it + 1;
  }
  // The procedures of an unloaded module can no longer be called.
  for (RegisteredFunction& function : functions_) {
    if (function.library == module) {
      function.library = nullptr;
      function.address = nullptr;
    }
  }
}

void SimHost::DropRegistrations(const std::string& name) {
  for (auto it = functions_.begin(); it != functions_.end();) {
    it = SameTextIgnoringCase(it->module, name) ? functions_.erase(it) : it + 1;
  }
}

platform::Module* SimHost::ModuleNamed(const std::string& name) const {
  for (const AttachedModule& attached : modules_) {
    if (SameTextIgnoringCase(attached.name, name)) return attached.module;
  }
  return nullptr;
}

int SimHost::Call(int xlfn, XLOPER* result, int count, XLOPER* args[]) {
  return Respond(xlfn, result, count, args, false);
}

int SimHost::Call12(int xlfn, XLOPER12* result, int count, XLOPER12* args[]) {
  // An older host has no such entry point: nothing answers, nothing is recorded.
  if (!OffersVersion12()) return xlretFailed;
  return Respond(xlfn, result, count, args, true);
}

template <class Oper>
int SimHost::Respond(int xlfn, Oper* result, int count, Oper* args[], bool wide) {
  try {
    // Texts of the interface of every version are in the code page; the host keeps its own.
    const bool code_page = !wide && OffersVersion12();
    platform::Holding hold(lock_);
    TraceEntry entry;
    entry.xlfn = xlfn;
    entry.name = FunctionName(xlfn);
    entry.wide = wide;
    int code = xlretSuccess;
    if (count < 0 || count > kMaxArguments) {
      code = xlretInvCount;
    } else if (count > 0 && !args) {
      code = xlretInvXloper;
    } else if (t_in_thread_safe_function.set && !AllowedInThreadSafeFunction(xlfn)) {
      code = xlretNotThreadSafe;
    } else if (xlfn == xlFree) {
      code = Free(count, args, &entry);
    } else {
      std::vector<HostValue> values;
      for (int i = 0; i < count; ++i) {
        if (!args[i]) {
          entry.arguments.push_back("<null>");
          code = xlretInvXloper;
          continue;
        }
        values.push_back(CopyValue(*args[i]));
        if (code_page) values.back() = ConvertTexts(values.back(), ConvertFromCodePage);
        if (recording_) entry.arguments.push_back(RenderValue(values.back()));
      }
      HostValue answer;
      if (code == xlretSuccess) {
        auto fixed = answers_.find(xlfn);
        if (fixed != answers_.end()) {
          code = fixed->second.code;
          answer = fixed->second.result;
        } else {
          code = Dispatch(xlfn, values, &answer);
        }
      }
      if (code == xlretSuccess && result) {
        memory_.Write(code_page ? ConvertTexts(answer, ConvertToCodePage) : answer, result);
        entry.has_result = true;
        if (recording_) {
          HostValue written = CopyValue(*result);
          if (code_page) written = ConvertTexts(written, ConvertFromCodePage);
          entry.result = RenderValue(written);
        }
      }
    }
    entry.code = code;
    if (recording_) trace_.push_back(std::move(entry));
    return code;
  } catch (...) {
    return xlretFailed;
  }
}

int SimHost::Dispatch(int xlfn, const std::vector<HostValue>& args, HostValue* answer) {
  const std::size_t count = args.size();
  switch (xlfn) {
    case xlfRegister: return Register(args, answer);
    case xlfUnregister: return Unregister(args, answer);
    case xlCoerce: return Coerce(args, answer);
    case xlfGetWorkspace: return Workspace(args, answer);
    case xlfSetName:
      // One argument deletes the name, two define it; the host keeps no names of its own.
      if (count < 1 || count > 2) return xlretInvCount;
      *answer = args[0].type == xltypeStr ? HostValue::Bool(true) : HostValue::Error(xlerrValue);
      return xlretSuccess;
    case xlGetName:
      if (count != 0) return xlretInvCount;
      if (addin_name_.empty()) return xlretFailed;
      *answer = HostValue::Text(addin_name_);
      return xlretSuccess;
    case xlcAlert:
      if (count < 1 || count > 3) return xlretInvCount;
      alerts_.push_back(args[0].type == xltypeStr ? args[0].text : RenderValue(args[0]));
      *answer = HostValue::Bool(true);
      return xlretSuccess;
    case xlcEcho:
    case xlcNew:
    case xlcClose:
      *answer = HostValue::Bool(true);
      return xlretSuccess;
    default:
      return xlretInvXlfn;
  }
}

template <class Oper>
int SimHost::Free(int count, Oper* args[], TraceEntry* entry) {
  int code = xlretSuccess;
  for (int i = 0; i < count; ++i) {
    if (!args[i]) {
      entry->arguments.push_back("<null>");
      code = xlretInvXloper;
      continue;
    }
    const std::string described = memory_.Describe(*args[i]);
    entry->arguments.push_back(described);
    switch (memory_.Release(*args[i])) {
      case FreeOutcome::kDoubleFree:
        free_faults_.push_back("xlFree of a block already freed: " + described);
        break;
      case FreeOutcome::kForeign:
        free_faults_.push_back("xlFree of a block the host never handed out: " + described);
        break;
      default:
        break;
    }
  }
  return code;
}

int SimHost::Register(const std::vector<HostValue>& args, HostValue* answer) {
  *answer = HostValue::Error(xlerrValue);
  if (args.size() < 3) return xlretSuccess;
  for (std::size_t i = 0; i < 3; ++i) {
    if (args[i].type != xltypeStr) return xlretSuccess;
  }
  RegisteredFunction function;
  function.arguments = args;
  function.module = args[0].text;
  function.procedure = args[1].text;
  function.type_text = args[2].text;
  if (args.size() > 3 && args[3].type == xltypeStr) function.function_text = args[3].text;
  if (args.size() > 4 && args[4].type == xltypeStr) function.argument_text = args[4].text;
  if (args.size() > 5 && !MacroType(args[5], &function.macro_type)) return xlretSuccess;
  // A function that may run on any calculation thread cannot have a macro sheet's rights, which
  // reach what only the main thread may touch.
  const std::string& type = function.type_text;
  if (type.find(xlThreadSafeMark) != std::string::npos &&
      type.find(xlMacroSheetMark) != std::string::npos) {
    return xlretSuccess;
  }
  // An older host knows neither version 12 values nor wide texts nor the marks.
  function.callable = ReadShape(type, &function.shape) &&
                      (OffersVersion12() || type.find_first_of("Q%$") == std::string::npos);

  // As the real host does, refuse a procedure its library does not export. A library the
  // host has not loaded is taken on trust: the function is listed but cannot be called.
  for (const AttachedModule& attached : modules_) {
    if (!SameTextIgnoringCase(attached.name, function.module)) continue;
    function.library = attached.module;
    function.address = platform::FindProcedure(attached.module, function.procedure.c_str());
    if (!function.address) return xlretSuccess;
    break;
  }

  if (!function.function_text.empty()) {
    for (auto it = functions_.begin(); it != functions_.end();) {
      const bool same = SameTextIgnoringCase(it->function_text, function.function_text);
      it = same ? functions_.erase(it) : it + 1;
    }
  }
  function.id = next_id_++;
  functions_.push_back(function);
  *answer = HostValue::Number(function.id);
  return xlretSuccess;
}

int SimHost::Unregister(const std::vector<HostValue>& args, HostValue* answer) {
  if (args.size() != 1) return xlretInvCount;
  double id = 0;
  if (!NumericArgument(args[0], &id)) {
    *answer = HostValue::Error(xlerrValue);
    return xlretSuccess;
  }
  for (auto it = functions_.begin(); it != functions_.end(); ++it) {
    if (it->id == id) {
      functions_.erase(it);
      *answer = HostValue::Bool(true);
      return xlretSuccess;
    }
  }
  *answer = HostValue::Bool(false);
  return xlretSuccess;
}

int SimHost::Coerce(const std::vector<HostValue>& args, HostValue* answer) {
  if (args.empty() || args.size() > 2) return xlretInvCount;
  const HostValue& value = args[0];
  *answer = HostValue::Error(xlerrValue);
  double mask = 0;
  if (args.size() == 1) {
    // Without a type mask a value coerces to itself (a reference would give its cell's value).
    if (value.type != xltypeMulti && value.type != kBrokenValue) *answer = value;
    return xlretSuccess;
  }
  if (!NumericArgument(args[1], &mask)) return xlretSuccess;
  const int types = static_cast<int>(mask);
  double number = 0;
  const bool scalar = value.type != 0 && value.type != xltypeMulti && value.type != kBrokenValue;
  if (scalar && (types & value.type) == value.type) {
    *answer = value;
  } else if ((types & xltypeInt) && NumberOf(value, &number)) {
    // A cell value becomes an integer by dropping its fraction; out of range it cannot.
    const double whole = std::trunc(number);
    if (whole >= -32768 && whole <= 32767) *answer = HostValue::Int(static_cast<int16_t>(whole));
  } else if ((types & xltypeNum) && NumberOf(value, &number)) {
    *answer = HostValue::Number(number);
  }
  return xlretSuccess;
}

int SimHost::Workspace(const std::vector<HostValue>& args, HostValue* answer) {
  if (args.size() != 1) return xlretInvCount;
  double item = 0;
  // Only the version text is simulated; other workspace items are not available here.
  const bool version = NumericArgument(args[0], &item) && item == 2;
  *answer = version ? HostValue::Text(version_) : HostValue::Error(xlerrValue);
  return xlretSuccess;
}

const RegisteredFunction* SimHost::FindFunction(const std::string& function_text) const {
  if (function_text.empty()) return nullptr;
  for (const RegisteredFunction& function : functions_) {
    if (SameTextIgnoringCase(function.function_text, function_text)) return &function;
  }
  return nullptr;
}

bool SimHost::FindFunction(const std::string& function_text, CallTarget* target) const {
  platform::Holding hold(lock_);
  const RegisteredFunction* found = FindFunction(function_text);
  if (found) *target = *found;
  return found != nullptr;
}

template <class Oper>
HostValue SimHost::Accept(platform::Module* module, const std::string& procedure,
                          const std::vector<std::string>& arguments, Oper* value,
                          const char* free_name) {
  HostValue copy = value ? CopyValue(*value) : HostValue::Error(xlerrValue);
  if (value && std::is_same<Oper, XLOPER>::value && OffersVersion12()) {
    copy = ConvertTexts(copy, ConvertFromCodePage);
  }
  if (recording_) RecordAddinCall(procedure, arguments, value ? RenderValue(copy) : "<null>");
  if (!value || !(value->xltype & xlbitDLLFree)) return copy;
  // The add-in keeps the value's memory until the host has read it; then it gets it back, on
  // the thread that called it, before that thread's next call.
  typedef void(__stdcall * AutoFreeProc)(Oper*);
  auto free_value = reinterpret_cast<AutoFreeProc>(platform::FindProcedure(module, free_name));
  if (!free_value) {
    platform::Holding hold(lock_);
    free_faults_.push_back(std::string("a result carries xlbitDLLFree but the add-in has no ") +
                           free_name);
    return copy;
  }
  if (recording_) RecordAddinCall(free_name, {RenderValue(copy)}, "");
  {
    platform::Holding hold(lock_);
    ++auto_free_calls_;
  }
  free_value(value);
  return copy;
}

HostValue SimHost::AcceptResult(platform::Module* module, const std::string& procedure,
                                const std::vector<std::string>& arguments, XLOPER* value) {
  return Accept(module, procedure, arguments, value, "xlAutoFree");
}

HostValue SimHost::AcceptResult12(platform::Module* module, const std::string& procedure,
                                  const std::vector<std::string>& arguments, XLOPER12* value) {
  return Accept(module, procedure, arguments, value, "xlAutoFree12");
}

void SimHost::RecordAddinCall(const std::string& name, const std::vector<std::string>& arguments,
                              const std::string& result) {
  TraceEntry entry;
  entry.into_addin = true;
  entry.name = name;
  entry.arguments = arguments;
  entry.has_result = !result.empty();
  entry.result = result;
  Record(std::move(entry));
}

void SimHost::Record(TraceEntry entry) {
  platform::Holding hold(lock_);
  if (recording_) trace_.push_back(std::move(entry));
}

void SimHost::RecordAutomationCall(const std::string& name,
                                   const std::vector<std::string>& arguments,
                                   const std::string& result, bool elsewhere) {
  TraceEntry entry;
  entry.automation = true;
  entry.elsewhere = elsewhere;
  entry.name = name;
  entry.arguments = arguments;
  entry.has_result = true;
  entry.result = result;
  Record(std::move(entry));
}

std::string SimHost::TraceText() const {
  std::string text;
  for (const TraceEntry& entry : trace_) text += entry.Line() + "\n";
  return text;
}

std::vector<TraceEntry> SimHost::CallsOf(int xlfn) const {
  std::vector<TraceEntry> calls;
  for (const TraceEntry& entry : trace_) {
    if (!entry.into_addin && !entry.automation && entry.xlfn == xlfn) calls.push_back(entry);
  }
  return calls;
}
