// Bounded copying and appending into the unit engine's fixed, caller-owned text buffers, and
// comparing its texts.
#pragma once

#include <cstddef>

// Replaces the text in buffer (size bytes) with source, cut to at most size - 1 bytes of whole
// UTF-8 characters. Returns the length written. size must be at least 1.
std::size_t CopyText(char* buffer, std::size_t size, const char* source);

// Appends source to the NUL-terminated text in buffer (size bytes), cutting it so that the whole
// stays within size - 1 bytes; the cut never splits a UTF-8 character. Returns the new length.
// size must be at least 1.
std::size_t AppendText(char* buffer, std::size_t size, const char* source);

// True when a and b are equal byte for byte. Stops at the first difference, so it reads no
// further into either text than strcmp would, and is inlined where names are matched often.
inline bool SameText(const char* a, const char* b) {
  while (*a == *b) {
    if (*a == '\0') return true;
    ++a;
    ++b;
  }
  return false;
}
