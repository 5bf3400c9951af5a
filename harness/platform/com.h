// The native stand-in for the COM and OLE Automation subset the bridge uses: Windows names,
// method orders and layouts, with one in-process table of classes, active objects and running
// objects, and hooks through which tests make any call fail. Included through platform/system.h,
// which declares the basic Windows types first.
#pragma once

#include <cstddef>
#include <cstdint>

// ---- Basic types ----
typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef int16_t SHORT;
typedef uint16_t USHORT;
typedef int32_t LONG;
typedef uint32_t ULONG;
typedef unsigned int UINT;
typedef int INT;
typedef float FLOAT;
typedef double DOUBLE;
typedef double DATE;
typedef char CHAR;
typedef void* PVOID;
typedef const char* LPCSTR;
typedef char* LPSTR;
typedef wchar_t WCHAR;  // 16 bits on Windows; the stand-in keeps the platform's wide character
typedef WCHAR* LPWSTR;
typedef const WCHAR* LPCWSTR;
typedef WCHAR OLECHAR;
typedef OLECHAR* LPOLESTR;
typedef const OLECHAR* LPCOLESTR;
typedef OLECHAR* BSTR;
typedef LONG HRESULT;
typedef LONG SCODE;
typedef LONG DISPID;
typedef DWORD LCID;
typedef USHORT VARTYPE;
typedef SHORT VARIANT_BOOL;

#define STDMETHODCALLTYPE
#define STDAPICALLTYPE
#define WINOLEAPI HRESULT
#define OLESTR(text) L##text

#define SUCCEEDED(hr) (static_cast<HRESULT>(hr) >= 0)
#define FAILED(hr) (static_cast<HRESULT>(hr) < 0)

// ---- Result codes ----
#define S_OK static_cast<HRESULT>(0)
#define S_FALSE static_cast<HRESULT>(1)
#define E_NOTIMPL static_cast<HRESULT>(0x80004001u)
#define E_NOINTERFACE static_cast<HRESULT>(0x80004002u)
#define E_POINTER static_cast<HRESULT>(0x80004003u)
#define E_FAIL static_cast<HRESULT>(0x80004005u)
#define E_OUTOFMEMORY static_cast<HRESULT>(0x8007000Eu)
#define E_INVALIDARG static_cast<HRESULT>(0x80070057u)
#define MK_E_UNAVAILABLE static_cast<HRESULT>(0x800401E3u)
#define MK_E_SYNTAX static_cast<HRESULT>(0x800401E4u)
#define CO_E_NOTINITIALIZED static_cast<HRESULT>(0x800401F0u)
#define CO_E_CLASSSTRING static_cast<HRESULT>(0x800401F3u)
#define RPC_E_CHANGED_MODE static_cast<HRESULT>(0x80010106u)
#define DISP_E_UNKNOWNINTERFACE static_cast<HRESULT>(0x80020001u)
#define DISP_E_MEMBERNOTFOUND static_cast<HRESULT>(0x80020003u)
#define DISP_E_PARAMNOTFOUND static_cast<HRESULT>(0x80020004u)
#define DISP_E_TYPEMISMATCH static_cast<HRESULT>(0x80020005u)
#define DISP_E_UNKNOWNNAME static_cast<HRESULT>(0x80020006u)
#define DISP_E_BADVARTYPE static_cast<HRESULT>(0x80020008u)
#define DISP_E_EXCEPTION static_cast<HRESULT>(0x80020009u)
#define DISP_E_BADPARAMCOUNT static_cast<HRESULT>(0x8002000Eu)

// ---- Identifiers ----
struct GUID {
  uint32_t Data1;
  uint16_t Data2;
  uint16_t Data3;
  uint8_t Data4[8];
};
typedef GUID IID;
typedef GUID CLSID;
typedef CLSID* LPCLSID;
typedef const IID& REFIID;
typedef const CLSID& REFCLSID;
typedef const GUID& REFGUID;

