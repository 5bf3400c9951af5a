// A fake add-in with one worksheet function per supported shape, registered the way a real one
// registers them: through Excel4v, with argument lists built from values it owns.
#include "tests/host/fake_addin.h"

#include <cstdio>
#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "platform/host_entry.h"
#include "platform/system.h"

namespace {
using fake_addin::Arguments;

fake_addin::State& state() { return fake_addin::state(); }

struct FakeFunction {
  const char* procedure;
  const char* type_text;
  const char* function_text;
  const char* argument_text;
  const char* macro_type;
  std::vector<std::string> helps;
};

// FakeBadShape points at FakeDouble with a type text the host cannot call.
const FakeFunction kFunctions[] = {
    {"FakeEcho", "RBCC", "FakeEcho", "Val,From,To", "1", {"= a number", "= a text", "= a text"}},
    {"FakeDouble", "RB", "FakeDouble", "Val", "1", {"= a number"}},
    {"FakeLength", "RC", "FakeLength", "Text", "1", {"= a text"}},
    {"FakeLabel", "RBC", "FakeLabel", "Val,Label", "1", {"= a number", "= a text"}},
    {"FakeConcat", "RCC", "FakeConcat", "A,B", "1", {"= a text", "= a text"}},
    {"FakeArray", "R", "FakeArray", "", "1", {}},
    {"FakeFail", "R", "FakeFail", "", "1", {}},
    {"FakeNull", "R", "FakeNull", "", "1", {}},
    {"FakeDouble", "RBB", "FakeBadShape", "A,B", "1", {"= a number", "= a number"}},
    {"FakeCommand", "J", "FakeCommand", "", "2", {}},
    // Version 12 functions, thread-safe; the last is refused, as no thread-safe function may
    // have a macro sheet's rights.
    {"FakeWide", "QD%$", "FakeWide", "Text", "1", {"= a text"}},
    {"FakeAsk", "QB$", "FakeAsk", "Function", "1", {"= a function number"}},
    {"FakeWhere", "QB$", "FakeWhere", "Val", "1", {"= a number"}},
    {"FakeWhereMain", "RB", "FakeWhereMain", "Val", "1", {"= a number"}},
    {"FakeWhere", "QB$#", "FakeMacroSafe", "Val", "1", {"= a number"}},
};

std::string ModuleName() {
  XLOPER name{};
  if (Excel4v(xlGetName, &name, 0, nullptr) != xlretSuccess) return "";
  std::string text(name.val.str + 1, static_cast<unsigned char>(name.val.str[0]));
  Excel4(xlFree, nullptr, 1, &name);
  return text;
}

XLOPER* Handed(XLOPER* value) {
  value->xltype |= xlbitDLLFree;
  state().outstanding.insert(value);
  return value;
}

char* NewCountedText(const std::string& text) {
  char* block = new char[text.size() + 1];
  block[0] = static_cast<char>(text.size());
  std::memcpy(block + 1, text.data(), text.size());
  return block;
}

XLOPER* NewText(const std::string& text) {
  XLOPER* value = new XLOPER{};
  value->xltype = xltypeStr;
  value->val.str = NewCountedText(text);
  return Handed(value);
}

XLOPER* NewNumber(double number) {
  XLOPER* value = new XLOPER{};
  value->xltype = xltypeNum;
  value->val.num = number;
  return Handed(value);
}

// An array whose elements are filled by the caller; texts are set with SetText.
XLOPER* NewArray(uint16_t rows, uint16_t columns) {
  XLOPER* value = new XLOPER{};
  value->xltype = xltypeMulti;
  value->val.array.rows = rows;
  value->val.array.columns = columns;
  value->val.array.lparray = new XLOPER[rows * columns]();
  return Handed(value);
}

void SetText(XLOPER* element, const std::string& text) {
  element->xltype = xltypeStr;
  element->val.str = NewCountedText(text);
}

void FreeValue(XLOPER* value) {
  const uint16_t type = value->xltype & ~xlbitDLLFree;
  if (type == xltypeStr) delete[] value->val.str;
  if (type == xltypeMulti) {
    for (int i = 0; i < value->val.array.rows * value->val.array.columns; ++i) {
      FreeValue(&value->val.array.lparray[i]);
    }
    delete[] value->val.array.lparray;
  }
}

void Remember(double number, const char* a, const char* b) {
  ++state().function_calls;
  state().last_number = number;
  state().last_texts[0] = a ? a : "";
  state().last_texts[1] = b ? b : "";
}

XLOPER g_static_result{};

// The thread that opened the add-in: the host's main thread.
std::thread::id g_main_thread;

// A version 12 text the add-in allocated, marked for xlAutoFree12, with the thread it was
// handed back on.
struct WideResult {
  XLOPER12 value;
  std::u16string counted;
  std::thread::id thread;
};

}  // namespace

