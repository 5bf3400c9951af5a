// Late-bound calls on the host's automation objects, with a cache of member numbers per call site.
#pragma once

#include <initializer_list>

#include "platform/system.h"

// A call site's member number: DISPID_UNKNOWN until the first call resolves the name, then used
// as is for every object passed later. Each call site keeps its own, for the whole process.
typedef DISPID DispIdCache;

// Arguments go as pointers to VARIANTs the caller keeps owning, listed from the member's last
// parameter to its first (the order of the call's argument array). A null cache resolves the
// name at every call. Every call uses IID_NULL and LOCALE_USER_DEFAULT; a null object gives
// E_POINTER, an argument array that cannot be made E_OUTOFMEMORY.

// Reads property name (method or property get) into result, which the caller initialised.
// Returns the call's code.
HRESULT GetProperty(IDispatch* object, const OLECHAR* name, DispIdCache* cache, VARIANT* result,
                    std::initializer_list<VARIANT*> arguments = {});

// Calls method name, its value into result (caller-initialised). Returns the call's code.
HRESULT CallMethod(IDispatch* object, const OLECHAR* name, DispIdCache* cache, VARIANT* result,
                   std::initializer_list<VARIANT*> arguments);

// Writes property name with the arguments, the last of which (listed first) is the new value.
// Whatever the call returns as a value is cleared. Returns the call's code.
HRESULT PutProperty(IDispatch* object, const OLECHAR* name, DispIdCache* cache,
                    std::initializer_list<VARIANT*> arguments);

// Reads an object-valued property. Returns 0 with one reference for the caller in *out when
// the value is a non-null object; E_FAIL for any other value; the failing code otherwise, with
// *out null.
HRESULT GetObjectProperty(IDispatch* object, const OLECHAR* name, DispIdCache* cache,
                          IDispatch** out, std::initializer_list<VARIANT*> arguments = {});

// Has application run the macro text (a VT_BSTR VARIANT) through "ExecuteExcel4Macro", read as
// a property with the text as its argument; the macro's value is discarded. Returns 0, or the
// failing code.
HRESULT ExecuteMacro(IDispatch* application, VARIANT* text);
