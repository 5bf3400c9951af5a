// The seven worksheet functions through the version 12 interface: UTF-16 to the engine's UTF-8,
// the answer back as a version 12 cell value of the calling thread.
#include "functions/worksheet_functions12.h"

#include <cstddef>

#include "functions/answers.h"
#include "units/parser.h"
#include "xll/barrier.h"
#include "xll/thread_result.h"
#include "xll/wide_text.h"

namespace {

// Reads a counted wide text argument as the UTF-8 the engine reads, into buffer (kUnitsStringSize
// bytes); a null text is the empty text. A text of more characters than the engine reads is
// marked too long; any text of fewer fits the buffer whole, at most four bytes a character.
answers::UnitsArgument ReadUnitsArgument(const XCHAR* counted, char* buffer) {
  if (counted == nullptr) return "";
  const std::size_t length = counted[0];
  // Only a text of more units than the limit can hold more characters than it.
  if (length > kMaxUnitsCharacters &&
      WideCharacterCount(counted + 1, length, kMaxUnitsCharacters) > kMaxUnitsCharacters) {
    return answers::UnitsArgument::TooLong();
  }
  WideToUtf8(counted + 1, length, buffer, kUnitsStringSize);
  return buffer;
}

XLOPER12* ReturnAnswer(const answers::Answer& answer) {
  switch (answer.kind) {
    case answers::Answer::kNumber:
      return ReturnNumber12(answer.number);
    case answers::Answer::kNumberWithUnits:
      return ReturnNumberAndText12(answer.number, answer.text);
    case answers::Answer::kText:
      break;
  }
  return ReturnText12(answer.text);
}

// Runs body behind the exception barrier and hands its answer back; should anything be thrown,
// the answer is the error value.
template <class Body>
XLOPER12* Answered(Body&& body) noexcept {
  XLOPER12* result = ExceptionBarrier<XLOPER12*>(nullptr, [&] { return ReturnAnswer(body()); });
  return result != nullptr ? result : ReturnError12(xlerrValue);
}

}  // namespace

extern "C" {

XLOPER12* __stdcall Mensora12(double Val, const XCHAR* InUnits, const XCHAR* OutUnits) {
  return Answered([&] {
    char in_units[kUnitsStringSize];
    char out_units[kUnitsStringSize];
    return answers::Mensora(Val, ReadUnitsArgument(InUnits, in_units),
                            ReadUnitsArgument(OutUnits, out_units));
  });
}

XLOPER12* __stdcall ToMetric12(double Val, const XCHAR* InUnits) {
  return Answered([&] {
    char in_units[kUnitsStringSize];
    return answers::ToMetric(Val, ReadUnitsArgument(InUnits, in_units));
  });
}

XLOPER12* __stdcall FromMetric12(double Val, const XCHAR* OutUnits) {
  return Answered([&] {
    char out_units[kUnitsStringSize];
    return answers::FromMetric(Val, ReadUnitsArgument(OutUnits, out_units));
  });
}

XLOPER12* __stdcall ShowMetric12(const XCHAR* InUnits) {
  return Answered([&] {
    char in_units[kUnitsStringSize];
    return answers::ShowMetric(ReadUnitsArgument(InUnits, in_units));
  });
}

XLOPER12* __stdcall ShowCommonMetric12(const XCHAR* InUnits) {
  return Answered([&] {
    char in_units[kUnitsStringSize];
    return answers::ShowCommonMetric(ReadUnitsArgument(InUnits, in_units));
  });
}

XLOPER12* __stdcall Grav12() {
  return Answered([] { return answers::Grav(); });
}

XLOPER12* __stdcall GasConst12() {
  return Answered([] { return answers::GasConst(); });
}

}  // extern "C"
