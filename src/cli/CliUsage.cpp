#include "cli/CliUsage.h"

#include <map>

namespace {

const std::map<std::string, std::string>& CommandTexts()
{
    static const std::map<std::string, std::string> texts = {
        {"tables",
         "Usage: tolvane-cli tables OLD NEW\n"
         "\n"
         "Lists the tables of both data sources paired by name, one pair a line:\n"
         "old name, a tab, new name; a table of one side only has an empty other\n"
         "side. Names that match exactly pair first; names that differ only in case\n"
         "pair when each is the only one of its spelling on its side. Otherwise they\n"
         "stay unpaired and a third field, after a tab, says why (\"not paired: the\n"
         "names Users and users differ only in case\"); compare and verify print\n"
         "that line for such a table, and --table refuses it. A table is one that a\n"
         "bare name reaches: on MariaDB and MySQL those of the data source's\n"
         "database, on PostgreSQL those of the schemas on the search path.\n"},
        {"compare",
         "Usage: tolvane-cli compare OLD NEW --out DIR [--table NAME]... [--keep-dumps]\n"
         "                   [--ignore-case] [--ignore-whitespace] [--memory SIZE]\n"
         "                   [--verbose] [--quiet]\n"
         "\n"
         "Dumps the paired tables (all, or those named) into DIR and writes their\n"
         "differences into DIR/Vantor_Merge.txt, with the line markers and options of\n"
         "the settings store. Prints one line per table: its name and the counts of\n"
         "removed and added lines. The merge file is replaced only when every table\n"
         "was compared; an interrupted or failed run, or one that left a table out,\n"
         "leaves the previous one as it was. One run at a time writes into DIR: a\n"
         "second one fails at once.\n"
         "\n"
         "A table whose comparison would need more memory than SIZE is split into\n"
         "bucket files beside its dumps as it is dumped (about the dumps' size on\n"
         "disk), compared bucket by bucket on all cores; its merge file section holds\n"
         "the same lines. With --keep-dumps it is split after it is dumped.\n"
         "\n"
         "  --table NAME         compare this table (repeatable)\n"
         "  --keep-dumps         keep the table dump files (and bucket files) in DIR\n"
         "  --ignore-case        lines differing only in case are equal\n"
         "  --ignore-whitespace  lines differing only in white space are equal\n"
         "  --memory SIZE        memory one comparison may hold (512M, 4G); default\n"
         "                       the program's Options, else a quarter of memory\n"
         "  --verbose            print per table on standard error the time of\n"
         "                       dumping, splitting, comparing and writing, and the\n"
         "                       peak memory\n"
         "\n"
         "Exit status: 0 no table differs, 1 some differ, 2 an error (a table that\n"
         "could not be compared is one).\n"},
        {"preview",
         "Usage: tolvane-cli preview MERGEFILE\n"
         "\n"
         "Prints one line per table of the merge file: its name, a tab, the changes\n"
         "to make (\"No Changes\" or \"N to add, N to update, N to delete\"), a tab,\n"
         "and \"key: \" with the columns that find its rows (its primary key, else a\n"
         "unique index of NOT NULL columns, else its leading NOT NULL columns; \"all\n"
         "columns\" for a table without any). A merge file that was cut short or\n"
         "is no merge file is refused (exit status 2).\n"},
        {"sql",
         "Usage: tolvane-cli sql MERGEFILE TARGET [--table NAME]...\n"
         "\n"
         "Prints the statements that bring TARGET up to date, in the order the merge\n"
         "runs them, each ended by \";\" and a line break: a script for the data\n"
         "source's own client, whatever its session settings. Where foreign keys\n"
         "tie the tables, inserts and updates run parents first and deletes\n"
         "children first; a line starting with \"--\" notes a cycle among them. A\n"
         "statement that cannot be formed (PostgreSQL text with a NUL byte) is\n"
         "named on standard error instead (exit status 1).\n"},
        {"apply",
         "Usage: tolvane-cli apply MERGEFILE TARGET [--table NAME]... [--yes]\n"
         "                 [--keep-going] [--dry-run] [--quiet]\n"
         "\n"
         "Runs the statements on TARGET in one transaction, in the order sql prints\n"
         "them. Every statement must change exactly one row: one that changes more\n"
         "is undone at once, and every statement that fails or changes no row or\n"
         "more than one is named on standard error. When any did, everything is\n"
         "rolled back unless --keep-going is given; the last line says what was\n"
         "kept. Ctrl+C, SIGTERM and a lost connection roll everything back. Asks\n"
         "first on a terminal unless --yes is given.\n"
         "\n"
         "  --keep-going  keep the changes of the other statements when some did not\n"
         "                run as expected\n"
         "  --dry-run     run everything inside the transaction, report what would\n"
         "                fail, and roll it all back\n"
         "\n"
         "Exit status: 0 every statement changed exactly one row (and, but for\n"
         "--dry-run, was committed), 1 some did not (kept or rolled back), 2 nothing\n"
         "could be done (connection lost, interrupted, merge file refused, commit).\n"},
        {"verify",
         "Usage: tolvane-cli verify TARGET NEW [--table NAME]... [--memory SIZE] [--quiet]\n"
         "\n"
         "Compares the paired tables of TARGET with those of NEW as compare does (in\n"
         "a temporary folder) and prints each table that still differs.\n"
         "\n"
         "Exit status: 0 equal, 1 some table differs, 2 an error.\n"},
    };
    return texts;
}

} // namespace

std::string ProgramUsage()
{
    return "Usage: tolvane-cli COMMAND ARGUMENTS... [--quiet]\n"
           "\n"
           "Compares the tables of two ODBC data sources and merges the differences\n"
           "into a third, without a window.\n"
           "\n"
           "Commands:\n"
           "  tables OLD NEW                         list the paired tables\n"
           "  compare OLD NEW --out DIR [options]    write the dumps and Vantor_Merge.txt\n"
           "  preview MERGEFILE                      the changes to make per table\n"
           "  sql MERGEFILE TARGET [--table NAME]... the statements of the merge\n"
           "  apply MERGEFILE TARGET [--yes]         run them on TARGET, all or nothing\n"
           "  verify TARGET NEW [--table NAME]...    what still differs after a merge\n"
           "\n"
           "A data source is a DSN name, or an ODBC connection string when it holds\n"
           "\"=\" (Driver=SQLite3;Database=/tmp/a.db). A data source that asks for a\n"
           "login is asked for on a terminal. --quiet prints errors only; a progress\n"
           "bar shows on standard error when it is a terminal.\n"
           "\n"
           "tolvane-cli COMMAND --help describes a command.\n";
}

std::string CommandUsage(const std::string& command)
{
    const auto found = CommandTexts().find(command);
    return found == CommandTexts().end() ? std::string() : found->second;
}
