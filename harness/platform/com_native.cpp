// The native COM and OLE Automation stand-in: one process-wide table of ProgIDs, active objects
// and running objects, file monikers that bind back to what is running under them, BSTRs,
// VARIANTs and their conversions, and the answers tests impose on any call.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <new>
#include <string>
#include <vector>

#include "harness/platform/class_registry.h"
#include "platform/system.h"

namespace {

using platform::ComCall;

constexpr int kCallCount = static_cast<int>(ComCall::kCount);

struct ProgIdEntry {
  std::wstring progId;
  CLSID clsid;
};

// An active object or an entry of the running object table.
struct Registration {
  DWORD cookie;
  CLSID clsid;       // an active object's class
  IUnknown* object;  // one reference held
  IMoniker* name;    // one reference held; an active object's is the moniker of its class
};

typedef std::vector<Registration> Registrations;

struct State {
  bool answered[kCallCount] = {};
  HRESULT answers[kCallCount] = {};
  int counts[kCallCount] = {};
  int initDepth = 0;
  int strings = 0;
  DWORD nextCookie = 1;
  std::vector<ProgIdEntry> progIds;
  Registrations active;
  Registrations running;
};

State& state() {
  static State* instance = new State;  // outlives every static destructor that might use COM
  return *instance;
}

// Counts the call; true with *code set when a test imposed an answer on it.
bool Imposed(ComCall call, HRESULT* code) {
  State& s = state();
  const int index = static_cast<int>(call);
  ++s.counts[index];
  if (!s.answered[index]) return false;
  *code = s.answers[index];
  return true;
}

// Releases what a registration holds.
void Release(const Registration& entry) {
  entry.object->Release();
  entry.name->Release();
}

// Takes the registration of cookie out of list and releases it. E_INVALIDARG when there is none.
HRESULT Revoke(Registrations& list, DWORD cookie) {
  for (auto it = list.begin(); it != list.end(); ++it) {
    if (it->cookie != cookie) continue;
    const Registration entry = *it;
    list.erase(it);
    Release(entry);
    return S_OK;
  }
  return E_INVALIDARG;
}

bool SameTextIgnoringCase(const std::wstring& a, const std::wstring& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::towlower(static_cast<wint_t>(a[i])) != std::towlower(static_cast<wint_t>(b[i]))) {
      return false;
    }
  }
  return true;
}

// The IUnknown of the stand-in's own objects: a reference count that deletes the object at zero,
// and QueryInterface answering IUnknown and whatever Answers accepts, as Interface.
template <class Interface>
class StandInObject : public Interface {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (riid != IID_IUnknown && !Answers(riid)) return E_NOINTERFACE;
    AddRef();
    *object = static_cast<Interface*>(this);
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

 protected:
  virtual ~StandInObject() = default;
  virtual bool Answers(REFIID) const { return false; }

 private:
  ULONG references_ = 1;
};

