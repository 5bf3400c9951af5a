// Bounded copying and appending into the unit engine's fixed, caller-owned text buffers.
#pragma once

#include <cstddef>

// Replaces the text in buffer (size bytes) with source, cut to size - 1 characters. Returns the
// length written. size must be at least 1.
std::size_t CopyText(char* buffer, std::size_t size, const char* source);

// Appends source to the NUL-terminated text in buffer (size bytes), cutting it so that the whole
// stays within size - 1 characters. Returns the new length. size must be at least 1.
std::size_t AppendText(char* buffer, std::size_t size, const char* source);
