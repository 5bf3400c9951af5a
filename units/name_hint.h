// Names the catalogue has near an unknown one, for the message that reports it.
#pragma once

#include <cstddef>

// Appends " (did you mean km?)" to message (a NUL-terminated text in a buffer of size bytes),
// naming up to three spellings the parser reads that are near name: those equal to it but for
// the case of ASCII letters ("KM": km), with a prefix too ("MM": mm, Mm, mM); else, for a name of
// three characters or more, those one edit away (a letter changed, added, dropped or two
// neighbours swapped: "metr": meter, metre). Appends
// nothing when no spelling is near, or when the hint would not fit whole. Takes nothing from the
// heap.
void AppendNameHint(char* message, std::size_t size, const char* name);
