// Conversions between the bridge's own values (8-bit texts, truth values) and automation values.
#pragma once

#include <string>

#include "platform/system.h"

// A new BSTR holding text converted from the ANSI code page; nullptr when it cannot be made.
// The caller frees it with SysFreeString.
BSTR TextToBstr(const std::string& text);

// The 8-bit form of text through the ANSI code page, as long as the conversion gives; "" for a
// null or empty text.
std::string BstrToText(BSTR text);

// A VT_BSTR VARIANT owning a new BSTR of text (null payload when it cannot be made).
VARIANT TextVariant(const std::string& text);

// A VT_BOOL VARIANT: VARIANT_TRUE for nonzero truth, else VARIANT_FALSE.
VARIANT TruthVariant(int truth);

// An omitted optional argument: VT_ERROR holding DISP_E_PARAMNOTFOUND.
VARIANT OmittedVariant();

// Reads value as a text (converting it with VariantChangeType unless it is a VT_BSTR) into
// text, then clears value. Returns 0, or the conversion's failing code with text unchanged.
HRESULT TakeText(VARIANT* value, std::string& text);

// Reads value as a truth value (converting it unless it is a VT_BOOL) into *truth as 1 or 0,
// then clears value. Returns 0, or the conversion's failing code with *truth unchanged.
HRESULT TakeTruth(VARIANT* value, int* truth);
