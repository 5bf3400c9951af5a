// The CALL macro text: three quoted texts in parentheses after the word CALL.
#include "harness/host/call_macro.h"

#include <vector>

#include "harness/host/text_compare.h"

namespace {

void SkipBlanks(const std::string& text, std::size_t* at) {
  while (*at < text.size() && text[*at] == ' ') ++*at;
}

// Reads a quoted text at *at into out. False when there is none or it is not closed.
bool QuotedText(const std::string& text, std::size_t* at, std::string* out) {
  if (*at >= text.size() || text[*at] != '"') return false;
  out->clear();
  for (std::size_t i = *at + 1; i < text.size(); ++i) {
    if (text[i] != '"') {
      *out += text[i];
    } else if (i + 1 < text.size() && text[i + 1] == '"') {
      *out += '"';
      ++i;
    } else {
      *at = i + 1;
      return true;
    }
  }
  return false;
}

}  // namespace

bool ParseCallMacro(const std::string& text, CallMacro* call) {
  std::size_t at = 0;
  SkipBlanks(text, &at);
  if (text.size() < at + 4 || !SameTextIgnoringCase(text.substr(at, 4), "CALL")) return false;
  at += 4;
  SkipBlanks(text, &at);
  if (at >= text.size() || text[at++] != '(') return false;
  std::vector<std::string> parts(3);
  for (std::size_t i = 0; i < parts.size(); ++i) {
    SkipBlanks(text, &at);
    if (!QuotedText(text, &at, &parts[i])) return false;
    SkipBlanks(text, &at);
    const char expected = i + 1 < parts.size() ? ',' : ')';
    if (at >= text.size() || text[at++] != expected) return false;
  }
  SkipBlanks(text, &at);
  if (at != text.size()) return false;
  *call = CallMacro{parts[0], parts[1], parts[2]};
  return true;
}
