// Comparing a rendered result with the text a test or an example file expects.
#pragma once

#include <string>

// True when rendered matches expected: numbers within 1e-12 relative to the larger of the two,
// everything else exactly. Arrays ({12,"m";1,"s"}) match element by element with the same
// shape; a text in quotes is one element even when it holds commas or braces.
bool ResultMatches(const std::string& rendered, const std::string& expected);
