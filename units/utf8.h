// Reading UTF-8 one character at a time, as the unit engine's texts are written.
#pragma once

#include <cstddef>
#include <cstdint>

// The length in bytes of the character that starts at text: 1 for an ASCII byte, 2 to 4 for a
// well-formed multi-byte sequence, and 1 for a byte that starts no well-formed sequence (a stray
// continuation byte, an overlong form, a surrogate), which then stands for itself. Never reads
// past a NUL.
std::size_t CharacterLength(const char* text);

// The code point of the character of length bytes at text (as CharacterLength gives it); a byte
// that stands for itself gives its own value, which no well-formed character of that length has.
uint32_t CodePoint(const char* text, std::size_t length);

// How many characters text holds, counting at most limit: a longer text gives limit.
std::size_t CountCharacters(const char* text, std::size_t limit);
