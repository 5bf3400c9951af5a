// Names and addresses of the host's workbooks, sheets and ranges, read by late binding.
#include "com/host_objects.h"

#include "com/automation_value.h"
#include "com/dispatch_call.h"
#include "xll/format.h"

namespace {

DispIdCache g_parent = DISPID_UNKNOWN;
DispIdCache g_workbook_name = DISPID_UNKNOWN;
DispIdCache g_sheet_name = DISPID_UNKNOWN;
DispIdCache g_address_local = DISPID_UNKNOWN;
DispIdCache g_worksheet = DISPID_UNKNOWN;

// Reads property member of object as a text into text. Returns 0 or the failing code, text
// then unchanged.
HRESULT ReadText(IDispatch* object, const OLECHAR* member, DispIdCache* cache, std::string& text,
                 std::initializer_list<VARIANT*> arguments = {}) {
  VARIANT value;
  VariantInit(&value);
  const HRESULT code = GetProperty(object, member, cache, &value, arguments);
  if (FAILED(code)) {
    VariantClear(&value);
    return code;
  }
  return TakeText(&value, text);
}

HRESULT ReadName(IDispatch* object, DispIdCache* cache, std::string& name) {
  return object ? ReadText(object, L"Name", cache, name) : E_FAIL;
}

// Releases a reference, if there is one.
void Release(IDispatch* object) {
  if (object) object->Release();
}

}  // namespace

HRESULT GetParent(IDispatch* object, IDispatch** parent) {
  return GetObjectProperty(object, L"Parent", &g_parent, parent);
}

HRESULT GetWorkbookName(IDispatch* workbook, std::string& name) {
  return ReadName(workbook, &g_workbook_name, name);
}

HRESULT GetSheetName(IDispatch* sheet, std::string& name) {
  return ReadName(sheet, &g_sheet_name, name);
}

HRESULT GetRangeAddress(IDispatch* range, std::string& address, int external) {
  if (!range) return E_FAIL;
  // Listed from the last parameter to the first: RowAbsolute and ColumnAbsolute false; with
  // external, ReferenceStyle, External and RelativeTo omitted, ColumnAbsolute true and
  // RowAbsolute false, and the workbook and sheet are added below.
  VARIANT omitted = OmittedVariant();
  VARIANT yes = TruthVariant(1);
  VARIANT no = TruthVariant(0);
  std::string plain;
  HRESULT code = external ? ReadText(range, L"AddressLocal", &g_address_local, plain,
                                     {&omitted, &omitted, &omitted, &yes, &no})
                          : ReadText(range, L"AddressLocal", &g_address_local, plain, {&no, &no});
  if (FAILED(code)) return code;
  address = plain;
  if (!external || plain.find('[') != std::string::npos) return S_OK;

  IDispatch* sheet = nullptr;
  IDispatch* workbook = nullptr;
  std::string sheet_name;
  std::string workbook_name;
  code = GetObjectProperty(range, L"Worksheet", &g_worksheet, &sheet);
  if (SUCCEEDED(code)) code = GetParent(sheet, &workbook);
  if (SUCCEEDED(code)) code = GetSheetName(sheet, sheet_name);
  if (SUCCEEDED(code)) code = GetWorkbookName(workbook, workbook_name);
  if (SUCCEEDED(code)) {
    address = FormatText("[%s]%s!%s", workbook_name.c_str(), sheet_name.c_str(), plain.c_str());
    code = S_OK;
  }
  Release(workbook);
  Release(sheet);
  return code;
}
