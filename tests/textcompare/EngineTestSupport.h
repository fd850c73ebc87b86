#pragma once
// Helpers for the comparison engine's tests: files in a temporary directory,
// a report sink into a string, and the result of a comparison as plain values.
#include <algorithm>
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "TestEnv.h"
#include "textcompare/CompareFiles.h"
#include "textcompare/Comparison.h"
#include "textcompare/MergeBlocks.h"

namespace enginetest {

using Lines = std::vector<std::string>;

// Lines joined with CR LF after each one.
inline std::string CrLfLines(const std::vector<std::string>& lines)
{
    std::string text;
    for (const auto& line : lines)
        text += line + "\r\n";
    return text;
}

// Lines that carry their own terminators, one after the other.
inline std::string Join(const Lines& lines)
{
    std::string text;
    for (const auto& l : lines)
        text += l;
    return text;
}

// A line as the comparison options see it: without the bytes "Ignore
// Whitespace" skips, ASCII letters in upper case under "Ignore Case".
inline std::string Fold(std::string_view text, bool ignoreWhitespace, bool ignoreCase)
{
    std::string out;
    for (char c : text) {
        if (ignoreWhitespace && (c == ' ' || c == '\t' || c == '\r'))
            continue;
        out += (ignoreCase && c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
    }
    return out;
}

// The lines of `lines` folded and sorted: a multiset of lines as the options compare them.
inline Lines FoldedSorted(const Lines& lines, bool ignoreWhitespace, bool ignoreCase)
{
    Lines folded;
    for (const auto& l : lines)
        folded.push_back(Fold(l, ignoreWhitespace, ignoreCase));
    std::sort(folded.begin(), folded.end());
    return folded;
}

// The two comparison options that change what "equal" means, for tests run under each.
struct OptionsCase {
    bool ignoreWhitespace;
    bool ignoreCase;
};

// ctest shows the printed parameter beside the name.
inline void PrintTo(const OptionsCase& c, std::ostream* os)
{
    *os << (c.ignoreWhitespace ? "ignore whitespace" : "whitespace counts") << ", "
        << (c.ignoreCase ? "ignore case" : "case counts");
}

inline std::string OptionsName(const ::testing::TestParamInfo<OptionsCase>& info)
{
    if (!info.param.ignoreWhitespace && !info.param.ignoreCase)
        return "ExactBytes";
    return std::string(info.param.ignoreWhitespace ? "IgnoreWhitespace" : "") +
           (info.param.ignoreCase ? "IgnoreCase" : "");
}

inline auto EachOption()
{
    return ::testing::Values(OptionsCase{false, false}, OptionsCase{true, false}, OptionsCase{false, true},
                             OptionsCase{true, true});
}

// Splits a report with the default prefixes into removed and added lines (each
// with its CR LF).
inline void SplitReport(const std::string& report, Lines& removed, Lines& added, const std::string& where)
{
    std::size_t at = 0;
    while (at < report.size()) {
        const std::size_t end = report.find("\r\n", at);
        ASSERT_NE(end, std::string::npos) << where;
        const std::string line = report.substr(at, end + 2 - at);
        if (line.rfind("||>>", 0) == 0)
            added.push_back(line.substr(4));
        else if (line.rfind("|<<", 0) == 0)
            removed.push_back(line.substr(3));
        else
            ADD_FAILURE() << where << ": " << line;
        at = end + 2;
    }
}

// Collects the report in memory.
class StringSink : public ReportSink {
public:
    bool Write(std::string_view bytes) override
    {
        text.append(bytes);
        return true;
    }
    std::string text;
};

// One entry of a result, by value, with 1-based line numbers.
struct Entry {
    std::int32_t type;
    std::int64_t firstLine;  // line numbers of the entry's own first and last line
    std::int64_t lastLine;
    std::int64_t file1Line;
    std::int64_t file2Line;

    bool operator==(const Entry&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Entry& e)
{
    const char* type = e.type == Common ? "Common" : e.type == OnlyInFile1 ? "OnlyInFile1" : e.type == OnlyInFile2 ? "OnlyInFile2" : "?";
    return out << "{" << type << ", lines " << e.firstLine << "-" << e.lastLine << ", file1 " << e.file1Line
               << ", file2 " << e.file2Line << "}";
}

inline Entry EntryOf(const ResultEntry& r)
{
    return {r.type, std::int64_t(r.first) + 1, std::int64_t(r.last) + 1, r.file1Line, r.file2Line};
}

// The entries of a block list (line numbers of 1 for the file-1 and file-2 line).
inline std::vector<Entry> Entries(const BlockList& blocks)
{
    std::vector<Entry> entries;
    for (const LineBlock& b : blocks)
        entries.push_back({b.type, std::int64_t(b.first) + 1, std::int64_t(b.last) + 1, 1, 1});
    return entries;
}

// The result of a comparison whose block lists are built, every entry.
inline std::vector<Entry> ResultOf(const Comparison& c)
{
    std::vector<Entry> entries;
    MergeBlocks(c, [&](const ResultEntry& r) {
        entries.push_back(EntryOf(r));
        return true;
    });
    return entries;
}

// Two texts compared in memory, the state of the comparison kept for a look.
class Compared {
public:
    Compared(const std::string& text1, const std::string& text2, LineRules rules = {})
    {
        c.rules = rules;
        c.file1.Split(text1, rules);
        c.file2.Split(text2, rules);
        ComputeDifferences(c);
    }

    std::vector<Entry> Result() const { return ResultOf(c); }

    Comparison c;
};

// Two dump files in a temporary directory, compared through the engine's entry.
class DumpPair {
public:
    DumpPair() = default;

    std::string Path1() const { return (m_dir.path() / "old.csv").string(); }
    std::string Path2() const { return (m_dir.path() / "new.csv").string(); }
    const testenv::TempDir& Dir() const { return m_dir; }

    // Writes both files anew and returns the report; the outcome stays in `outcome`.
    std::string Compare(const std::string& text1, const std::string& text2, const CompareOptions& options = {})
    {
        testenv::WriteFile(Path1(), text1);
        testenv::WriteFile(Path2(), text2);
        return Run(options);
    }

    std::string Run(const CompareOptions& options = {})
    {
        StringSink sink;
        outcome = CompareFiles(Path1(), Path2(), options, sink);
        return sink.text;
    }

    CompareOutcome outcome;

private:
    testenv::TempDir m_dir;
};

} // namespace enginetest
