#pragma once
// The four-part file version of a resource module, read from its version
// information (version.txt: "FileVersion=a.b.c.d").
#include <string>

class ResourceModule;

// Formats the file version as "%d.%d.%d.%d". Returns false, the text unchanged,
// when the module has no version information; true with the text unchanged when
// it has some but no readable file version.
bool GetModuleVersionString(const ResourceModule& module, std::string& text);
