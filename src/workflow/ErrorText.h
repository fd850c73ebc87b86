#pragma once
// The text shown for an error that ended a command: a database error's message
// and state, a file error's text naming the file, "Out-of-memory." when memory
// ran out, or "Errors occurred." for anything unknown.
#include <string>

// Call only inside a catch block.
std::string CurrentErrorText();
