// The program's own resources: the string table is the one of
// resources/strings.txt, every dialog template is there and well formed, and
// the version is the program's.
#include <gtest/gtest.h>

#include <ostream>

// The About dialog's header needs these complete (its link and icon button hold them in QPointers).
#include <QAbstractButton>
#include <QLineEdit>

#include "app/CAboutDlg.h"
#include "app/CCompareDlg.h"
#include "app/COptionsDlg.h"
#include "app/CProgressDlg.h"
#include "app/DataSourceChooserDlg.h"
#include "app/LoginDlg.h"
#include "app/ModuleVersion.h"
#include "app/ResourceModule.h"
#include "app/ResourceSource.h"
#include "app/StringTable.h"
#include "common/ResourceStrings.h"

TEST(OwnResources, StringTableMatchesTheCoresCopy)
{
    const ResourceModule own = ResourceModule::Own("/opt/tolvane/tolvane");
    const auto bytes = own.Read("strings.txt");
    ASSERT_TRUE(bytes);
    const auto table = ParseStringTable(*bytes);
    ASSERT_GE(table.size(), 24u);
    for (const auto& [id, text] : table)
        EXPECT_EQ(BuiltInString(id).value_or("<missing>"), text) << "string " << id;
    EXPECT_EQ(table.at(57344), "Tolvane and Merge");
    EXPECT_EQ(table.at(2139), "Orvenne Software Inc.");
    const std::string mismatch = table.at(3018);
    EXPECT_EQ(mismatch.substr(0, mismatch.find('\n')), "Language DLL version does not match that of the program.");
    EXPECT_NE(mismatch.find("\nPlease download"), std::string::npos);
}

TEST(OwnResources, VersionIsTheProgramsFourPartVersion)
{
    const ResourceModule own = ResourceModule::Own("/opt/tolvane/tolvane");
    std::string version = "unchanged";
    ASSERT_TRUE(GetModuleVersionString(own, version));
    EXPECT_EQ(version, "0.1.1.0");
    EXPECT_EQ(version, TOLVANE_PROGRAM_VERSION);
}

struct TemplateCase {
    const char* name;
    int id;
    const char* caption;
    int cx, cy;
    std::vector<int> controlIds;
};

// ctest lists a case by its dialog's name, not by the bytes of its parameter.
void PrintTo(const TemplateCase& c, std::ostream* os)
{
    *os << c.name;
}

class OwnTemplates : public ::testing::TestWithParam<TemplateCase> {};

TEST_P(OwnTemplates, AreThereWithTheirControls)
{
    const TemplateCase& c = GetParam();
    const ResourceModule own = ResourceModule::Own("/opt/tolvane/tolvane");
    ResourceSource source(own);
    const auto dialog = source.LoadDialogTemplate(c.id);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->id, c.id);
    EXPECT_EQ(dialog->caption, c.caption);
    EXPECT_EQ(dialog->cx, c.cx);
    EXPECT_EQ(dialog->cy, c.cy);
    EXPECT_EQ(dialog->fontFamily, "MS Sans Serif");
    EXPECT_EQ(dialog->fontPointSize, 8);
    for (int id : c.controlIds)
        EXPECT_NE(dialog->FindControl(id), nullptr) << "control " << id;
}

