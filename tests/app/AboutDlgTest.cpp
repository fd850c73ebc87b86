// The About dialog: the memory and disk lines for given machines, the icon
// button, the two links and their targets, and the main dialog's About.
#include <gtest/gtest.h>

#include <ostream>

#include <QAbstractButton>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "AppTestSupport.h"
#include "MainDialogHarness.h"
#include "app/AboutTexts.h"
#include "common/ResourceStrings.h"
#include "app/CAboutDlg.h"
#include "app/ResourceModule.h"
#include "app/ResourceSource.h"
#include "app/SystemFacts.h"
#include "ui/DialogBuilder.h"
#include "ui/LinkShell.h"

namespace {

class FakeFacts : public SystemFacts {
public:
    std::optional<std::uint64_t> TotalPhysicalMemory() const override { return memory; }
    std::optional<std::uint64_t> FreeDiskSpace() const override { return disk; }

    std::optional<std::uint64_t> memory;
    std::optional<std::uint64_t> disk;
};

class FakeShell : public LinkShell {
public:
    bool Open(const std::string& target, QWidget*) override
    {
        opened.push_back(target);
        return true;
    }
    std::optional<std::string> FavoritesFolder() const override { return std::nullopt; }
    std::optional<std::string> DesktopFolder() const override { return std::nullopt; }

