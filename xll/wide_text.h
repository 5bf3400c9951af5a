// Wide texts of the version 12 interface (UTF-16, as the host passes and takes them) to and from
// the UTF-8 the unit engine reads and writes.
#pragma once

#include <cstddef>

#include "xll/host_api.h"

// Writes the length UTF-16 units at text into utf8 (size bytes, at least 1) as NUL-terminated
// UTF-8: a surrogate without its partner becomes U+FFFD, and a NUL unit ends the text as it would
// end a C string. Stops before a character that does not fit whole. Returns the number of bytes
// written (without the NUL).
std::size_t WideToUtf8(const XCHAR* text, std::size_t length, char* utf8, std::size_t size);

// Writes the NUL-terminated UTF-8 text into wide (capacity units) as UTF-16, without a NUL: a byte
// that starts no well-formed character stands for the character of its own value, as the engine
// reads it. Stops before a character that does not fit whole (one beyond U+FFFF takes a pair of
// units). Returns the number of units written.
std::size_t Utf8ToWide(const char* text, XCHAR* wide, std::size_t capacity);

// How many characters the length UTF-16 units at text hold (a surrogate pair is one), counting no
// further than limit + 1: the answer is at most limit + 1, which means "more than limit". A NUL
// unit ends the text.
std::size_t WideCharacterCount(const XCHAR* text, std::size_t length, std::size_t limit);
