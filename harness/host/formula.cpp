// A small reader for single-call formulas, the only kind the simulated host evaluates.
#include "formula.h"

#include <cctype>
#include <cmath>
#include <cstdint>

#include "harness/host/decimal_text.h"
#include "harness/host/text_compare.h"
#include "platform/code_page.h"

namespace {
bool IsNameStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsNamePart(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.';
}

// The UTF-8 of code point code (below U+110000, no surrogate).
std::string Utf8Of(uint32_t code) {
  std::string out;
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
  return out;
}

class FormulaReader {
 public:
  FormulaReader(const std::string& text, std::string* error, FormulaTexts texts)
      : text_(text), error_(error), utf8_(texts == FormulaTexts::kUtf8) {}

  bool Read(FormulaCall* call) {
    SkipBlanks();
    if (Peek() == '=') ++at_;
    SkipBlanks();
    if (!IsNameStart(Peek())) return Fail("a function name expected");
    const std::size_t start = at_;
    while (IsNamePart(Peek())) ++at_;
    call->name = text_.substr(start, at_ - start);
    SkipBlanks();
    if (Peek() != '(') return Fail("'(' expected");
    ++at_;
    SkipBlanks();
    call->arguments.clear();
    if (Peek() == ')') {
      ++at_;
    } else {
      for (;;) {
        HostValue argument;
        if (!ReadArgument(&argument)) return false;
        call->arguments.push_back(argument);
        SkipBlanks();
        if (Peek() == ',') {
          ++at_;
          continue;
        }
        if (Peek() == ')') {
          ++at_;
          break;
        }
        return Fail("',' or ')' expected");
      }
    }
    SkipBlanks();
    if (at_ != text_.size()) return Fail("unexpected text after ')'");
    return true;
  }

 private:
  char Peek() const { return at_ < text_.size() ? text_[at_] : '\0'; }

  void SkipBlanks() {
    while (Peek() == ' ' || Peek() == '\t') ++at_;
  }

  bool Fail(const std::string& what) {
    *error_ = what + " at column " + std::to_string(at_ + 1);
    return false;
  }

  // An argument: nothing (a missing one), or constants joined with '&'.
  bool ReadArgument(HostValue* argument) {
    SkipBlanks();
    const char c = Peek();
    if (c == ',' || c == ')') {
      *argument = HostValue::Missing();
      return true;
    }
    if (!ReadConstant(argument)) return false;
    for (SkipBlanks(); Peek() == '&'; SkipBlanks()) {
      ++at_;
      SkipBlanks();
      HostValue next;
      if (!ReadConstant(&next)) return false;
      Join(argument, next);
    }
    return true;
  }

  // a & b as the host joins them: the first error operand is the result; otherwise the texts,
  // numbers as a cell shows them and truth values as TRUE or FALSE. A text grows in place, so a
  // long chain of joins takes time in proportion to its length.
  static void Join(HostValue* a, const HostValue& b) {
    if (a->type == xltypeErr) return;
    if (b.type == xltypeErr) {
      *a = b;
      return;
    }
    if (a->type != xltypeStr) *a = HostValue::Text(JoinedText(*a));
    a->text += JoinedText(b);
  }

  static std::string JoinedText(const HostValue& value) {
    return value.type == xltypeStr ? value.text : RenderValue(value);
  }

  // The code in parentheses after CHAR or UNICHAR, its fraction dropped as the host does.
  bool ReadCode(double* code) {
    SkipBlanks();
    if (Peek() != '(') return Fail("'(' expected");
    ++at_;
    SkipBlanks();
    const std::size_t length = ScanDecimal(text_.c_str() + at_);
    if (length == 0 || !ParseDecimal(text_.substr(at_, length), code)) {
      return Fail("a character code expected");
    }
    at_ += length;
    SkipBlanks();
    if (Peek() != ')') return Fail("')' expected");
    ++at_;
    *code = std::trunc(*code);
    return true;
  }

