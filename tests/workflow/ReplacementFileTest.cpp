// A replacement file shows its final name only whole: committed it replaces
// the previous file, dropped it leaves that file and no temporary behind.
#include <gtest/gtest.h>

#include <filesystem>

#include "TestEnv.h"
#include "workflow/ReplacementFile.h"

namespace {

namespace fs = std::filesystem;

std::size_t EntryCount(const fs::path& dir)
{
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

} // namespace

TEST(ReplacementFile, TheFinalNameChangesOnlyOnCommit)
{
    testenv::TempDir dir;
    const fs::path final = dir.path() / "merge.txt";
    testenv::WriteFile(final, "previous");
    for (const bool commit : {false, true}) {
        {
            ReplacementFile file(final.string(), OutputFile::Mode::Untranslated);
            file.File().Write("new content");
            file.File().Flush();
            EXPECT_EQ(testenv::ReadFile(final), "previous");
            EXPECT_EQ(EntryCount(dir.path()), 2u);
            if (commit)
                file.Commit();
        }
        EXPECT_EQ(testenv::ReadFile(final), commit ? "new content" : "previous");
        EXPECT_EQ(EntryCount(dir.path()), 1u);
    }
}

TEST(ReplacementFile, ACreateErrorNamesTheFinalPath)
{
    testenv::TempDir dir;
    const std::string final = dir.str() + "/missing/merge.txt";
    try {
        ReplacementFile file(final, OutputFile::Mode::Untranslated);
        FAIL() << "created in a missing folder";
    } catch (const FileError& error) {
        EXPECT_EQ(error.path(), final);
        EXPECT_NE(std::string(error.what()).find(final), std::string::npos) << error.what();
    }
}

TEST(ReplacementFile, TruncateTakesBackWhatWasWritten)
{
    testenv::TempDir dir;
    const fs::path final = dir.path() / "merge.txt";
    ReplacementFile file(final.string(), OutputFile::Mode::Untranslated);
    file.File().Write("kept|");
    const std::uint64_t mark = file.File().Size();
    file.File().Write(std::string(100000, 'x'));  // past the buffer: partly on disk
    file.File().Truncate(mark);
    file.File().Write("after");
    file.Commit();
    EXPECT_EQ(testenv::ReadFile(final), "kept|after");
}
