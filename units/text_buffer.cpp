// Bounded copying and appending into the unit engine's fixed text buffers.
#include "text_buffer.h"

#include "utf8.h"

std::size_t CopyText(char* buffer, std::size_t size, const char* source) {
  buffer[0] = '\0';
  return AppendText(buffer, size, source);
}

std::size_t AppendText(char* buffer, std::size_t size, const char* source) {
  std::size_t length = 0;
  while (length + 1 < size && buffer[length] != '\0') ++length;
  // Whole characters only: a text cut short never ends in part of one.
  while (*source != '\0') {
    const std::size_t step =
        static_cast<unsigned char>(*source) < 0x80 ? 1 : CharacterLength(source);
    if (length + step >= size) break;
    for (std::size_t i = 0; i < step; ++i) buffer[length++] = *source++;
  }
  buffer[length] = '\0';
  return length;
}
