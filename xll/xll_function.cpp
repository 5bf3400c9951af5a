// CXllFunction: the xlfRegister argument list of one function, and its removal from the host.
#include "xll/xll_function.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <iterator>
#include <type_traits>

#include "xll/app.h"
#include "xll/format.h"
#include "xll/host_call.h"

namespace {

// The host's own function categories; a name's position is the host's category number.
const char* const kCategories[] = {
    "",            "Financial",   "Date & Time", "Math & Trig",   "Statistical",
    "Lookup & Reference",         "Database",    "Text",          "Logical",
    "Information", "Commands",    "Customizing", "Macro Control", "DDE/External",
    "User Defined"};

std::string Text(const char* text) { return text ? std::string(text) : std::string(); }

bool SameIgnoringCase(const std::string& a, const char* b) {
  const std::string other(b);
  return a.size() == other.size() &&
         std::equal(a.begin(), a.end(), other.begin(), [](unsigned char x, unsigned char y) {
           return std::tolower(x) == std::tolower(y);
         });
}

// The host's number for category: the number the text starts with, else its position in the
// host's table (compared without regard to case), else -1.
long CategoryNumber(const std::string& category) {
  const long number = std::strtol(category.c_str(), nullptr, 10);
  if (number != 0) return number;
  for (std::size_t i = 0; i < std::size(kCategories); ++i) {
    if (SameIgnoringCase(category, kCategories[i])) return static_cast<long>(i);
  }
  return -1;
}

// The category as the host takes it: its number as an integer when it has a positive one, else
// the text itself. A number too large for the host's 16-bit integer goes as the text too rather
// than wrapping round to another category.
template <class Value>
Value CategoryValue(const std::string& category) {
  const long number = CategoryNumber(category);
  if (number > 0 && number <= INT16_MAX) return Value::Int(static_cast<int16_t>(number));
  return Value(category);
}

// The add-in's file name as the host knows it, asked through the interface of the value; the
// empty text when the host cannot say.
void AddinName(CXllValue& name) { name.SetText(XllName()); }
void AddinName(CXllValue12& name) { XllName(name); }

// What a function is registered as through the interface of Value: the version 12 entry point
// and type text, when it has them, through that interface.
template <class Value>
const std::string& Chosen(const std::string& everywhere, const std::string& version12) {
  return std::is_same<Value, CXllValue12>::value && !version12.empty() ? version12 : everywhere;
}

// The texts of a help run: NUL-terminated texts one after the other, ended by an empty text.
std::vector<std::string> HelpTexts(const char* run) {
  std::vector<std::string> texts;
  for (const char* text = run; text && *text; text += texts.back().size() + 1) {
    texts.emplace_back(text);
  }
  return texts;
}

}  // namespace

CXllFunction::CXllFunction(const RegistrationRecord& record)
    : procedure(Text(record.procedure)),
      typeText(Text(record.typeText)),
      functionText(Text(record.functionText)),
      argumentText(Text(record.argumentText)),
      macroType(record.macroType),
      category(Text(record.category)),
      shortcutText(Text(record.shortcutText)),
      helpContextId(static_cast<uint16_t>(record.helpContextId)),
      functionHelp(Text(record.functionHelp)),
      argumentHelp(HelpTexts(record.argumentHelp)),
      procedure12(Text(record.procedure12)),
      typeText12(Text(record.typeText12)) {}

template <class Value>
void CXllFunction::RegisterThrough(const Value& module, double version, Value& result) {
  const bool cut = argumentHelp.size() > kMaxArgumentHelps;
  const std::size_t helps = cut ? kMaxArgumentHelps : argumentHelp.size();
  const std::string helpFile = owner ? owner->helpFile : std::string();

  std::vector<Value> values;
  values.reserve(10 + helps);
  values.push_back(module);
  values.emplace_back(Chosen<Value>(procedure, procedure12));
  values.emplace_back(Chosen<Value>(typeText, typeText12));
  values.emplace_back(functionText);
  values.emplace_back(argumentText);
  values.emplace_back(FormatText("%d", macroType));  // the host wants the macro type as text
  values.push_back(CategoryValue<Value>(category));
  values.emplace_back(shortcutText);
  values.emplace_back(FormatText("%s!%d", helpFile.c_str(), helpContextId));
  // Some hosts cut the last character of a help text in their dialogs: let it be the blank.
  values.emplace_back(functionHelp + " ");
  for (std::size_t i = 0; i < helps; ++i) {
    values.emplace_back(cut && i + 1 == helps ? std::string(kNoDescription)
                                              : argumentHelp[i] + " ");
  }

  // Without arguments there is nothing to describe, and old hosts take no help texts at all.
  const bool short_form = version < 5.0 || argumentText.empty();
  result.Free();
  CallHostArray(result, xlfRegister, short_form ? 8 : static_cast<int>(values.size()),
                values.data());
  registerId = result.IsNumber() ? result.val.num : 0.0;
  registered = 1;
  registered12 = std::is_same<Value, CXllValue12>::value ? 1 : 0;
}

void CXllFunction::Register(const CXllValue& module, double version, CXllValue& result) {
  RegisterThrough(module, version, result);
}

void CXllFunction::Register(const CXllValue12& module, double version, CXllValue12& result) {
  RegisterThrough(module, version, result);
}

template <class Value>
void CXllFunction::UnregisterThrough() {
  Value answer;
  if (registerId != 0.0) {
    Value id(registerId);
    CallHost(answer, xlfUnregister, &id);
    registerId = 0.0;
  }
  Value name(functionText);
  CallHost(answer, xlfSetName, &name);
  registered = 0;
  registered12 = 0;

  // The host keeps a function's name after xlfUnregister; registering xlAutoRemove under it as
  // a hidden command (macro type 0, no argument text) makes formulas that still call it fail.
  Value module;
  AddinName(module);
  Value procedure_name(std::string("xlAutoRemove"));
  Value type(std::string("J"));
  Value no_arguments = Value::Missing();
  Value hidden = Value::Int(0);
  CallHostNoResult<Value>(xlfRegister, &module, &procedure_name, &type, &name, &no_arguments,
                          &hidden);
}

void CXllFunction::Unregister() {
  if (registered12) {
    UnregisterThrough<CXllValue12>();
  } else {
    UnregisterThrough<CXllValue>();
  }
}
