#pragma once
// The help texts of tolvane-cli and its subcommands.
#include <string>

// The whole program's usage (tolvane-cli --help).
std::string ProgramUsage();

// One subcommand's usage (tolvane-cli NAME --help); empty for an unknown name.
std::string CommandUsage(const std::string& command);