namespace fake_addin {
Arguments& Arguments::Add(uint16_t type) {
  XLOPER value{};
  value.xltype = type;
  values_.push_back(value);
  texts_.push_back("");
  return *this;
}

Arguments& Arguments::Text(const std::string& text) {
  Add(xltypeStr).texts_.back() = std::string(1, static_cast<char>(text.size())) + text;
  return *this;
}

Arguments& Arguments::Number(double number) {
  Add(xltypeNum).values_.back().val.num = number;
  return *this;
}

Arguments& Arguments::Int(int16_t number) {
  Add(xltypeInt).values_.back().val.w = number;
  return *this;
}

Arguments& Arguments::Bool(uint16_t truth) {
  Add(xltypeBool).values_.back().val.xbool = truth;
  return *this;
}

int Arguments::Call(int xlfn, XLOPER* result) {
  // The texts are pointed to only now, so that a copied argument list stays sound.
  std::vector<XLOPER> values = values_;
  std::vector<XLOPER*> pointers;
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (values[i].xltype == xltypeStr) values[i].val.str = &texts_[i][0];
    pointers.push_back(&values[i]);
  }
  return Excel4v(xlfn, result, static_cast<int>(pointers.size()),
                 pointers.empty() ? nullptr : pointers.data());
}

OpenedFake::OpenedFake(const char* version) {
  Reset();
  host.SetVersion(version);
  std::string error;
  if (session.Load("", kPath, &error)) opened = session.Open();
}

OpenedFake::~OpenedFake() {
  session.Unload();
  Reset();
}

State& state() {
  static State s;
  return s;
}

std::atomic<int> wide_free_calls{0};
std::atomic<int> wide_frees_on_another_thread{0};

void Reset() {
  wide_free_calls = 0;
  wide_frees_on_another_thread = 0;
  for (XLOPER* value : state().outstanding) {
    FreeValue(value);
    delete value;
  }
  state() = State();
}
}  // namespace fake_addin

