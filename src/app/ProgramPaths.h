#pragma once
// Paths of the program: its own directory, and the rule that turns a stored
// difference data path into a directory prefix ("/" is the separator).
#include <string>

// The executable's directory with its trailing "/" (the full file name cut after
// its last "/"); empty when the name holds no "/".
std::string DirectoryOfFile(const std::string& fullFileName);

// The language of the user's locale as the C library chooses messages by it:
// the first set of LC_ALL, LC_MESSAGES and LANG, cut before its territory,
// code set or modifier ("de_DE.UTF-8" gives "de"); empty for "C" and "POSIX",
// and when none is set.
std::string LocaleLanguage();

// Where the language module of `language` is installed: "lang/<language>/"
// below the executable's directory, for a module chosen by the user's locale.
std::string LanguageModuleDirectory(const std::string& executableDirectory, const std::string& language);

// The running executable's full file name.
std::string ExecutableFileName();

// Appends "/" to a non-empty path that does not end with one.
std::string WithTrailingSeparator(const std::string& path);

// The "Diff Path" as the main dialog starts with it: the executable's directory
// when nothing is stored, then a trailing "/" when it lacks one.
std::string NormaliseDiffPath(const std::string& stored, const std::string& executableFileName);
