// Comparing names as the host does: without regard to the case of ASCII letters.
#pragma once

#include <string>

// True when a and b are the same text but for the case of ASCII letters.
bool SameTextIgnoringCase(const std::string& a, const std::string& b);
