// Bounded copying and appending into the unit engine's fixed text buffers.
#include "text_buffer.h"

std::size_t CopyText(char* buffer, std::size_t size, const char* source) {
  buffer[0] = '\0';
  return AppendText(buffer, size, source);
}

std::size_t AppendText(char* buffer, std::size_t size, const char* source) {
  std::size_t length = 0;
  while (length + 1 < size && buffer[length] != '\0') ++length;
  while (length + 1 < size && *source != '\0') buffer[length++] = *source++;
  buffer[length] = '\0';
  return length;
}
