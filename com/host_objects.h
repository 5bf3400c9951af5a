// The host's workbooks, sheets and ranges as texts: names, addresses and the object above.
#pragma once

#include <string>

#include "platform/system.h"

// The object's "Parent" (a sheet's workbook, a range's sheet) into *parent, one reference for
// the caller. Returns 0, E_FAIL when it is not an object, or the failing code; *parent is null
// unless 0 is returned.
HRESULT GetParent(IDispatch* object, IDispatch** parent);

// A workbook's "Name" into name. Returns 0, E_FAIL for a null workbook, or the failing code;
// name is changed only on 0.
HRESULT GetWorkbookName(IDispatch* workbook, std::string& name);

// A sheet's "Name" into name; as GetWorkbookName, with a call site of its own.
HRESULT GetSheetName(IDispatch* sheet, std::string& name);

// A range's address ("A1", relative) into address. With external nonzero and no workbook in
// the address, the form "[Book]Sheet!A1" built from the range's sheet and that sheet's
// workbook. Returns 0, E_FAIL for a null range, or the first failing code; when only the
// external part fails, address keeps the plain address.
HRESULT GetRangeAddress(IDispatch* range, std::string& address, int external);
