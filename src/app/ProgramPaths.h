#pragma once
// Paths of the program: its own directory, and the rule that turns a stored
// difference data path into a directory prefix ("/" is the separator).
#include <string>

// The executable's directory with its trailing "/" (the full file name cut after
// its last "/"); empty when the name holds no "/".
std::string DirectoryOfFile(const std::string& fullFileName);

// The running executable's full file name.
std::string ExecutableFileName();

// Appends "/" to a non-empty path that does not end with one.
std::string WithTrailingSeparator(const std::string& path);

// The "Diff Path" as the main dialog starts with it: the executable's directory
// when nothing is stored, then a trailing "/" when it lacks one.
std::string NormaliseDiffPath(const std::string& stored, const std::string& executableFileName);