extern "C" {
int __stdcall xlAutoOpen() {
  ++state().open_calls;
  g_main_thread = std::this_thread::get_id();
  platform::ConnectHost12();
  const std::string module = ModuleName();
  for (const FakeFunction& f : kFunctions) {
    Arguments args;
    args.Text(module).Text(f.procedure).Text(f.type_text).Text(f.function_text);
    args.Text(f.argument_text).Text(f.macro_type);
    if (f.type_text[0] == 'J') {
      args.Int(14);  // a built-in category goes as its number
    } else {
      args.Text("Fake Tools");
    }
    args.Text("");
    if (*f.argument_text) {
      args.Text("!0").Text(std::string("Help of ") + f.function_text + " ");
      for (const std::string& help : f.helps) args.Text(help + " ");
    }
    XLOPER id{};
    args.Call(xlfRegister, &id);
    if (id.xltype == xltypeNum) state().ids[f.function_text] = id.val.num;
  }
  return 1;
}

int __stdcall xlAutoClose() {
  ++state().close_calls;
  return 1;
}

int __stdcall xlAutoRemove() {
  ++state().remove_calls;
  const std::string module = ModuleName();
  for (const auto& entry : state().ids) {
    XLOPER ignored{};
    Arguments().Number(entry.second).Call(xlfUnregister, &ignored);
    Arguments().Text(entry.first).Call(xlfSetName, &ignored);
    Arguments()
        .Text(module).Text("xlAutoRemove").Text("J").Text(entry.first).Add(xltypeMissing).Int(0)
        .Call(xlfRegister, nullptr);
  }
  state().ids.clear();
  return 1;
}

XLOPER* __stdcall xlAddInManagerInfo(XLOPER* action) {
  XLOPER coerced{};
  XLOPER type{};
  type.xltype = xltypeInt;
  type.val.w = xltypeInt;
  XLOPER* args[] = {action, &type};
  Excel4v(xlCoerce, &coerced, 2, args);
  if (coerced.xltype == xltypeInt && coerced.val.w == 1) return NewText("Fake Add-in");
  XLOPER* error = NewNumber(0);
  error->xltype = xltypeErr | xlbitDLLFree;
  error->val.err = xlerrValue;
  return error;
}

void __stdcall xlAutoFree(XLOPER* value) {
  ++state().auto_free_calls;
  if (!state().outstanding.erase(value)) {
    ++state().auto_free_unknown;
    return;
  }
  FreeValue(value);
  delete value;
}

XLOPER* __stdcall FakeEcho(double number, char* from, char* to) {
  Remember(number, from, to);
  char shown[32];
  std::snprintf(shown, sizeof shown, "%.17g", number);
  return NewText(std::string(shown) + "|" + from + "|" + to);
}

// Not marked for xlAutoFree: a static result the add-in keeps.
XLOPER* __stdcall FakeDouble(double number) {
  Remember(number, nullptr, nullptr);
  g_static_result.xltype = xltypeNum;
  g_static_result.val.num = 2 * number;
  return &g_static_result;
}

XLOPER* __stdcall FakeLength(char* text) {
  Remember(0, text, nullptr);
  return NewNumber(static_cast<double>(std::strlen(text)));
}

XLOPER* __stdcall FakeLabel(double number, char* label) {
  Remember(number, label, nullptr);
  XLOPER* array = NewArray(1, 2);
  array->val.array.lparray[0].xltype = xltypeNum;
  array->val.array.lparray[0].val.num = number;
  SetText(&array->val.array.lparray[1], label);
  return array;
}

XLOPER* __stdcall FakeConcat(char* a, char* b) {
  Remember(0, a, b);
  return NewText(std::string(a) + b);
}

// {1,"a";TRUE,#N/A}
XLOPER* __stdcall FakeArray() {
  Remember(0, nullptr, nullptr);
  XLOPER* array = NewArray(2, 2);
  XLOPER* e = array->val.array.lparray;
  e[0].xltype = xltypeNum;
  e[0].val.num = 1;
  SetText(&e[1], "a");
  e[2].xltype = xltypeBool;
  e[2].val.xbool = 1;
  e[3].xltype = xltypeErr;
  e[3].val.err = xlerrNA;
  return array;
}

XLOPER* __stdcall FakeFail() {
  Remember(0, nullptr, nullptr);
  g_static_result.xltype = xltypeErr;
  g_static_result.val.err = xlerrNA;
  return &g_static_result;
}

XLOPER* __stdcall FakeNull() {
  Remember(0, nullptr, nullptr);
  return nullptr;
}

int __stdcall FakeCommand() { return 40 + ++state().command_runs; }

// "<units>|<text>": how many UTF-16 units came, and the text, handed back from the heap.
XLOPER12* __stdcall FakeWide(const XCHAR* counted) {
  auto* result = new WideResult{};
  const std::u16string text(counted + 1, counted[0]);
  const std::string units = std::to_string(counted[0]);
  result->counted = XCHAR(units.size() + 1 + text.size()) + std::u16string(units.begin(), units.end()) +
                    u"|" + text;
  result->value.xltype = xltypeStr | xlbitDLLFree;
  result->value.val.str = &result->counted[0];
  result->thread = std::this_thread::get_id();
  return &result->value;
}

void __stdcall xlAutoFree12(XLOPER12* value) {
  auto* result = reinterpret_cast<WideResult*>(value);
  ++fake_addin::wide_free_calls;
  if (result->thread != std::this_thread::get_id()) ++fake_addin::wide_frees_on_another_thread;
  delete result;
}

// The return code of the host function numbered xlfn, asked with the number 2 (for
// xlfGetWorkspace its version item, for xlCoerce a value to coerce).
XLOPER12* __stdcall FakeAsk(double xlfn) {
  XLOPER12 two{};
  two.xltype = xltypeNum;
  two.val.num = 2;
  XLOPER12* args[] = {&two};
  XLOPER12 answer{};
  const int code = Excel12v(static_cast<int>(xlfn), &answer, 1, args);
  if (code == xlretSuccess) Excel12(xlFree, nullptr, 1, &answer);
  thread_local XLOPER12 result;
  result.xltype = xltypeNum;
  result.val.num = code;
  return &result;
}

// 1 on the thread that opened the add-in, else 0.
XLOPER12* __stdcall FakeWhere(double) {
  thread_local XLOPER12 result;
  result.xltype = xltypeNum;
  result.val.num = std::this_thread::get_id() == g_main_thread ? 1 : 0;
  return &result;
}

XLOPER* __stdcall FakeWhereMain(double) {
  g_static_result.xltype = xltypeNum;
  g_static_result.val.num = std::this_thread::get_id() == g_main_thread ? 1 : 0;
  return &g_static_result;
}
}