// A moniker that answers only what the running object table and binding need.
class Moniker : public StandInObject<IMoniker> {
 public:
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE IsDirty() override { return S_FALSE; }
  HRESULT STDMETHODCALLTYPE Load(IStream*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Save(IStream*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE BindToStorage(IBindCtx*, IMoniker*, REFIID, void**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Reduce(IBindCtx*, DWORD, IMoniker**, IMoniker**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE ComposeWith(IMoniker*, BOOL, IMoniker**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Enum(BOOL, IEnumMoniker**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE IsEqual(IMoniker* other) override {
    const Moniker* same = dynamic_cast<Moniker*>(other);
    return same && same->kind_ == kind_ && SameTextIgnoringCase(same->name_, name_) ? S_OK
                                                                                    : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Hash(DWORD*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE IsRunning(IBindCtx*, IMoniker*, IMoniker*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetTimeOfLastChange(IBindCtx*, IMoniker*, FILETIME*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Inverse(IMoniker**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CommonPrefixWith(IMoniker*, IMoniker**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE RelativePathTo(IMoniker*, IMoniker**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetDisplayName(IBindCtx*, IMoniker*, LPOLESTR*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE ParseDisplayName(IBindCtx*, IMoniker*, LPOLESTR, ULONG*,
                                             IMoniker**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE IsSystemMoniker(DWORD*) override { return E_NOTIMPL; }

  // A file moniker binds to the object running under an equal moniker. The moniker of an active
  // object names only its class and, as an item moniker, binds to nothing without a left part.
  HRESULT STDMETHODCALLTYPE BindToObject(IBindCtx*, IMoniker*, REFIID riid,
                                         void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    HRESULT code = S_OK;
    if (Imposed(ComCall::kBindToObject, &code)) return code;
    if (kind_ != kFile) return MK_E_SYNTAX;
    for (const Registration& entry : state().running) {
      if (IsEqual(entry.name) == S_OK) return entry.object->QueryInterface(riid, object);
    }
    return MK_E_UNAVAILABLE;
  }

  enum Kind { kFile, kClass };
  Moniker(Kind kind, std::wstring name) : kind_(kind), name_(std::move(name)) {}

 protected:
  bool Answers(REFIID riid) const override {
    return riid == IID_IPersist || riid == IID_IPersistStream || riid == IID_IMoniker;
  }

 private:
  Kind kind_;
  std::wstring name_;
};

// A snapshot of the running object table's monikers.
class MonikerEnumerator : public StandInObject<IEnumMoniker> {
 public:
  explicit MonikerEnumerator(std::vector<IMoniker*> monikers) : monikers_(std::move(monikers)) {
    for (IMoniker* moniker : monikers_) moniker->AddRef();
  }
  ~MonikerEnumerator() override {
    for (IMoniker* moniker : monikers_) moniker->Release();
  }

  HRESULT STDMETHODCALLTYPE Next(ULONG count, IMoniker** monikers, ULONG* fetched) override {
    if (fetched) *fetched = 0;
    if (!monikers || (count > 1 && !fetched)) return E_POINTER;
    HRESULT code = S_OK;
    if (Imposed(ComCall::kNext, &code)) return code;
    ULONG taken = 0;
    while (taken < count && position_ < monikers_.size()) {
      monikers[taken] = monikers_[position_++];
      monikers[taken++]->AddRef();
    }
    if (fetched) *fetched = taken;
    return taken == count ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
    position_ += count;
    if (position_ <= monikers_.size()) return S_OK;
    position_ = monikers_.size();
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Reset() override {
    HRESULT code = S_OK;
    if (Imposed(ComCall::kReset, &code)) return code;
    position_ = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Clone(IEnumMoniker**) override { return E_NOTIMPL; }

 private:
  std::vector<IMoniker*> monikers_;
  std::size_t position_ = 0;
};

// The process's one running object table; it lives as long as the process.
class RunningObjectTable : public IRunningObjectTable {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (riid != IID_IUnknown) return E_NOINTERFACE;
    *object = static_cast<IRunningObjectTable*>(this);
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  HRESULT STDMETHODCALLTYPE Register(DWORD, IUnknown* object, IMoniker* name,
                                     DWORD* cookie) override {
    if (!object || !name || !cookie) return E_INVALIDARG;
    State& s = state();
    object->AddRef();
    name->AddRef();
    *cookie = s.nextCookie++;
    s.running.push_back(Registration{*cookie, IID_NULL, object, name});
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Revoke(DWORD cookie) override {
    return ::Revoke(state().running, cookie);
  }
  HRESULT STDMETHODCALLTYPE IsRunning(IMoniker* name) override {
    for (const Registration& entry : state().running) {
      if (name && name->IsEqual(entry.name) == S_OK) return S_OK;
    }
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE GetObject(IMoniker* name, IUnknown** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    for (const Registration& entry : state().running) {
      if (name && name->IsEqual(entry.name) == S_OK) {
        entry.object->AddRef();
        *object = entry.object;
        return S_OK;
      }
    }
    return MK_E_UNAVAILABLE;
  }
  HRESULT STDMETHODCALLTYPE NoteChangeTime(DWORD, FILETIME*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTimeOfLastChange(IMoniker*, FILETIME*) override { return E_NOTIMPL; }
  // Active objects first, as they were made active, then the registered entries.
  HRESULT STDMETHODCALLTYPE EnumRunning(IEnumMoniker** monikers) override {
    if (!monikers) return E_POINTER;
    *monikers = nullptr;
    HRESULT code = S_OK;
    if (Imposed(ComCall::kEnumRunning, &code)) return code;
    std::vector<IMoniker*> names;
    for (const Registration& entry : state().active) names.push_back(entry.name);
    for (const Registration& entry : state().running) names.push_back(entry.name);
    *monikers = new MonikerEnumerator(std::move(names));
    return S_OK;
  }
};

RunningObjectTable g_table;

HRESULT OpenTable(IRunningObjectTable** table) {
  if (!table) return E_POINTER;
  *table = nullptr;
  HRESULT code = S_OK;
  if (Imposed(ComCall::kGetRunningObjectTable, &code)) return code;
  *table = &g_table;
  return S_OK;
}

class BindContext : public StandInObject<IBindCtx> {
 public:
  HRESULT STDMETHODCALLTYPE RegisterObjectBound(IUnknown*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE RevokeObjectBound(IUnknown*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ReleaseBoundObjects() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetBindOptions(BIND_OPTS*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetBindOptions(BIND_OPTS*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetRunningObjectTable(IRunningObjectTable** table) override {
    return OpenTable(table);
  }
  HRESULT STDMETHODCALLTYPE RegisterObjectParam(LPOLESTR, IUnknown*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetObjectParam(LPOLESTR, IUnknown**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumObjectParam(IEnumString**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE RevokeObjectParam(LPOLESTR) override { return E_NOTIMPL; }
};

// ---- BSTR layout: a 32-bit byte count, then the characters and a NUL ----
uint32_t* StringHeader(BSTR text) { return reinterpret_cast<uint32_t*>(text) - 1; }

// Each byte as the character of the same number: the ANSI code page read as Latin-1.
std::wstring Widen(const std::string& text) {
  std::wstring wide;
  for (char c : text) wide += static_cast<wchar_t>(static_cast<unsigned char>(c));
  return wide;
}

BSTR WideFromNarrow(const std::string& text) {
  const std::wstring wide = Widen(text);
  return SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}

std::string NarrowFromWide(BSTR text) {
  std::string narrow;
  for (UINT i = 0; i < SysStringLen(text); ++i) {
    narrow += text[i] < 0x100 ? static_cast<char>(text[i]) : '?';
  }
  return narrow;
}

bool TextNumber(BSTR text, double* number) {
  const std::string narrow = NarrowFromWide(text);
  if (narrow.empty()) return false;
  char* end = nullptr;
  *number = std::strtod(narrow.c_str(), &end);
  while (*end == ' ') ++end;
  return *end == '\0';
}

bool SameWord(BSTR text, const char* word) {
  const std::string narrow = NarrowFromWide(text);
  if (narrow.size() != std::strlen(word)) return false;
  for (std::size_t i = 0; i < narrow.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(narrow[i])) != word[i]) return false;
  }
  return true;
}

// The number a value stands for, when it stands for one.
HRESULT NumberOf(const VARIANT& value, double* number) {
  switch (value.vt) {
    case VT_EMPTY: *number = 0; return S_OK;
    case VT_I2: *number = value.iVal; return S_OK;
    case VT_I4: *number = value.lVal; return S_OK;
    case VT_R4: *number = value.fltVal; return S_OK;
    case VT_R8: *number = value.dblVal; return S_OK;
    case VT_BOOL: *number = value.boolVal; return S_OK;
    case VT_BSTR: return TextNumber(value.bstrVal, number) ? S_OK : DISP_E_TYPEMISMATCH;
    default: return DISP_E_TYPEMISMATCH;
  }
}

HRESULT ToBool(const VARIANT& value, VARIANT* out) {
  out->vt = VT_BOOL;
  if (value.vt == VT_BSTR &&
      (SameWord(value.bstrVal, "true") || SameWord(value.bstrVal, "false"))) {
    out->boolVal = SameWord(value.bstrVal, "true") ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
  }
  double number = 0;
  const HRESULT code = NumberOf(value, &number);
  if (FAILED(code)) return code;
  out->boolVal = number != 0 ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

HRESULT ToText(const VARIANT& value, VARIANT* out) {
  std::string text;
  char buffer[64];
  switch (value.vt) {
    case VT_EMPTY: break;
    case VT_I2: text = std::to_string(value.iVal); break;
    case VT_I4: text = std::to_string(value.lVal); break;
    case VT_R4:
    case VT_R8:
      std::snprintf(buffer, sizeof buffer, "%.15g",
                    value.vt == VT_R8 ? value.dblVal : value.fltVal);
      text = buffer;
      break;
    case VT_BOOL: text = value.boolVal ? "True" : "False"; break;
    case VT_BSTR:
      out->vt = VT_BSTR;
      out->bstrVal = SysAllocStringLen(value.bstrVal, SysStringLen(value.bstrVal));
      return out->bstrVal ? S_OK : E_OUTOFMEMORY;
    default: return DISP_E_TYPEMISMATCH;
  }
  out->vt = VT_BSTR;
  out->bstrVal = WideFromNarrow(text);
  return out->bstrVal ? S_OK : E_OUTOFMEMORY;
}

HRESULT ToNumber(const VARIANT& value, VARTYPE type, VARIANT* out) {
  double number = 0;
  const HRESULT code = NumberOf(value, &number);
  if (FAILED(code)) return code;
  out->vt = type;
  if (type == VT_R8) {
    out->dblVal = number;
    return S_OK;
  }
  const double rounded = std::nearbyint(number);
  if (rounded < -2147483648.0 || rounded > 2147483647.0) return static_cast<HRESULT>(0x8002000Au);
  out->lVal = static_cast<LONG>(rounded);
  return S_OK;
}

}  // namespace

// ---- COM ----

HRESULT CoInitialize(LPVOID) {
  HRESULT code = S_OK;
  if (Imposed(ComCall::kCoInitialize, &code)) {
    if (SUCCEEDED(code)) ++state().initDepth;
    return code;
  }
  return state().initDepth++ == 0 ? S_OK : S_FALSE;
}

void CoUninitialize() {
  if (state().initDepth > 0) --state().initDepth;
}

HRESULT CLSIDFromProgID(LPCOLESTR progId, LPCLSID clsid) {
  if (!progId || !clsid) return E_INVALIDARG;
  HRESULT code = S_OK;
  if (Imposed(ComCall::kCLSIDFromProgID, &code)) return code;
  for (const ProgIdEntry& entry : state().progIds) {
    if (SameTextIgnoringCase(entry.progId, progId)) {
      *clsid = entry.clsid;
      return S_OK;
    }
  }
  return CO_E_CLASSSTRING;
}

HRESULT CreateBindCtx(DWORD, IBindCtx** context) {
  if (!context) return E_POINTER;
  *context = nullptr;
  HRESULT code = S_OK;
  if (Imposed(ComCall::kCreateBindCtx, &code)) return code;
  *context = new BindContext;
  return S_OK;
}

HRESULT GetRunningObjectTable(DWORD, IRunningObjectTable** table) { return OpenTable(table); }

HRESULT CreateFileMoniker(LPCOLESTR path, IMoniker** moniker) {
  if (!moniker) return E_POINTER;
  *moniker = nullptr;
  if (!path) return E_INVALIDARG;
  *moniker = new Moniker(Moniker::kFile, path);
  return S_OK;
}

// ---- OLE Automation ----

HRESULT GetActiveObject(REFCLSID clsid, PVOID, IUnknown** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  HRESULT code = S_OK;
  if (Imposed(ComCall::kGetActiveObject, &code)) return code;
  for (const Registration& entry : state().active) {
    if (entry.clsid == clsid) {
      entry.object->AddRef();
      *object = entry.object;
      return S_OK;
    }
  }
  return MK_E_UNAVAILABLE;
}

HRESULT RegisterActiveObject(IUnknown* object, REFCLSID clsid, DWORD, DWORD* cookie) {
  if (!object || !cookie) return E_INVALIDARG;
  State& s = state();
  char name[64];
  std::snprintf(name, sizeof name, "!{%08X-%04X-%04X}", static_cast<unsigned>(clsid.Data1),
                clsid.Data2, clsid.Data3);
  object->AddRef();
  *cookie = s.nextCookie++;
  s.active.push_back(
      Registration{*cookie, clsid, object, new Moniker(Moniker::kClass, Widen(name))});
  return S_OK;
}

HRESULT RevokeActiveObject(DWORD cookie, PVOID) { return Revoke(state().active, cookie); }

void VariantInit(VARIANTARG* value) {
  std::memset(value, 0, sizeof *value);
  value->vt = VT_EMPTY;
}

HRESULT VariantClear(VARIANTARG* value) {
  if (!value) return E_INVALIDARG;
  switch (value->vt) {
    case VT_BSTR: SysFreeString(value->bstrVal); break;
    case VT_DISPATCH:
    case VT_UNKNOWN:
      if (value->punkVal) value->punkVal->Release();
      break;
    default: break;
  }
  VariantInit(value);
  return S_OK;
}

HRESULT VariantChangeType(VARIANTARG* destination, VARIANTARG* source, USHORT, VARTYPE type) {
  if (!destination || !source) return E_INVALIDARG;
  HRESULT code = S_OK;
  if (Imposed(ComCall::kVariantChangeType, &code)) return code;
  VARIANT converted;
  VariantInit(&converted);
  if (source->vt == type && type != VT_BSTR) {
    converted = *source;
    if ((type == VT_DISPATCH || type == VT_UNKNOWN) && converted.punkVal)
      converted.punkVal->AddRef();
  } else if (type == VT_BOOL) {
    code = ToBool(*source, &converted);
  } else if (type == VT_BSTR) {
    code = ToText(*source, &converted);
  } else if (type == VT_I4 || type == VT_R8) {
    code = ToNumber(*source, type, &converted);
  } else {
    code = DISP_E_BADVARTYPE;
  }
  if (FAILED(code)) return code;
  VariantClear(destination);  // the source too, when converting in place
  *destination = converted;
  return S_OK;
}

BSTR SysAllocString(const OLECHAR* text) {
  return text ? SysAllocStringLen(text, static_cast<UINT>(std::wcslen(text))) : nullptr;
}

BSTR SysAllocStringLen(const OLECHAR* text, UINT length) {
  const std::size_t bytes = sizeof(uint32_t) + (std::size_t{length} + 1) * sizeof(OLECHAR);
  void* block = std::malloc(bytes);
  if (!block) return nullptr;
  *static_cast<uint32_t*>(block) = static_cast<uint32_t>(length * sizeof(OLECHAR));
  BSTR string = reinterpret_cast<BSTR>(static_cast<uint32_t*>(block) + 1);
  if (text) {
    std::memcpy(string, text, length * sizeof(OLECHAR));
  } else {
    std::memset(string, 0, length * sizeof(OLECHAR));
  }
  string[length] = 0;
  ++state().strings;
  return string;
}

void SysFreeString(BSTR text) {
  if (!text) return;
  --state().strings;
  std::free(StringHeader(text));
}

UINT SysStringLen(BSTR text) {
  return text ? static_cast<UINT>(*StringHeader(text) / sizeof(OLECHAR)) : 0;
}

// ---- Text conversion ----

int MultiByteToWideChar(UINT, DWORD, LPCSTR text, int length, LPWSTR wide, int wideLength) {
  if (!text || length == 0 || length < -1 || wideLength < 0) return 0;
  if (length == -1) length = static_cast<int>(std::strlen(text)) + 1;
  if (wideLength == 0) return length;
  if (!wide || wideLength < length) return 0;
  for (int i = 0; i < length; ++i) wide[i] = static_cast<unsigned char>(text[i]);
  return length;
}

int WideCharToMultiByte(UINT, DWORD, LPCWSTR wide, int wideLength, LPSTR text, int length,
                        LPCSTR defaultChar, BOOL* usedDefault) {
  if (usedDefault) *usedDefault = FALSE;
  if (!wide || wideLength == 0 || wideLength < -1 || length < 0) return 0;
  if (wideLength == -1) wideLength = static_cast<int>(std::wcslen(wide)) + 1;
  if (length == 0) return wideLength;
  if (!text || length < wideLength) return 0;
  for (int i = 0; i < wideLength; ++i) {
    if (static_cast<uint32_t>(wide[i]) < 0x100) {
      text[i] = static_cast<char>(wide[i]);
      continue;
    }
    text[i] = defaultChar ? *defaultChar : '?';
    if (usedDefault) *usedDefault = TRUE;
  }
  return wideLength;
}

// ---- Test hooks ----

void platform::SetComAnswer(ComCall call, HRESULT code) {
  const int index = static_cast<int>(call);
  state().answered[index] = true;
  state().answers[index] = code;
}

void platform::ResetComAnswer(ComCall call) { state().answered[static_cast<int>(call)] = false; }

int platform::ComCallCount(ComCall call) { return state().counts[static_cast<int>(call)]; }

int platform::ComInitDepth() { return state().initDepth; }

int platform::OutstandingStrings() { return state().strings; }

void platform::ResetComStandIn() {
  State& s = state();
  Registrations active;
  Registrations running;
  active.swap(s.active);
  running.swap(s.running);
  const int strings = s.strings;
  s = State();
  s.strings = strings;  // strings outlive the reset; their owners free them
  // Releasing may run destructors that use COM again, so the table is already empty.
  for (const Registration& entry : active) Release(entry);
  for (const Registration& entry : running) Release(entry);
}

bool platform::RegisterProgId(const std::string& progId, REFCLSID clsid, bool* created) {
  const std::wstring wide = Widen(progId);
  *created = false;
  for (const ProgIdEntry& entry : state().progIds) {
    if (SameTextIgnoringCase(entry.progId, wide)) return true;
  }
  state().progIds.push_back(ProgIdEntry{wide, clsid});
  *created = true;
  return true;
}

void platform::UnregisterProgId(const std::string& progId) {
  std::vector<ProgIdEntry>& progIds = state().progIds;
  const std::wstring wide = Widen(progId);
  for (auto it = progIds.begin(); it != progIds.end();) {
    it = SameTextIgnoringCase(it->progId, wide) ? progIds.erase(it) : it + 1;
  }
}
