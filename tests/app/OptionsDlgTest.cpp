// The Options dialog: OK stores all sixteen values, Cancel stores nothing but
// the record holds the stored values again.
#include <gtest/gtest.h>

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

#include "AppTestSupport.h"
#include "app/COptionsDlg.h"
#include "app/ResourceModule.h"
#include "app/ResourceSource.h"
#include "app/SettingsStore.h"
#include "common/MemoryBudget.h"

namespace {

QLineEdit* Edit(COptionsDlg& dialog, int id)
{
    return dialog.Item<QLineEdit>(id);
}

class OptionsDialog : public apptest::WindowTest {
protected:
    apptest::IsolatedSettings isolated;
    ResourceModule own = ResourceModule::Own("/opt/tolvane/tolvane");
    ResourceSource resources{own};
    SettingsStore store{"Orvenne Software Inc.", "Tolvane and Merge"};
};

} // namespace

TEST_F(OptionsDialog, OkStoresTheSixTextsAndTheNineOthersAsRead)
{
    store.WriteInt("Compare Files", "Synch Scrolling", 0);
    store.WriteInt("Compare Files", "File 1 Color", 255);
    store.WriteInt("Compare Files", "Ignore Case", 1);
    store.WriteString("Compare Files", "File2 Section Header", "stored header");
    store.WriteInt("Compare Files", "Write Common Sections", 1);
    COptionsDlg dialog(store, resources);
    dialog.m_settings.LoadSettings(store);
    dialog.m_settings.m_bWriteCommonSections = 0;  // changed in the record, not stored
    dialog.m_settings.m_crFile2Color = 7;          // not in the store: the record's value stays

    std::vector<std::string> shown;
    const int result = apptest::WhileModal(
        [&](QDialog*) {
            for (int id : {COptionsDlg::kFile1LinePrefixEdit, COptionsDlg::kFile2LinePrefixEdit,
                            COptionsDlg::kFile1SectionHeaderEdit, COptionsDlg::kFile2SectionHeaderEdit,
                            COptionsDlg::kFile1SectionFooterEdit, COptionsDlg::kFile2SectionFooterEdit})
                shown.push_back(Edit(dialog, id)->text().toStdString());
            Edit(dialog, COptionsDlg::kFile1LinePrefixEdit)->setText("");
            Edit(dialog, COptionsDlg::kFile2LinePrefixEdit)->setText(" >> ");
            Edit(dialog, COptionsDlg::kFile1SectionHeaderEdit)->setText("H1");
            Edit(dialog, COptionsDlg::kFile2SectionHeaderEdit)->setText("H2");
            Edit(dialog, COptionsDlg::kFile1SectionFooterEdit)->setText("F1");
            Edit(dialog, COptionsDlg::kFile2SectionFooterEdit)->setText("F2");
            dialog.Item<QPushButton>(COptionsDlg::kOkButton)->click();
        },
        [&] { return dialog.DoModal(); });
    EXPECT_EQ(result, TemplateDialog::IDOK);
    EXPECT_EQ(shown, (std::vector<std::string>{"|<<", "||>>", "", "stored header", "", ""}));

    SettingsStore reread("Orvenne Software Inc.", "Tolvane and Merge");
    const std::string s = "Compare Files";
    EXPECT_EQ(reread.ReadString(s, "File1 Line Prefix", "<absent>"), "");
    EXPECT_EQ(reread.ReadString(s, "File2 Line Prefix", "<absent>"), " >> ");
    EXPECT_EQ(reread.ReadString(s, "File1 Section Header", "<absent>"), "H1");
    EXPECT_EQ(reread.ReadString(s, "File2 Section Header", "<absent>"), "H2");
    EXPECT_EQ(reread.ReadString(s, "File1 Section Footer", "<absent>"), "F1");
    EXPECT_EQ(reread.ReadString(s, "File2 Section Footer", "<absent>"), "F2");
    EXPECT_EQ(reread.ReadString(s, "Compare Output File", "<absent>"), "");
    EXPECT_EQ(reread.ReadInt(s, "Synch Scrolling", -1), 0);
    // The stored value as read when the dialog opened, not the run's cleared one.
    EXPECT_EQ(reread.ReadInt(s, "Write Common Sections", -1), 1);
    EXPECT_EQ(reread.ReadInt(s, "Ignore Whitespace", -1), 0);
    EXPECT_EQ(reread.ReadInt(s, "Ignore Case", -1), 1);
    EXPECT_EQ(reread.ReadInt(s, "File Compare Align", -1), 0);
    EXPECT_EQ(reread.ReadInt(s, "File 1 Color", -1), 255);
    EXPECT_EQ(reread.ReadInt(s, "File 2 Color", -1), 7);
    EXPECT_EQ(reread.ReadInt(s, "Show Line Numbers", -1), 1);
    EXPECT_EQ(dialog.m_settings.m_strFile1LinePrefix, "");
    EXPECT_EQ(apptest::TopLevelWidgetCount(), 0);
}

TEST_F(OptionsDialog, CancelStoresNothingButRereadsTheStore)
{
    store.WriteString("Compare Files", "File1 Line Prefix", "<<old");
    store.WriteInt("Compare Files", "Write Common Sections", 1);
    const std::string before = testenv::ReadFile(store.FileName());
    COptionsDlg dialog(store, resources);
    dialog.m_settings.m_bWriteCommonSections = 0;
    const int result = apptest::WhileModal(
        [&](QDialog*) {
            Edit(dialog, COptionsDlg::kFile1LinePrefixEdit)->setText("typed");
            dialog.Item<QPushButton>(COptionsDlg::kCancelButton)->click();
        },
        [&] { return dialog.DoModal(); });
    EXPECT_EQ(result, TemplateDialog::IDCANCEL);
    EXPECT_EQ(testenv::ReadFile(store.FileName()), before);
    EXPECT_EQ(dialog.m_settings.m_bWriteCommonSections, 1);
    EXPECT_EQ(dialog.m_settings.m_strFile1LinePrefix, "<<old");
    EXPECT_EQ(apptest::TopLevelWidgetCount(), 0);
}

TEST_F(OptionsDialog, MemoryPerComparisonTakesOnlySizes)
{
    apptest::FakeUserDialogs dialogs;
    COptionsDlg dialog(store, resources, nullptr, &dialogs);
    std::string placeholder;
    bool stayedOpen = false;
    const int result = apptest::WhileModal(
        [&](QDialog* window) {
            QLineEdit* memory = Edit(dialog, COptionsDlg::kMemoryBudgetEdit);
            placeholder = memory->placeholderText().toStdString();
            memory->setText("lots");
            dialog.Item<QPushButton>(COptionsDlg::kOkButton)->click();
            stayedOpen = window->isVisible();
            memory->setText("768M");
            dialog.Item<QPushButton>(COptionsDlg::kOkButton)->click();
        },
        [&] { return dialog.DoModal(); });
    EXPECT_EQ(result, TemplateDialog::IDOK);
    EXPECT_TRUE(stayedOpen);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].text.find("512M or 4G"), std::string::npos) << dialogs.messages[0].text;
    // An empty field is the default, shown greyed.
    EXPECT_EQ(placeholder, MemorySizeText(DefaultMemoryBudget()));
    SettingsStore reread("Orvenne Software Inc.", "Tolvane and Merge");
    EXPECT_EQ(reread.ReadString("Compare Files", "Memory Budget", "<absent>"), "768M");
}
