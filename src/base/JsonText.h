#pragma once
// JSON text for the command-line tools' output.
#include <string>
#include <string_view>

// A JSON string, quotes included: well-formed UTF-8 passes through; quotes,
// backslashes and control characters (and DEL) are escaped; a byte that is
// not part of well-formed UTF-8 is written as the character with the same
// code (\u00XX), as 8-bit text would read, so the output is always valid JSON.
std::string JsonString(std::string_view text);

// `"name": value`, the value already JSON.
std::string JsonField(std::string_view name, std::string_view value);
