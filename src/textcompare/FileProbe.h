#pragma once
// A quick look at the start of a file before it is compared.
#include <string>

// True when the first 1,024 bytes hold a byte below 9 (0x00 to 0x08): such a
// file is binary. When `bareLf` is given and the first LF of those bytes is not
// the first byte and follows no CR, *bareLf becomes true; otherwise it is left
// as it is. A file that cannot be read counts as text.
bool ProbeFile(const std::string& path, bool* bareLf);
