// The seven worksheet functions in Calc's terms, answered by the same code as the Windows add-in.
#include "calc/calc_addin.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <com/sun/star/uno/RuntimeException.hpp>
#include <cppuhelper/supportsservice.hxx>
#include <rtl/string.hxx>
#include <rtl/textenc.h>
#include <rtl/ustring.hxx>

#include "functions/answers.h"
#include "functions/function_help.h"
#include "xll/barrier.h"

namespace mensora_calc {
namespace {

namespace css = com::sun::star;
using Row = css::uno::Sequence<css::uno::Sequence<css::uno::Any>>;

// A Calc text as the UTF-8 the engine reads, every character of it: a NUL (which would end the
// text early) and half of a surrogate pair (which UTF-8 cannot write) become U+FFFD, which no
// unit holds, so the expression is refused rather than read short. The parser itself refuses a
// text of more than 255 characters.
std::string Utf8(const rtl::OUString& text) {
  std::vector<sal_Unicode> whole(text.getStr(), text.getStr() + text.getLength());
  for (std::size_t i = 0; i < whole.size(); ++i) {
    const sal_Unicode c = whole[i];
    const bool high = c >= 0xD800 && c < 0xDC00;
    const bool low = c >= 0xDC00 && c < 0xE000;
    if (high && i + 1 < whole.size() && whole[i + 1] >= 0xDC00 && whole[i + 1] < 0xE000) {
      ++i;  // a whole pair
    } else if (c == 0 || high || low) {
      whole[i] = 0xFFFD;
    }
  }
  const rtl::OString utf8 = rtl::OUStringToOString(
      rtl::OUString(whole.data(), static_cast<sal_Int32>(whole.size())), RTL_TEXTENCODING_UTF8);
  return std::string(utf8.getStr(), static_cast<std::size_t>(utf8.getLength()));
}

rtl::OUString Text(const char* utf8) {
  return rtl::OStringToOUString(utf8, RTL_TEXTENCODING_UTF8);
}

rtl::OUString Text(const std::string& utf8) { return Text(utf8.c_str()); }

// A number with its unit text, as the one row of two cells Calc shows as an array.
Row NumberWithUnits(const answers::Answer& answer) {
  css::uno::Sequence<css::uno::Any> cells(2);
  cells.getArray()[0] <<= answer.number;
  cells.getArray()[1] <<= Text(answer.text);
  return Row(&cells, 1);
}

// Any answer: a double, a string (a message or a unit text), or the row.
css::uno::Any Value(const answers::Answer& answer) {
  switch (answer.kind) {
    case answers::Answer::kNumber:
      return css::uno::Any(answer.number);
    case answers::Answer::kNumberWithUnits:
      return css::uno::Any(NumberWithUnits(answer));
    case answers::Answer::kText:
      break;
  }
  return css::uno::Any(Text(answer.text));
}

// Runs body behind the exception barrier and returns what it gives. Whatever it throws (only an
// exhausted heap can) becomes the exception UNO lets a method throw, which Calc shows as #VALUE!.
template <class Body>
auto Answered(Body&& body) -> decltype(body()) {
  std::optional<decltype(body())> result;
  const bool answered = ExceptionBarrier<bool>(false, [&] {
    result.emplace(body());
    return true;
  });
  if (!answered) throw css::uno::RuntimeException();
  return std::move(*result);
}

const FunctionHelp* Function(const rtl::OUString& name) {
  return FindFunctionHelp(rtl::OUStringToOString(name, RTL_TEXTENCODING_UTF8).getStr());
}

// What text_of (ArgumentName or ArgumentHelp) gives for argument of the function named name, or
// the empty text for a function or an argument there is not.
rtl::OUString ArgumentText(std::string (*text_of)(const FunctionHelp&, std::size_t),
                           const rtl::OUString& name, sal_Int32 argument) {
  return Answered([&] {
    const FunctionHelp* function = Function(name);
    if (function == nullptr || argument < 0) return rtl::OUString();
    return Text(text_of(*function, static_cast<std::size_t>(argument)));
  });
}

}  // namespace

css::uno::Sequence<rtl::OUString> SupportedServiceNames() {
  css::uno::Sequence<rtl::OUString> names(2);
  names.getArray()[0] = "com.sun.star.sheet.AddIn";
  names.getArray()[1] = kServiceName;
  return names;
}

css::uno::Any MensoraAddIn::Mensora(double Val, const rtl::OUString& InUnits,
                                    const rtl::OUString& OutUnits) {
  return Answered([&] {
    const std::string in_units = Utf8(InUnits);
    const std::string out_units = Utf8(OutUnits);
    return Value(answers::Mensora(Val, in_units.c_str(), out_units.c_str()));
  });
}

css::uno::Any MensoraAddIn::ToMetric(double Val, const rtl::OUString& InUnits) {
  return Answered([&] { return Value(answers::ToMetric(Val, Utf8(InUnits).c_str())); });
}

css::uno::Any MensoraAddIn::FromMetric(double Val, const rtl::OUString& OutUnits) {
  return Answered([&] { return Value(answers::FromMetric(Val, Utf8(OutUnits).c_str())); });
}

rtl::OUString MensoraAddIn::ShowMetric(const rtl::OUString& InUnits) {
  return Answered([&] { return Text(answers::ShowMetric(Utf8(InUnits).c_str()).text); });
}

rtl::OUString MensoraAddIn::ShowCommonMetric(const rtl::OUString& InUnits) {
  return Answered([&] { return Text(answers::ShowCommonMetric(Utf8(InUnits).c_str()).text); });
}

Row MensoraAddIn::Grav() {
  return Answered([] { return NumberWithUnits(answers::Grav()); });
}

Row MensoraAddIn::GasConst() {
  return Answered([] { return NumberWithUnits(answers::GasConst()); });
}

rtl::OUString MensoraAddIn::getProgrammaticFuntionName(const rtl::OUString& display_name) {
  return Answered(
      [&] { return Function(display_name) != nullptr ? display_name : rtl::OUString(); });
}

rtl::OUString MensoraAddIn::getDisplayFunctionName(const rtl::OUString& name) {
  return getProgrammaticFuntionName(name);
}

rtl::OUString MensoraAddIn::getFunctionDescription(const rtl::OUString& name) {
  return Answered([&] {
    const FunctionHelp* function = Function(name);
    return function != nullptr ? Text(function->functionHelp) : rtl::OUString();
  });
}

rtl::OUString MensoraAddIn::getDisplayArgumentName(const rtl::OUString& name,
                                                   sal_Int32 argument) {
  return ArgumentText(ArgumentName, name, argument);
}

rtl::OUString MensoraAddIn::getArgumentDescription(const rtl::OUString& name,
                                                   sal_Int32 argument) {
  return ArgumentText(ArgumentHelp, name, argument);
}

rtl::OUString MensoraAddIn::getProgrammaticCategoryName(const rtl::OUString& name) {
  return Answered(
      [&] { return Function(name) != nullptr ? Text(kFunctionCategory) : rtl::OUString(); });
}

rtl::OUString MensoraAddIn::getDisplayCategoryName(const rtl::OUString& name) {
  return getProgrammaticCategoryName(name);
}

void MensoraAddIn::setLocale(const css::lang::Locale& locale) {
  std::lock_guard<std::mutex> lock(locale_mutex_);
  locale_ = locale;
}

css::lang::Locale MensoraAddIn::getLocale() {
  std::lock_guard<std::mutex> lock(locale_mutex_);
  return locale_;
}

rtl::OUString MensoraAddIn::getServiceName() { return kServiceName; }

rtl::OUString MensoraAddIn::getImplementationName() { return kImplementationName; }

sal_Bool MensoraAddIn::supportsService(const rtl::OUString& service) {
  return cppu::supportsService(this, service);
}

css::uno::Sequence<rtl::OUString> MensoraAddIn::getSupportedServiceNames() {
  return SupportedServiceNames();
}

}  // namespace mensora_calc
