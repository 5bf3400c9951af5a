// The simulated host's IDispatch: member lookup, argument order, recording and imposed answers.
#include "harness/host/automation_object.h"

#include <cstdio>

#include "harness/host/text_compare.h"

namespace {

// The member name as 8-bit text; the model's names are plain ASCII.
std::string Narrow(const OLECHAR* name) {
  std::string narrow;
  for (; name && *name; ++name) narrow += static_cast<char>(*name < 0x80 ? *name : '?');
  return narrow;
}

constexpr HRESULT kNoNamedArguments = static_cast<HRESULT>(0x80020007u);  // DISP_E_NONAMEDARGS

// The process-wide member number of a name: its position among the names met so far, from 1.
DISPID MemberNumber(const std::string& name) {
  static std::vector<std::string>* names = new std::vector<std::string>;
  for (std::size_t i = 0; i < names->size(); ++i) {
    if (SameTextIgnoringCase((*names)[i], name)) return static_cast<DISPID>(i + 1);
  }
  names->push_back(name);
  return static_cast<DISPID>(names->size());
}

}  // namespace

bool SimValue::ToVariant(VARIANT* out) const {
  VariantInit(out);
  switch (kind) {
    case kEmpty: return true;
    case kBool:
      out->vt = VT_BOOL;
      out->boolVal = number != 0 ? VARIANT_TRUE : VARIANT_FALSE;
      return true;
    case kNumber:
      out->vt = VT_R8;
      out->dblVal = number;
      return true;
    case kError:
      out->vt = VT_ERROR;
      out->scode = static_cast<SCODE>(number);
      return true;
    case kText: {
      std::vector<OLECHAR> wide;
      for (char c : text) wide.push_back(static_cast<OLECHAR>(static_cast<unsigned char>(c)));
      out->bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
      if (!out->bstrVal) return false;
      out->vt = VT_BSTR;
      return true;
    }
  }
  return false;
}

std::string VariantText(const VARIANT& value) {
  char number[64];
  switch (value.vt) {
    case VT_EMPTY: return "<empty>";
    case VT_BOOL: return value.boolVal ? "TRUE" : "FALSE";
    case VT_I2: return std::to_string(value.iVal);
    case VT_I4: return std::to_string(value.lVal);
    case VT_R8: std::snprintf(number, sizeof number, "%.15g", value.dblVal); return number;
    case VT_BSTR: {
      std::string text = "\"";
      for (UINT i = 0; i < SysStringLen(value.bstrVal); ++i) {
        const OLECHAR c = value.bstrVal[i];
        text += static_cast<char>(c < 0x100 ? c : '?');
      }
      return text + "\"";
    }
    case VT_ERROR:
      if (value.scode == DISP_E_PARAMNOTFOUND) return "<omitted>";
      std::snprintf(number, sizeof number, "<error %lx>",
                    static_cast<unsigned long>(static_cast<uint32_t>(value.scode)));
      return number;
    case VT_DISPATCH:
    case VT_UNKNOWN: return "<object>";
    default: return "<type " + std::to_string(value.vt) + ">";
  }
}

DispatchObject::DispatchObject(DispatchObject* root, std::vector<std::string> members)
    : root_(root ? root : this), members_(std::move(members)), removed_(members_.size(), false) {
  for (const std::string& member : members_) ids_.push_back(MemberNumber(member));
}

DispatchObject::~DispatchObject() = default;

HRESULT DispatchObject::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (riid != IID_IUnknown && riid != IID_IDispatch) return E_NOINTERFACE;
  AddRef();
  *object = static_cast<IDispatch*>(this);
  return S_OK;
}

ULONG DispatchObject::AddRef() {
  if (root_ != this) return root_->AddRef();
  return ++references_;
}

ULONG DispatchObject::Release() {
  if (root_ != this) return root_->Release();
  const ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

HRESULT DispatchObject::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT DispatchObject::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info) *info = nullptr;
  return E_NOTIMPL;
}