    std::vector<std::string> opened;
};

std::string LabelText(CAboutDlg& dialog, int id)
{
    auto* label = dialog.Item<QLabel>(id);
    return label ? label->text().toStdString() : "<no label>";
}

class AboutDialog : public apptest::WindowTest {
protected:
    ResourceModule own = ResourceModule::Own("/opt/tolvane/tolvane");
    ResourceSource resources{own};
    FakeShell shell;
    FakeFacts facts;
};

constexpr std::uint64_t kMb = 1024 * 1024;

struct FactsCase {
    const char* name;
    std::optional<std::uint64_t> memory;
    std::optional<std::uint64_t> disk;
    const char* memoryText;
    const char* diskText;
};

// ctest lists a case by its name, not by the bytes of its parameter.
void PrintTo(const FactsCase& c, std::ostream* os)
{
    *os << c.name;
}

class AboutFacts : public AboutDialog, public ::testing::WithParamInterface<FactsCase> {};

TEST_P(AboutFacts, FillTheMemoryAndDiskLines)
{
    const FactsCase& c = GetParam();
    facts.memory = c.memory;
    facts.disk = c.disk;
    CAboutDlg dialog(resources, shell, facts);
    std::string memory;
    std::string disk;
    const int result = apptest::WhileModal(
        [&](QDialog*) {
            memory = LabelText(dialog, CAboutDlg::kMemoryText);
            disk = LabelText(dialog, CAboutDlg::kDiskText);
            dialog.Item<QPushButton>(CAboutDlg::kOkButton)->click();
        },
        [&] { return dialog.DoModal(); });
    EXPECT_EQ(result, TemplateDialog::IDOK);
    EXPECT_EQ(memory, c.memoryText);
    EXPECT_EQ(disk, c.diskText);
}

INSTANTIATE_TEST_SUITE_P(
    All, AboutFacts,
    ::testing::Values(FactsCase{"Bytes", 128 * kMb, 500, "131072 KB", "500 bytes Free"},
                      FactsCase{"Kilobytes", 128 * kMb, 10240, "131072 KB", "10 KB Free"},
                      FactsCase{"Megabytes", 128 * kMb, 3670016, "131072 KB", "3.50 MB Free"},
                      FactsCase{"Gigabytes", 128 * kMb, 5368709120, "131072 KB", "5.00 GB Free"},
                      FactsCase{"ExactlyOneGigabyte", 128 * kMb, 1073741824, "131072 KB", "1024.00 MB Free"},
                      FactsCase{"DiskQueryFails", 128 * kMb, std::nullopt, "131072 KB", "Unavailable"},
                      FactsCase{"MemoryQueryFails", std::nullopt, 500, "Unavailable", "500 bytes Free"}),
    [](const auto& info) { return std::string(info.param.name); });

// While the German module is in use, sizes are written in German form.
TEST_F(AboutDialog, SizesTakeTheDecimalMarkOfTheLanguage)
{
    const auto german = ResourceModule::Load(TOLVANE_DE_MODULE);
    ASSERT_TRUE(german);
    ResourceSource source(own);
    source.UseModule(german.get());
    source.InstallAsStringLoader();
    EXPECT_EQ(DiskText(249925312348), "232,76 GB frei");
    EXPECT_EQ(DiskText(3670016), "3,50 MB frei");
    EXPECT_EQ(DiskText(500), "500 Bytes frei");
    // The program's own strings again.
    SetStringLoader(nullptr);
    EXPECT_EQ(DiskText(249925312348), "232.76 GB Free");
}

TEST_F(AboutDialog, ShowsTheIconLargeAndLinksToTheProject)
{
    facts.memory = 128 * kMb;
    facts.disk = 500;
    CAboutDlg dialog(resources, shell, facts);
    apptest::WhileModal(
        [&](QDialog* window) {
            EXPECT_EQ(window->windowTitle().toStdString(), "About Tolvane");
            auto* icon = dialog.Item<QAbstractButton>(CAboutDlg::kIconButton);
            ASSERT_NE(icon, nullptr);
            EXPECT_FALSE(icon->isEnabled());
            const QSize iconSize = CIconButton::StandardIconSize();
            EXPECT_EQ(icon->size(), QSize(2 * iconSize.width() + 8, 2 * iconSize.height() + 8));
            EXPECT_EQ(dialog.m_iconButton.Button(), icon);

            EXPECT_EQ(dialog.m_webLink.Target(), "https://orvenne.example/tolvane");
            EXPECT_EQ(dialog.m_webLink.Text(), "Visit us at orvenne.example/tolvane");
            EXPECT_EQ(dialog.m_mailLink.Target(), "mailto:tolvane@orvenne.example");
            EXPECT_EQ(dialog.m_mailLink.Text(), "Write to tolvane@orvenne.example");
            for (int id : {CAboutDlg::kWebLink, CAboutDlg::kMailLink}) {
                auto* edit = dialog.Item<QLineEdit>(id);
                ASSERT_NE(edit, nullptr);
                EXPECT_TRUE(edit->isReadOnly());
                EXPECT_EQ(edit->width(), edit->fontMetrics().horizontalAdvance(edit->text())) << "control " << id;
            }
            EXPECT_EQ(dialog.m_webLink.Edit(), dialog.Item<QLineEdit>(CAboutDlg::kWebLink));
            EXPECT_EQ(dialog.m_mailLink.Edit(), dialog.Item<QLineEdit>(CAboutDlg::kMailLink));

            QTest::mouseClick(dialog.Item<QLineEdit>(CAboutDlg::kMailLink), Qt::LeftButton, Qt::NoModifier,
                              QPoint(2, 2));
            QCoreApplication::processEvents();
            window->accept();
        },
        [&] { return dialog.DoModal(); });
    EXPECT_EQ(shell.opened, std::vector<std::string>{"mailto:tolvane@orvenne.example"});
}

class MainDialogAbout : public apptest::WindowTest {};

TEST_F(MainDialogAbout, OpensAboutModallyOverTheMainDialog)
{
    apptest::MainDialogHarness harness;
    CCompareDlg& main = harness.Open();
    std::string caption;
    std::string memory;
    std::string disk;
    QWidget* parent = nullptr;
    apptest::WhileModal(
        [&](QDialog* about) {
            caption = about->windowTitle().toStdString();
            parent = about->parentWidget();
            memory = apptest::Control<QLabel>(about, CAboutDlg::kMemoryText)->text().toStdString();
            disk = apptest::Control<QLabel>(about, CAboutDlg::kDiskText)->text().toStdString();
            about->accept();
        },
        [&] {
            harness.Button(CCompareDlg::kAboutButton)->click();
            return 0;
        });
    EXPECT_EQ(caption, "About Tolvane");
    EXPECT_EQ(parent, main.Window());
    // The machine's own figures.
    EXPECT_TRUE(memory.ends_with(" KB") && memory != "0 KB") << memory;
    EXPECT_TRUE(disk.ends_with(" Free")) << disk;
    harness.Close();
    EXPECT_EQ(apptest::TopLevelWidgetCount(), 0);
}

} // namespace
