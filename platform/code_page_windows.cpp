// The code page conversions on Windows: through UTF-16 with the system's own tables.
#include "code_page.h"

#include "system.h"

namespace {

// Texts longer than the host ever passes or the engine ever writes are cut to this many units.
constexpr int kMaxUnits = 1024;

int LengthOf(const char* text) {
  int length = 0;
  while (length < kMaxUnits && text[length] != '\0') ++length;
  return length;
}

// Writes wide[0, total) in code_page into out (size bytes), dropping characters from the end
// until it fits, never half a surrogate pair. Returns the length written.
std::size_t FromWide(UINT code_page, DWORD flags, const wchar_t* wide, int total, char* out,
                     std::size_t size) {
  BOOL* no_used_default = nullptr;
  const char* default_char = code_page == CP_UTF8 ? nullptr : "?";
  for (int count = total; count > 0; --count) {
    if (count < total && wide[count] >= 0xDC00 && wide[count] <= 0xDFFF) continue;
    const int needed = WideCharToMultiByte(code_page, flags, wide, count, nullptr, 0,
                                           default_char, no_used_default);
    if (needed > 0 && static_cast<std::size_t>(needed) < size) {
      const int written = WideCharToMultiByte(code_page, flags, wide, count, out,
                                              static_cast<int>(size), default_char,
                                              no_used_default);
      out[written > 0 ? written : 0] = '\0';
      return written > 0 ? static_cast<std::size_t>(written) : 0;
    }
  }
  out[0] = '\0';
  return 0;
}

}  // namespace

std::size_t platform::AnsiToUtf8(const char* text, char* utf8, std::size_t size) {
  std::size_t ascii_length = 0;
  if (CopyAscii(text, utf8, size, &ascii_length)) return ascii_length;
  wchar_t wide[kMaxUnits];
  const int count = MultiByteToWideChar(CP_ACP, 0, text, LengthOf(text), wide, kMaxUnits);
  return FromWide(CP_UTF8, 0, wide, count, utf8, size);
}

std::size_t platform::Utf8ToAnsi(const char* text, char* ansi, std::size_t size) {
  std::size_t ascii_length = 0;
  if (CopyAscii(text, ansi, size, &ascii_length)) return ascii_length;
  wchar_t wide[kMaxUnits];
  const int count = MultiByteToWideChar(CP_UTF8, 0, text, LengthOf(text), wide, kMaxUnits);
  // No best fit: a character the code page lacks becomes '?', not a look-alike ("Ω" is no "O").
  return FromWide(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, count, ansi, size);
}