HRESULT DispatchObject::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  if (!names || !ids || count == 0) return E_INVALIDARG;
  HRESULT code = S_OK;
  for (UINT n = 0; n < count; ++n) {
    const std::string name = Narrow(names[n]);
    ids[n] = DISPID_UNKNOWN;
    std::string counted = name;
    for (std::size_t i = 0; i < members_.size(); ++i) {
      if (removed_[i] || !SameTextIgnoringCase(members_[i], name)) continue;
      ids[n] = ids_[i];
      counted = members_[i];
    }
    ++resolutions_[counted];
    if (ids[n] == DISPID_UNKNOWN) code = DISP_E_UNKNOWNNAME;
  }
  return code;
}

HRESULT DispatchObject::Invoke(DISPID member, REFIID riid, LCID, WORD flags, DISPPARAMS* parameters,
                               VARIANT* result, EXCEPINFO*, UINT*) {
  if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  std::size_t index = 0;
  while (index < members_.size() && (ids_[index] != member || removed_[index])) ++index;
  if (index == members_.size()) return DISP_E_MEMBERNOTFOUND;
  if (!parameters || (parameters->cArgs > 0 && !parameters->rgvarg)) return E_INVALIDARG;

  // The argument array lists the last parameter first; a property write passes its new value
  // first of all, as the one named argument DISPID_PROPERTYPUT.
  const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
  const VARIANT* value = nullptr;
  UINT first_positional = 0;
  if (put) {
    if (parameters->cArgs < 1 || parameters->cNamedArgs != 1 || !parameters->rgdispidNamedArgs ||
        parameters->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT) {
      return DISP_E_PARAMNOTFOUND;
    }
    value = &parameters->rgvarg[0];
    first_positional = 1;
  } else if (parameters->cNamedArgs != 0) {
    return kNoNamedArguments;
  }
  std::vector<VARIANT> arguments;
  for (UINT i = parameters->cArgs; i > first_positional; --i) {
    arguments.push_back(parameters->rgvarg[i - 1]);
  }

  MemberCall call;
  call.member = members_[index];
  call.flags = flags;
  for (const VARIANT& argument : arguments) call.arguments.push_back(VariantText(argument));
  if (value) call.arguments.push_back(VariantText(*value));
  calls_.push_back(call);

  const auto failure = failures_.find(members_[index]);
  if (failure != failures_.end() && (failure->second.flags & flags) != 0) {
    return failure->second.code;
  }
  const auto answer = answers_.find(members_[index]);
  if (answer != answers_.end() && !put) return ReturnValue(answer->second, result);
  return Member(index, flags, arguments, value, result);
}

void DispatchObject::SetAnswer(const std::string& member, const SimValue& value) {
  answers_[member] = value;
}

void DispatchObject::SetFailure(const std::string& member, HRESULT code, WORD flags) {
  failures_[member] = Failure{code, flags};
}

void DispatchObject::RemoveMember(const std::string& member) {
  for (std::size_t i = 0; i < members_.size(); ++i) {
    if (members_[i] == member) removed_[i] = true;
  }
}

std::vector<MemberCall> DispatchObject::CallsOf(const std::string& member) const {
  std::vector<MemberCall> found;
  for (const MemberCall& call : calls_) {
    if (call.member == member) found.push_back(call);
  }
  return found;
}

int DispatchObject::Resolutions(const std::string& member) const {
  const auto count = resolutions_.find(member);
  return count == resolutions_.end() ? 0 : count->second;
}

HRESULT DispatchObject::ReturnObject(IDispatch* object, VARIANT* result) {
  if (!result) return S_OK;
  VariantInit(result);
  object->AddRef();
  result->vt = VT_DISPATCH;
  result->pdispVal = object;
  return S_OK;
}

HRESULT DispatchObject::ReturnValue(const SimValue& value, VARIANT* result) {
  if (!result) return S_OK;
  return value.ToVariant(result) ? S_OK : E_OUTOFMEMORY;
}
