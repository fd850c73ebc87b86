// tolvane-cli: the compare and merge steps of Tolvane and Merge without a
// window, for scripts and servers. The work is the core's, shared with the
// dialogs; this file only dispatches the subcommands.
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "cli/CliArguments.h"
#include "cli/CliSession.h"
#include "cli/CliUsage.h"
#include "cli/CompareCommands.h"
#include "cli/MergeCommands.h"
#include "common/UiHooks.h"

namespace {

struct Command {
    CliSyntax syntax;
    int (*run)(CliSession&);
};

const std::map<std::string, Command>& Commands()
{
    static const std::map<std::string, Command> commands = {
        {"tables", {{2, false, false, {}, {}}, &RunTables}},
        {"compare",
         {{2, true, true, {"--keep-dumps", "--ignore-case", "--ignore-whitespace", "--verbose"}, {"--memory"}},
          &RunCompare}},
        {"preview", {{1, false, false, {}, {}}, &RunPreview}},
        {"sql", {{2, true, false, {}, {}}, &RunSql}},
        {"apply", {{2, true, false, {"--yes", "--keep-going", "--dry-run"}, {}}, &RunApply}},
        {"verify", {{2, true, false, {"--ignore-case", "--ignore-whitespace"}, {"--memory"}}, &RunVerify}},
    };
    return commands;
}

int ShowUsageError(const std::string& text, const std::string& usage)
{
    std::cerr << "tolvane-cli: " << text << "\n\n" << usage;
    return kExitError;
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty())
        return ShowUsageError("no command given", ProgramUsage());
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        std::cout << ProgramUsage();
        return kExitEqual;
    }
    const auto command = Commands().find(args[0]);
    if (command == Commands().end())
        return ShowUsageError("unknown command " + args[0], ProgramUsage());

    CliArguments arguments;
    try {
        arguments = ParseArguments({args.begin() + 1, args.end()}, command->second.syntax);
    } catch (const ::UsageError& error) {
        return ShowUsageError(args[0] + ": " + error.what(), CommandUsage(args[0]));
    }
    if (arguments.Has("--help")) {
        std::cout << CommandUsage(args[0]);
        return kExitEqual;
    }
    CliSession session(std::move(arguments));
    try {
        return command->second.run(session);
    } catch (const std::exception& error) {
        session.Error(error.what());
    } catch (...) {
        session.Error("Errors occurred.");
    }
    return kExitError;
}
