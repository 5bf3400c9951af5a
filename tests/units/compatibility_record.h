// One line of the compatibility record: what the engine gives for an expression or a conversion,
// written exactly, so that a later engine can be held to today's results bit for bit.
#pragma once

#include <string>

// Everything the engine says about one expression: the parse (factor, offset and exponents, each
// as a round-trip decimal) with both unit texts, or the parser's message.
std::string ExpressionRecord(const std::string& text);

// The result of converting x from one expression to another, or the message.
std::string ConversionRecord(double x, const std::string& in_units, const std::string& out_units);

// Expressions are stored one a line with tabs between fields: a tab or backslash inside one is
// written \t or \\.
std::string Escaped(const std::string& text);
std::string Unescaped(const std::string& text);
