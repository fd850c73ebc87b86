// The settings record: its defaults and the copy that the merge stage receives.
#include <gtest/gtest.h>

#include "EngineTestSupport.h"
#include "common/OutputFile.h"
#include "textcompare/CompareReport.h"
#include "textcompare/CompareSettings.h"

namespace {

TEST(CompareSettings, NewRecordHoldsTheDefaults)
{
    const CompareSettings s;
    EXPECT_EQ(s.m_strFile1LinePrefix, "|<<");
    EXPECT_EQ(s.m_strFile2LinePrefix, "||>>");
    EXPECT_EQ(s.m_strFile1SectionHeader + s.m_strFile1SectionFooter + s.m_strFile2SectionHeader +
                  s.m_strFile2SectionFooter + s.m_strOutputFile + s.m_strFile1Path + s.m_strFile2Path,
              "");
    EXPECT_EQ(s.m_bSynchScrolling, 1);
    EXPECT_EQ(s.m_bWriteCommonSections, 1);
    EXPECT_EQ(s.m_bShowLineNumbers, 1);
    EXPECT_EQ(s.m_bIgnoreWhitespace, 0);
    EXPECT_EQ(s.m_bIgnoreCase, 0);
    EXPECT_EQ(s.m_nFileCompareAlign, 0);
    EXPECT_EQ(s.m_nFileKind, CompareSettings::kFileKindUnknown);
    EXPECT_EQ(s.m_crFile1Color, 8388736);
    EXPECT_EQ(s.m_crFile2Color, 32768);
    EXPECT_FALSE(HasComparison(s.m_context));
}

TEST(CompareSettings, CopyCarriesEverythingButTheComparison)
{
    enginetest::CapturedHooks hooks;
    testenv::TempDir dir;
    testenv::WriteFile(dir.path() / "old.csv", "id\r\n1\r\n");
    testenv::WriteFile(dir.path() / "new.csv", "id\r\n2\r\n");

    // A record as a compare run leaves it: dump paths of the last pair, common
    // sections switched off and a comparison in its context.
    CompareSettings run;
    run.m_strFile1Path = (dir.path() / "old.csv").string();
    run.m_strFile2Path = (dir.path() / "new.csv").string();
    run.m_bWriteCommonSections = 0;
    run.m_strFile1LinePrefix = "<";
    run.m_bIgnoreCase = 1;
    run.m_crFile2Color = 7;
    {
        OutputFile merge((dir.path() / "merge.txt").string(), OutputFile::Mode::Untranslated);
        ASSERT_EQ(CompareFiles(run, merge), 1);
    }
    ASSERT_TRUE(HasComparison(run.m_context));

    CompareSettings copy(run);
    EXPECT_EQ(copy.m_strFile1Path, run.m_strFile1Path);
    EXPECT_EQ(copy.m_strFile2Path, run.m_strFile2Path);
    EXPECT_EQ(copy.m_bWriteCommonSections, 0);
    EXPECT_EQ(copy.m_strFile1LinePrefix, "<");
    EXPECT_EQ(copy.m_bIgnoreCase, 1);
    EXPECT_EQ(copy.m_crFile2Color, 7);
    EXPECT_FALSE(HasComparison(copy.m_context));

    // Assignment keeps the target's own comparison and its own context.
    CompareSettings target;
    target = run;
    EXPECT_EQ(target.m_strFile2Path, run.m_strFile2Path);
    EXPECT_FALSE(HasComparison(target.m_context));
    EXPECT_TRUE(HasComparison(run.m_context));
    EXPECT_TRUE(hooks.errors.empty());
}

} // namespace
