#include "cli/CliArguments.h"

CliArguments ParseArguments(const std::vector<std::string>& args, const CliSyntax& syntax)
{
    CliArguments result;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg.compare(0, 1, "-") != 0) {
            result.positional.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        const bool table = arg == "--table" && syntax.takesTables;
        const bool out = arg == "--out" && syntax.takesOut;
        const bool valued = syntax.valued.count(arg) != 0;
        if (table || out || valued) {
            if (i + 1 >= args.size() || args[i + 1].empty())
                throw UsageError("option " + arg + " needs a value");
            if (table)
                result.tables.push_back(args[i + 1]);
            else if (out)
                result.out = args[i + 1];
            else
                result.values[arg] = args[i + 1];
            ++i;
            continue;
        }
        if (arg == "--quiet" || arg == "--help" || syntax.flags.count(arg)) {
            result.flags.insert(arg);
            continue;
        }
        throw UsageError("unknown option " + arg);
    }
    if (result.Has("--help"))
        return result;
    if (result.positional.size() != syntax.positionalCount)
        throw UsageError(result.positional.size() < syntax.positionalCount ? "missing arguments"
                                                                            : "too many arguments");
    if (syntax.takesOut && result.out.empty())
        throw UsageError("option --out DIR is required");
    return result;
}