inline bool IsEqualGUID(REFGUID a, REFGUID b) {
  if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
  for (int i = 0; i < 8; ++i) {
    if (a.Data4[i] != b.Data4[i]) return false;
  }
  return true;
}
inline bool operator==(REFGUID a, REFGUID b) { return IsEqualGUID(a, b); }
inline bool operator!=(REFGUID a, REFGUID b) { return !IsEqualGUID(a, b); }

// Inline, so that a program and a library it loads, each with the stand-in, share one of each.
inline constexpr IID IID_NULL = {0x00000000, 0x0000, 0x0000, {0, 0, 0, 0, 0, 0, 0, 0}};
inline constexpr IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IDispatch = {0x00020400, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IPersist = {0x0000010C, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IPersistStream = {
    0x00000109, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IMoniker = {0x0000000F, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

// ---- Automation constants ----
#define LOCALE_USER_DEFAULT static_cast<LCID>(0x400)
#define DISPID_UNKNOWN static_cast<DISPID>(-1)
#define DISPID_PROPERTYPUT static_cast<DISPID>(-3)
#define DISPATCH_METHOD 0x1
#define DISPATCH_PROPERTYGET 0x2
#define DISPATCH_PROPERTYPUT 0x4
#define DISPATCH_PROPERTYPUTREF 0x8
#define VARIANT_TRUE static_cast<VARIANT_BOOL>(-1)
#define VARIANT_FALSE static_cast<VARIANT_BOOL>(0)
#define ACTIVEOBJECT_STRONG 0x0
#define ACTIVEOBJECT_WEAK 0x1
#define ROTFLAGS_REGISTRATIONKEEPSALIVE 0x1
#define CP_ACP 0
#define MB_PRECOMPOSED 0x1

enum VARENUM : VARTYPE {
  VT_EMPTY = 0,
  VT_NULL = 1,
  VT_I2 = 2,
  VT_I4 = 3,
  VT_R4 = 4,
  VT_R8 = 5,
  VT_DATE = 7,
  VT_BSTR = 8,
  VT_DISPATCH = 9,
  VT_ERROR = 10,
  VT_BOOL = 11,
  VT_VARIANT = 12,
  VT_UNKNOWN = 13,
};

// ---- Interfaces, each with the Windows method order ----
struct ITypeInfo;
struct IStream;
struct IEnumString;
struct IEnumMoniker;
struct IMoniker;
struct IRunningObjectTable;

struct FILETIME {
  DWORD dwLowDateTime;
  DWORD dwHighDateTime;
};

struct ULARGE_INTEGER {
  uint64_t QuadPart;
};

struct BIND_OPTS {
  DWORD cbStruct;
  DWORD grfFlags;
  DWORD grfMode;
  DWORD dwTickCountDeadline;
};

struct IUnknown {
  virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) = 0;
  virtual ULONG STDMETHODCALLTYPE AddRef() = 0;
  virtual ULONG STDMETHODCALLTYPE Release() = 0;

 protected:
  ~IUnknown() = default;  // objects go away through Release
};

struct VARIANT;
typedef VARIANT VARIANTARG;

struct DISPPARAMS {
  VARIANTARG* rgvarg;
  DISPID* rgdispidNamedArgs;
  UINT cArgs;
  UINT cNamedArgs;
};

struct EXCEPINFO {
  WORD wCode;
  WORD wReserved;
  BSTR bstrSource;
  BSTR bstrDescription;
  BSTR bstrHelpFile;
  DWORD dwHelpContext;
  PVOID pvReserved;
  HRESULT(STDMETHODCALLTYPE* pfnDeferredFillIn)(EXCEPINFO*);
  SCODE scode;
};

struct IDispatch : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count,
                                                  LCID locale, DISPID* ids) = 0;
  virtual HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID riid, LCID locale, WORD flags,
                                           DISPPARAMS* parameters, VARIANT* result,
                                           EXCEPINFO* exception, UINT* argumentError) = 0;

 protected:
  ~IDispatch() = default;
};

