#pragma once
// A start of the program that shows no window: it loads the resources as a
// normal start does and prints what it found, so that an installation can be
// checked without a person (TOLVANE_SELF_CHECK=1 tolvane).
#include <iosfwd>

// The name of the environment variable that asks for the self-check.
inline constexpr const char* kSelfCheckVariable = "TOLVANE_SELF_CHECK";

// Prints the program's version, its executable, the resource source in use
// (the language module's file or "built in"), the main dialog's caption from
// that source and the window system; messages start-up would show go to `out`
// too. 0 when the main dialog's template is there, else 1.
int RunSelfCheck(std::ostream& out);
