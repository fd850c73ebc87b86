#pragma once
// The command line of one subcommand: its positional arguments, the values of
// its repeatable `--table` option, its other options' values and its flags. What a subcommand accepts is
// declared up front; anything else is a usage error.
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct CliArguments {
    std::vector<std::string> positional;
    std::vector<std::string> tables;  // --table NAME, in the order given
    std::string out;                  // --out DIR
    std::set<std::string> flags;      // "--quiet", "--yes", ...
    std::map<std::string, std::string> values;  // "--memory" -> "512M", the last one given

    bool Has(const std::string& flag) const { return flags.count(flag) != 0; }
    const std::string* Value(const std::string& option) const
    {
        const auto found = values.find(option);
        return found == values.end() ? nullptr : &found->second;
    }
};

struct CliSyntax {
    std::size_t positionalCount = 0;
    bool takesTables = false;
    bool takesOut = false;
    std::set<std::string> flags;  // besides --quiet and --help, which every subcommand takes
    std::set<std::string> valued;  // options that take a value ("--memory")
};

// Parses the arguments after the subcommand. Raises UsageError naming what is
// wrong (an unknown option, a missing value, too few or too many arguments).
CliArguments ParseArguments(const std::vector<std::string>& args, const CliSyntax& syntax);