struct IBindCtx : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE RegisterObjectBound(IUnknown* object) = 0;
  virtual HRESULT STDMETHODCALLTYPE RevokeObjectBound(IUnknown* object) = 0;
  virtual HRESULT STDMETHODCALLTYPE ReleaseBoundObjects() = 0;
  virtual HRESULT STDMETHODCALLTYPE SetBindOptions(BIND_OPTS* options) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetBindOptions(BIND_OPTS* options) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetRunningObjectTable(IRunningObjectTable** table) = 0;
  virtual HRESULT STDMETHODCALLTYPE RegisterObjectParam(LPOLESTR key, IUnknown* object) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetObjectParam(LPOLESTR key, IUnknown** object) = 0;
  virtual HRESULT STDMETHODCALLTYPE EnumObjectParam(IEnumString** keys) = 0;
  virtual HRESULT STDMETHODCALLTYPE RevokeObjectParam(LPOLESTR key) = 0;

 protected:
  ~IBindCtx() = default;
};

struct IPersist : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) = 0;

 protected:
  ~IPersist() = default;
};

struct IPersistStream : IPersist {
  virtual HRESULT STDMETHODCALLTYPE IsDirty() = 0;
  virtual HRESULT STDMETHODCALLTYPE Load(IStream* stream) = 0;
  virtual HRESULT STDMETHODCALLTYPE Save(IStream* stream, BOOL clearDirty) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* size) = 0;

 protected:
  ~IPersistStream() = default;
};

struct IMoniker : IPersistStream {
  virtual HRESULT STDMETHODCALLTYPE BindToObject(IBindCtx* context, IMoniker* left, REFIID riid,
                                                 void** object) = 0;
  virtual HRESULT STDMETHODCALLTYPE BindToStorage(IBindCtx* context, IMoniker* left, REFIID riid,
                                                  void** object) = 0;
  virtual HRESULT STDMETHODCALLTYPE Reduce(IBindCtx* context, DWORD howFar, IMoniker** toLeft,
                                           IMoniker** reduced) = 0;
  virtual HRESULT STDMETHODCALLTYPE ComposeWith(IMoniker* right, BOOL onlyIfNotGeneric,
                                                IMoniker** composite) = 0;
  virtual HRESULT STDMETHODCALLTYPE Enum(BOOL forward, IEnumMoniker** monikers) = 0;
  virtual HRESULT STDMETHODCALLTYPE IsEqual(IMoniker* other) = 0;
  virtual HRESULT STDMETHODCALLTYPE Hash(DWORD* hash) = 0;
  virtual HRESULT STDMETHODCALLTYPE IsRunning(IBindCtx* context, IMoniker* left,
                                              IMoniker* newlyRunning) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetTimeOfLastChange(IBindCtx* context, IMoniker* left,
                                                        FILETIME* time) = 0;
  virtual HRESULT STDMETHODCALLTYPE Inverse(IMoniker** inverse) = 0;
  virtual HRESULT STDMETHODCALLTYPE CommonPrefixWith(IMoniker* other, IMoniker** prefix) = 0;
  virtual HRESULT STDMETHODCALLTYPE RelativePathTo(IMoniker* other, IMoniker** relative) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetDisplayName(IBindCtx* context, IMoniker* left,
                                                   LPOLESTR* name) = 0;
  virtual HRESULT STDMETHODCALLTYPE ParseDisplayName(IBindCtx* context, IMoniker* left,
                                                     LPOLESTR name, ULONG* eaten,
                                                     IMoniker** result) = 0;
  virtual HRESULT STDMETHODCALLTYPE IsSystemMoniker(DWORD* kind) = 0;

 protected:
  ~IMoniker() = default;
};

struct IEnumMoniker : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Next(ULONG count, IMoniker** monikers, ULONG* fetched) = 0;
  virtual HRESULT STDMETHODCALLTYPE Skip(ULONG count) = 0;
  virtual HRESULT STDMETHODCALLTYPE Reset() = 0;
  virtual HRESULT STDMETHODCALLTYPE Clone(IEnumMoniker** copy) = 0;

 protected:
  ~IEnumMoniker() = default;
};

