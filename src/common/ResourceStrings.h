#pragma once
// Texts loaded by number from the current resource source. The application
// installs a loader (its resource source: built-in resources or the language
// module); without one, or for a number the loader lacks, the program's own
// string table compiled into the core answers.
#include <functional>
#include <optional>
#include <string>

using StringLoader = std::function<std::optional<std::string>(int id)>;
void SetStringLoader(StringLoader loader);

// The text of string `id`, or an empty text when no table holds it.
std::string LoadResourceString(int id);

// The program's own text of string `id` (the compiled-in table only).
std::optional<std::string> BuiltInString(int id);

// printf-style formatting of a loaded text with the C library's rules.
std::string FormatString(const char* format, ...) __attribute__((format(printf, 1, 2)));
