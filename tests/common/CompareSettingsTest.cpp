// The settings record: its defaults and the copy that the merge stage receives.
#include "common/CompareSettings.h"

#include <gtest/gtest.h>

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
}

TEST(CompareSettings, CopyCarriesEveryField)
{
    // A record as a compare run leaves it: dump paths of the last pair and
    // common sections switched off. It holds no comparison state to leave out.
    CompareSettings run;
    run.m_strFile1Path = "/diff/old.people.csv";
    run.m_strFile2Path = "/diff/new.people.csv";
    run.m_bWriteCommonSections = 0;
    run.m_strFile1LinePrefix = "<";
    run.m_bIgnoreCase = 1;
    run.m_crFile2Color = 7;

    const CompareSettings copy(run);
    EXPECT_EQ(copy.m_strFile1Path, run.m_strFile1Path);
    EXPECT_EQ(copy.m_strFile2Path, run.m_strFile2Path);
    EXPECT_EQ(copy.m_bWriteCommonSections, 0);
    EXPECT_EQ(copy.m_strFile1LinePrefix, "<");
    EXPECT_EQ(copy.m_bIgnoreCase, 1);
    EXPECT_EQ(copy.m_crFile2Color, 7);

    CompareSettings target;
    target = run;
    EXPECT_EQ(target.m_strFile2Path, run.m_strFile2Path);
    EXPECT_EQ(target.m_crFile2Color, 7);
}

} // namespace