  // CHAR(n): the one-character text of code n of the code page; a code outside 1 to 255 gives
  // #VALUE!. In UTF-8 texts the character is written in UTF-8.
  bool ReadCharacter(HostValue* argument) {
    double code = 0;
    if (!ReadCode(&code)) return false;
    if (code < 1 || code > 255) {
      *argument = HostValue::Error(xlerrValue);
      return true;
    }
    const char byte[2] = {static_cast<char>(static_cast<int>(code)), '\0'};
    if (!utf8_) {
      *argument = HostValue::Text(std::string(1, byte[0]));
      return true;
    }
    char utf8[8];
    platform::AnsiToUtf8(byte, utf8, sizeof utf8);
    *argument = HostValue::Text(utf8);
    return true;
  }

  // UNICHAR(n): the one-character text of code point n; #VALUE! for 0 or past U+10FFFF, #N/A
  // for a surrogate, which is half a character.
  bool ReadUnicodeCharacter(HostValue* argument) {
    double code = 0;
    if (!ReadCode(&code)) return false;
    if (code < 1 || code > 0x10FFFF) {
      *argument = HostValue::Error(xlerrValue);
    } else if (code >= 0xD800 && code <= 0xDFFF) {
      *argument = HostValue::Error(xlerrNA);
    } else {
      *argument = HostValue::Text(Utf8Of(static_cast<uint32_t>(code)));
    }
    return true;
  }

  // A number, a text in quotes, TRUE or FALSE, an error value or CHAR(n).
  bool ReadConstant(HostValue* argument) {
    const char c = Peek();
    if (c == '"') return ReadText(argument);
    if (c == '#') return ReadError(argument);
    const std::size_t length = ScanDecimal(text_.c_str() + at_);
    if (length > 0) {
      double number = 0;
      if (!ParseDecimal(text_.substr(at_, length), &number)) return Fail("number out of range");
      *argument = HostValue::Number(number);
      at_ += length;
      return true;
    }
    if (IsNameStart(c)) {
      const std::size_t start = at_;
      while (IsNamePart(Peek())) ++at_;
      const std::string word = text_.substr(start, at_ - start);
      if (SameTextIgnoringCase(word, "TRUE") || SameTextIgnoringCase(word, "FALSE")) {
        *argument = HostValue::Bool(SameTextIgnoringCase(word, "TRUE"));
        return true;
      }
      if (SameTextIgnoringCase(word, "CHAR")) return ReadCharacter(argument);
      if (utf8_ && SameTextIgnoringCase(word, "UNICHAR")) return ReadUnicodeCharacter(argument);
      at_ = start;
      return Fail("only constant arguments are supported, not '" + word + "'");
    }
    return Fail("an argument expected");
  }

  bool ReadText(HostValue* argument) {
    std::string text;
    for (++at_;; ++at_) {
      if (at_ >= text_.size()) return Fail("closing '\"' missing");
      if (text_[at_] != '"') {
        text += text_[at_];
      } else if (at_ + 1 < text_.size() && text_[at_ + 1] == '"') {
        text += '"';
        ++at_;
      } else {
        break;
      }
    }
    ++at_;
    *argument = HostValue::Text(text);
    return true;
  }

  bool ReadError(HostValue* argument) {
    // The longest error text is "#DIV/0!"; try the longest piece that names one.
    for (std::size_t length = 7; length >= 4; --length) {
      uint16_t code = 0;
      if (at_ + length <= text_.size() && ErrorCode(text_.substr(at_, length), &code)) {
        at_ += length;
        *argument = HostValue::Error(code);
        return true;
      }
    }
    return Fail("unknown error value");
  }

  const std::string& text_;
  std::string* error_;
  bool utf8_;
  std::size_t at_ = 0;
};
}  // namespace

bool ParseFormula(const std::string& text, FormulaCall* call, std::string* error,
                  FormulaTexts texts) {
  return FormulaReader(text, error, texts).Read(call);
}
