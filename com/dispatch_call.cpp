// The late-bound call wrappers: member numbers through the call site's cache, arguments copied
// into the call's array as given, and the exception record's texts released after the call.
#include "com/dispatch_call.h"

#include <new>

namespace {

HRESULT ResolveMember(IDispatch* object, const OLECHAR* name, DispIdCache* cache, DISPID* id) {
  if (cache && *cache != DISPID_UNKNOWN) {
    *id = *cache;
    return S_OK;
  }
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  const HRESULT code = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, id);
  if (FAILED(code)) return code;
  if (cache) *cache = *id;
  return code;
}

// The one call all wrappers make. A property write names its value argument DISPID_PROPERTYPUT.
HRESULT InvokeMember(IDispatch* object, const OLECHAR* name, DispIdCache* cache, WORD flags,
                     std::initializer_list<VARIANT*> arguments, VARIANT* result) {
  if (!object) return E_POINTER;
  DISPID id = DISPID_UNKNOWN;
  HRESULT code = ResolveMember(object, name, cache, &id);
  if (FAILED(code)) return code;

  const UINT count = static_cast<UINT>(arguments.size());
  VARIANT* array = nullptr;
  if (count > 0) {
    array = new (std::nothrow) VARIANT[count];
    if (!array) return E_OUTOFMEMORY;
  }
  // A shallow copy: the caller keeps owning what the arguments hold.
  UINT index = 0;
  for (VARIANT* argument : arguments) {
    VariantInit(&array[index]);
    if (argument) array[index] = *argument;
    ++index;
  }
  DISPID put = DISPID_PROPERTYPUT;
  const bool is_put = (flags & DISPATCH_PROPERTYPUT) != 0;
  DISPPARAMS parameters = {array, is_put ? &put : nullptr, count, is_put ? 1u : 0u};
  EXCEPINFO exception = {};
  UINT argument_error = 0;
  code = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &parameters, result, &exception,
                        &argument_error);
  // Nothing reads the exception record, but a failing call may have put texts in it.
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
  delete[] array;
  return code;
}

}  // namespace

HRESULT GetProperty(IDispatch* object, const OLECHAR* name, DispIdCache* cache, VARIANT* result,
                    std::initializer_list<VARIANT*> arguments) {
  return InvokeMember(object, name, cache, DISPATCH_METHOD | DISPATCH_PROPERTYGET, arguments,
                      result);
}

HRESULT CallMethod(IDispatch* object, const OLECHAR* name, DispIdCache* cache, VARIANT* result,
                   std::initializer_list<VARIANT*> arguments) {
  return InvokeMember(object, name, cache, DISPATCH_METHOD, arguments, result);
}

HRESULT PutProperty(IDispatch* object, const OLECHAR* name, DispIdCache* cache,
                    std::initializer_list<VARIANT*> arguments) {
  VARIANT result;
  VariantInit(&result);
  const HRESULT code = InvokeMember(object, name, cache, DISPATCH_PROPERTYPUT, arguments, &result);
  VariantClear(&result);
  return code;
}

HRESULT GetObjectProperty(IDispatch* object, const OLECHAR* name, DispIdCache* cache,
                          IDispatch** out, std::initializer_list<VARIANT*> arguments) {
  *out = nullptr;
  VARIANT result;
  VariantInit(&result);
  HRESULT code = GetProperty(object, name, cache, &result, arguments);
  if (SUCCEEDED(code)) {
    if (result.vt == VT_DISPATCH && result.pdispVal) {
      *out = result.pdispVal;
      (*out)->AddRef();
      code = S_OK;
    } else {
      code = E_FAIL;
    }
  }
  VariantClear(&result);
  return code;
}

HRESULT ExecuteMacro(IDispatch* application, VARIANT* text) {
  VARIANT result;
  VariantInit(&result);
  const HRESULT code = InvokeMember(application, L"ExecuteExcel4Macro", nullptr,
                                    DISPATCH_PROPERTYGET, {text}, &result);
  VariantClear(&result);
  return FAILED(code) ? code : S_OK;
}