INSTANTIATE_TEST_SUITE_P(
    All, OwnTemplates,
    ::testing::Values(
        TemplateCase{"Progress", CProgressDlg::IDD, "Processing", 204, 89,
                     {CProgressDlg::kStatusText, CProgressDlg::kProgressBar, CProgressDlg::kCancelButton}},
        TemplateCase{"Main", CCompareDlg::IDD, "Compare Data Sources", 187, 203,
                     {CCompareDlg::kOldDataSourceEdit, CCompareDlg::kBrowseOldDataSourceButton,
                      CCompareDlg::kNewDataSourceEdit, CCompareDlg::kBrowseNewDataSourceButton, CCompareDlg::kTableList,
                      CCompareDlg::kUpdateButton, CCompareDlg::kOptionsButton, CCompareDlg::kDiffPathEdit,
                      CCompareDlg::kBrowseDiffPathButton, CCompareDlg::kDeleteDumpsCheck,
                      CCompareDlg::kCompareTablesCheck, CCompareDlg::kProcessButton, CCompareDlg::kMergeDataButton,
                      CCompareDlg::kCloseButton, CCompareDlg::kAboutButton}},
        TemplateCase{"Options", COptionsDlg::IDD, "Options", 220, 139,
                     {COptionsDlg::kFile1LinePrefixEdit, COptionsDlg::kFile2LinePrefixEdit,
                      COptionsDlg::kFile1SectionHeaderEdit, COptionsDlg::kFile2SectionHeaderEdit,
                      COptionsDlg::kFile1SectionFooterEdit, COptionsDlg::kFile2SectionFooterEdit,
                      COptionsDlg::kMemoryBudgetEdit, COptionsDlg::kOkButton,
                      COptionsDlg::kCancelButton}},
        TemplateCase{"DataSourceChooser", DataSourceChooserDlg::IDD, "Select Data Source", 240, 160,
                     {DataSourceChooserDlg::kDataSourceList, DataSourceChooserDlg::kOkButton,
                      DataSourceChooserDlg::kCancelButton}},
        TemplateCase{"Login", LoginDlg::IDD, "Login", 200, 100,
                     {LoginDlg::kDataSourceText, LoginDlg::kUserEdit, LoginDlg::kPasswordEdit, LoginDlg::kReasonText,
                      LoginDlg::kOkButton, LoginDlg::kCancelButton}},
        TemplateCase{"About", CAboutDlg::IDD, "About Tolvane", 229, 141,
                     {CAboutDlg::kIconButton, CAboutDlg::kWebLink, CAboutDlg::kMailLink, CAboutDlg::kMemoryText,
                      CAboutDlg::kDiskText, CAboutDlg::kOkButton}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(OwnResources, MainDialogControlsAsLaidOut)
{
    const ResourceModule own = ResourceModule::Own("/opt/tolvane/tolvane");
    ResourceSource source(own);
    const auto dialog = source.LoadDialogTemplate(CCompareDlg::IDD);
    ASSERT_TRUE(dialog);
    const auto* process = dialog->FindControl(CCompareDlg::kProcessButton);
    ASSERT_TRUE(process);
    EXPECT_EQ(process->text, "P&rocess");
    EXPECT_TRUE(process->HasStyle("default"));
    EXPECT_TRUE(process->HasStyle("disabled"));
    EXPECT_EQ((std::vector<int>{process->x, process->y, process->cx, process->cy}), (std::vector<int>{127, 154, 59, 14}));
    const auto* list = dialog->FindControl(CCompareDlg::kTableList);
    EXPECT_EQ((std::vector<int>{list->x, list->y, list->cx, list->cy}), (std::vector<int>{2, 37, 184, 78}));
    EXPECT_EQ(dialog->FindControl(CCompareDlg::kDeleteDumpsCheck)->text, "D&elete Table Dump Files");
    EXPECT_EQ(dialog->FindControl(CCompareDlg::kCompareTablesCheck)->text, "&Compare Tables");
}

TEST(OwnResources, IconIsThere)
{
    const ResourceModule own = ResourceModule::Own("/opt/tolvane/tolvane");
    ResourceSource source(own);
    EXPECT_FALSE(source.LoadIcon(128).isNull());
    EXPECT_TRUE(source.LoadIcon(129).isNull());
}

TEST(OwnResources, TheLinksHandCursorAndMenuAreThere)
{
    const ResourceModule own = ResourceModule::Own("/opt/tolvane/tolvane");
    ResourceSource source(own);
    const auto cursor = source.LoadCursor(130);
    ASSERT_TRUE(cursor);
    EXPECT_EQ(cursor->shape(), Qt::BitmapCursor);
    EXPECT_EQ(cursor->hotSpot(), QPoint(5, 0));  // the fingertip
    EXPECT_FALSE(source.LoadCursor(131));

    const auto menu = source.LoadMenuTemplate(103);
    ASSERT_TRUE(menu);
    EXPECT_EQ(menu->name, "_POPUP_");
    std::vector<std::pair<int, std::string>> items;
    for (const auto& item : menu->items)
        items.emplace_back(item.id, item.text);
    EXPECT_EQ(items, (std::vector<std::pair<int, std::string>>{
                         {32776, "&Open"}, {32771, "Copy Shor&tcut"}, {32774, "Add to &Favorites"},
                         {32775, "Add to &Desktop"}}));
}

TEST(StringTableFormat, ParsesNumbersTabsAndLineBreaks)
{
    const auto table = ParseStringTable("# comment\n10\tone\r\n11\ttwo\\nlines\nnot a line\n12\t\n\t13\n");
    EXPECT_EQ(table.size(), 3u);
    EXPECT_EQ(table.at(10), "one");
    EXPECT_EQ(table.at(11), "two\nlines");
    EXPECT_EQ(table.at(12), "");
}
