// The bridge's exported entry points: the probe callback and the host's event macros.
#pragma once

#include "platform/system.h"

extern "C" {
// Run by the host while a probe macro calls this file: marks the armed bridge of this process as
// answered. Returns 1, also when there is no bridge or it is not armed.
int __stdcall xlCheckInstance();
// Run by the host as the macro of its sheet-activation event: the application's sheet-activation
// hook with the active sheet. Returns 1; without a bridge it does nothing.
int __stdcall CXllComImpl_OnSheetActivate();
// The sheet-deactivation event: the hook with no sheet. Returns 1; nothing without a bridge.
int __stdcall CXllComImpl_OnSheetDeactivate();
// The calculation event: the hook with no sheet. Returns 1; nothing without a bridge.
int __stdcall CXllComImpl_OnCalculate();
}
