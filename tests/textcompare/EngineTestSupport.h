#pragma once
// Helpers for the comparison engine's tests: files in a temporary directory,
// the hooks captured instead of shown, and the result list as plain values.
#include <cstdint>
#include <string>
#include <vector>

#include "TestEnv.h"
#include "common/UiHooks.h"
#include "textcompare/CompareContext.h"
#include "textcompare/ComparisonOptions.h"
#include "textcompare/LineBlock.h"

namespace enginetest {

// A pointer field of a packed engine record, copied out: gtest's assertions
// take their arguments by reference, which a packed field cannot bind to.
template <class T>
T* Ptr(T* pointer)
{
    return pointer;
}

// Lines joined with CR LF after each one.
inline std::string CrLfLines(const std::vector<std::string>& lines)
{
    std::string text;
    for (const auto& line : lines)
        text += line + "\r\n";
    return text;
}

// Records the error boxes and the debug output while it lives.
class CapturedHooks {
public:
    CapturedHooks()
    {
        SetErrorReporter([this](const std::string& caption, const std::string& text) {
            errors.push_back(caption + "|" + text);
        });
        SetDebugSink([this](const std::string& text) { debug += text; });
    }
    ~CapturedHooks()
    {
        SetErrorReporter(nullptr);
        SetDebugSink(nullptr);
    }
    CapturedHooks(const CapturedHooks&) = delete;
    CapturedHooks& operator=(const CapturedHooks&) = delete;

    std::vector<std::string> errors;  // "caption|text"
    std::string debug;
};

// Sets the comparison options for its lifetime.
class OptionsScope {
public:
    OptionsScope(bool ignoreWhitespace, bool ignoreCase) : m_saved(g_comparisonOptions)
    {
        g_comparisonOptions.ignoreWhitespace = ignoreWhitespace ? 1 : 0;
        g_comparisonOptions.ignoreCase = ignoreCase ? 1 : 0;
    }
    ~OptionsScope() { g_comparisonOptions = m_saved; }
    OptionsScope(const OptionsScope&) = delete;
    OptionsScope& operator=(const OptionsScope&) = delete;

private:
    ComparisonOptions m_saved;
};

// One entry of a result list, by value.
struct Entry {
    std::int32_t type;
    std::int32_t firstLine;  // line numbers of the entry's own first and last line
    std::int32_t lastLine;
    std::int32_t file1Line;
    std::int32_t file2Line;

    bool operator==(const Entry&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Entry& e)
{
    const char* type = e.type == Common ? "Common" : e.type == OnlyInFile1 ? "OnlyInFile1" : e.type == OnlyInFile2 ? "OnlyInFile2" : "?";
    return out << "{" << type << ", lines " << e.firstLine << "-" << e.lastLine << ", file1 " << e.file1Line
               << ", file2 " << e.file2Line << "}";
}

inline std::vector<Entry> Entries(const LineList* list)
{
    std::vector<Entry> entries;
    for (const LineBlock* b = FirstBlock(list); b; b = NextBlock(b))
        entries.push_back({b->type, b->first->lineNumber, b->last->lineNumber, b->file1Line, b->file2Line});
    return entries;
}

// Two files in a temporary directory, compared into a context.
class ComparedFiles {
public:
    ComparedFiles(const std::string& text1, const std::string& text2)
    {
        testenv::WriteFile(Path1(), text1);
        testenv::WriteFile(Path2(), text2);
        BuildContext(Path1(), Path2(), context);
    }
    ~ComparedFiles() { ReleaseContext(context); }
    ComparedFiles(const ComparedFiles&) = delete;
    ComparedFiles& operator=(const ComparedFiles&) = delete;

    std::string Path1() const { return (m_dir.path() / "old.csv").string(); }
    std::string Path2() const { return (m_dir.path() / "new.csv").string(); }
    std::vector<Entry> Result() const { return Entries(context.result); }

    CompareContext context;

private:
    testenv::TempDir m_dir;
};

} // namespace enginetest
