// Texts in the system's ANSI code page, as the spreadsheet host passes them, to and from UTF-8, as
// the unit engine reads them. On Windows through the system's conversions; natively through a
// Windows-1252 table, the code page of most Western systems.
#pragma once

#include <cstddef>

namespace platform {

// Writes text (in the ANSI code page) into utf8 (size bytes, at least 1) as UTF-8, cut after the
// last whole character that fits. Returns the length written. Each byte of a single-byte code
// page becomes one character, so 255 bytes need at most 765 bytes of UTF-8.
std::size_t AnsiToUtf8(const char* text, char* utf8, std::size_t size);

// Writes UTF-8 text into ansi (size bytes, at least 1) in the ANSI code page: a character the code
// page lacks, and a byte that is not UTF-8, becomes '?'. Cut after the last whole character that
// fits. Returns the length written.
std::size_t Utf8ToAnsi(const char* text, char* ansi, std::size_t size);

// Copies text as it stands when it is all ASCII, which every ANSI code page and UTF-8 write
// alike, and fits size bytes; the common case needs no conversion. Returns true with the length
// in *length, or false, having written nothing.
inline bool CopyAscii(const char* text, char* out, std::size_t size, std::size_t* length) {
  std::size_t count = 0;
  while (text[count] != '\0') {
    if (static_cast<unsigned char>(text[count]) >= 0x80 || count + 1 >= size) return false;
    ++count;
  }
  for (std::size_t i = 0; i <= count; ++i) out[i] = text[i];
  *length = count;
  return true;
}

}  // namespace platform