struct IRunningObjectTable : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Register(DWORD flags, IUnknown* object, IMoniker* name,
                                             DWORD* cookie) = 0;
  virtual HRESULT STDMETHODCALLTYPE Revoke(DWORD cookie) = 0;
  virtual HRESULT STDMETHODCALLTYPE IsRunning(IMoniker* name) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetObject(IMoniker* name, IUnknown** object) = 0;
  virtual HRESULT STDMETHODCALLTYPE NoteChangeTime(DWORD cookie, FILETIME* time) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetTimeOfLastChange(IMoniker* name, FILETIME* time) = 0;
  virtual HRESULT STDMETHODCALLTYPE EnumRunning(IEnumMoniker** monikers) = 0;

 protected:
  ~IRunningObjectTable() = default;
};

// ---- The automation value ----
// Eight bytes of type and reserved words, then the payload: 16 bytes on 32-bit targets, 24 on
// 64-bit ones (platform/system.h checks it).
struct VARIANT {
  VARTYPE vt;
  WORD wReserved1;
  WORD wReserved2;
  WORD wReserved3;
  union {
    LONG lVal;
    BYTE bVal;
    SHORT iVal;
    FLOAT fltVal;
    DOUBLE dblVal;
    VARIANT_BOOL boolVal;
    SCODE scode;
    DATE date;
    BSTR bstrVal;
    IUnknown* punkVal;
    IDispatch* pdispVal;
    VARIANT* pvarVal;
    PVOID byref;
    struct {
      PVOID pvRecord;
      PVOID pRecInfo;
    } record;
  };
};

// ---- COM ----
WINOLEAPI CoInitialize(LPVOID reserved);
void STDAPICALLTYPE CoUninitialize();
WINOLEAPI CLSIDFromProgID(LPCOLESTR progId, LPCLSID clsid);
WINOLEAPI CreateBindCtx(DWORD reserved, IBindCtx** context);
WINOLEAPI GetRunningObjectTable(DWORD reserved, IRunningObjectTable** table);
WINOLEAPI CreateFileMoniker(LPCOLESTR path, IMoniker** moniker);

// ---- OLE Automation ----
WINOLEAPI GetActiveObject(REFCLSID clsid, PVOID reserved, IUnknown** object);
WINOLEAPI RegisterActiveObject(IUnknown* object, REFCLSID clsid, DWORD flags, DWORD* cookie);
WINOLEAPI RevokeActiveObject(DWORD cookie, PVOID reserved);
void STDAPICALLTYPE VariantInit(VARIANTARG* value);
WINOLEAPI VariantClear(VARIANTARG* value);
WINOLEAPI VariantChangeType(VARIANTARG* destination, VARIANTARG* source, USHORT flags,
                            VARTYPE type);
BSTR STDAPICALLTYPE SysAllocString(const OLECHAR* text);
BSTR STDAPICALLTYPE SysAllocStringLen(const OLECHAR* text, UINT length);
void STDAPICALLTYPE SysFreeString(BSTR text);
UINT STDAPICALLTYPE SysStringLen(BSTR text);

// ---- Text conversion, with the ANSI code page read as Latin-1 ----
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR text, int length, LPWSTR wide,
                        int wideLength);
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int wideLength, LPSTR text,
                        int length, LPCSTR defaultChar, BOOL* usedDefault);

namespace platform {

// The stand-in's calls that a test can make fail (or answer with another success code).
enum class ComCall {
  kCoInitialize,
  kCLSIDFromProgID,
  kGetActiveObject,
  kCreateBindCtx,
  kGetRunningObjectTable,  // both the free function and the bind context's method
  kEnumRunning,
  kReset,
  kNext,
  kBindToObject,
  kVariantChangeType,
  kCount
};

// From now on call answers code without doing anything (for CoInitialize a success code is
// counted as an initialisation, so S_FALSE stands for "already initialised").
void SetComAnswer(ComCall call, HRESULT code);
// From now on call does its work again.
void ResetComAnswer(ComCall call);
// How many times call was made since the last ResetComStandIn.
int ComCallCount(ComCall call);
// CoInitialize calls not yet balanced by CoUninitialize.
int ComInitDepth();
// BSTRs allocated and not yet freed.
int OutstandingStrings();
// Forgets every ProgID, active object and running object (releasing the references held), every
// answer and count: the state of a process that never used COM.
void ResetComStandIn();

}  // namespace platform
