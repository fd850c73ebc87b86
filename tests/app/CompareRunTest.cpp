// The compare run end to end on SQLite data sources: the merge file byte for
// byte, what the two check boxes gate, the difference data path, repeated
// runs, cancelling (also while a table is being dumped), an error in the
// middle of a run, what the user is told about the tables a stopped run left
// out, and a folder another run is writing.
#include <gtest/gtest.h>

#include <QApplication>
#include <QEvent>
#include <QProgressBar>
#include <QPushButton>

#include <dirent.h>
#include <algorithm>
#include <filesystem>

#include "MainDialogHarness.h"
#include "RawOdbc.h"
#include "app/CProgressDlg.h"
#include "app/QtHooks.h"
#include "workflow/CompareFolderLock.h"
#include "workflow/CompareRun.h"
#include "common/UiHooks.h"

namespace {

namespace fs = std::filesystem;
using apptest::MainDialogHarness;

const std::string kOld = apptest::OldDataSource();
const std::string kNew = apptest::NewDataSource();

const std::string kPeopleTable = "CREATE TABLE people (id INTEGER NOT NULL PRIMARY KEY, name VARCHAR(20), note VARCHAR(40))";
const std::string kItemsTable = "CREATE TABLE items (code VARCHAR(10) NOT NULL, qty INTEGER NOT NULL, label VARCHAR(10))";

void ResetTables(const std::string& dataSource)
{
    rawodbc::Connection connection(dataSource);
    for (const char* name : {"people", "items", "t1", "t2", "t3", "t4", "Customer", "CUSTOMER", "Orders", "Region"})
        connection.ExecIgnoringErrors(std::string("DROP TABLE \"") + name + "\"");
    connection.ExecIgnoringErrors("DROP VIEW \"SomeView\"");
}

void CreateSampleTables()
{
    ResetTables(kOld);
    ResetTables(kNew);
    apptest::Exec(kOld, {kPeopleTable, kItemsTable,
                         "INSERT INTO people VALUES (1, 'Ann', 'a, \"quoted\"')",
                         "INSERT INTO people VALUES (2, 'Bob', 'b')",
                         "INSERT INTO people VALUES (3, 'Cy', NULL)",
                         "INSERT INTO items VALUES ('a', 1, 'x')",
                         "INSERT INTO items VALUES ('b', 2, 'y')",
                         "INSERT INTO items VALUES ('c', 3, 'z')"});
    apptest::Exec(kNew, {kPeopleTable, kItemsTable,
                         "INSERT INTO people VALUES (1, 'Ann', 'a, \"quoted\"')",
                         "INSERT INTO people VALUES (2, 'Bob', 'B!')",
                         "INSERT INTO people VALUES (3, 'Cy', NULL)",
                         "INSERT INTO people VALUES (4, 'Dee', 'it''s')",
                         "INSERT INTO items VALUES ('a', 1, 'x')",
                         "INSERT INTO items VALUES ('c', 3, 'z')"});
}

const std::string kPeopleSection =
    "\r\nTable=[people]0\r\nColumns=\"id\",\"name\",\"note\"\r\n\r\n"
    "|<<2,\"Bob\",\"b\"\r\n"
    "||>>2,\"Bob\",\"B!\"\r\n"
    "||>>4,\"Dee\",\"it's\"\r\n";
const std::string kItemsSection =
    "\r\nTable=[items]0,1\r\nColumns=\"code\",\"qty\",\"label\"\r\n\r\n"
    "|<<\"b\",2,\"y\"\r\n";

std::string End(int sections)
{
    return "\r\nEnd=[" + std::to_string(sections) + "]\r\n";
}

// A pair t1 to t4 as the run writes it: one row changed.
std::string TSection(const std::string& table)
{
    return "\r\nTable=[" + table + "]0\r\nColumns=\"id\",\"v\"\r\n\r\n|<<1,\"old\"\r\n||>>1,\"new\"\r\n";
}

int OpenFileCount()
{
    int count = 0;
    if (DIR* dir = opendir("/proc/self/fd")) {
        while (readdir(dir))
            ++count;
        closedir(dir);
    }
    return count;
}

QWidget* ProgressWindow()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isVisible() && widget->findChild<QProgressBar*>(QString(), Qt::FindDirectChildrenOnly))
            return widget;
    return nullptr;
}

class CompareRunTest : public apptest::WindowTest {
protected:
    void SetUp() override
    {
        if (!apptest::PrivateDataSourcesAvailable())
            GTEST_SKIP() << "data sources not set up: run the tests with scripts/test";
        CreateSampleTables();
        h.Open();
        h.SetNames(kOld, kNew);
        h.Edit(CCompareDlg::kDiffPathEdit)->setText(QString::fromStdString(work.str() + "/"));
    }
    void TearDown() override
    {
        SetMessagePump(&ProcessWaitingEvents);
        h.Close();
        apptest::WindowTest::TearDown();
    }

    // Update, then Process on the rows Update selected.
    void UpdateAndProcess()
    {
        h.Button(CCompareDlg::kUpdateButton)->click();
        ASSERT_TRUE(h.dialogs.messages.empty()) << h.dialogs.messages[0].text;
        h.Button(CCompareDlg::kProcessButton)->click();
    }
    // The merge file expected for the selected rows in list order.
    std::string ExpectedMergeFile() const
    {
        std::string expected;
        int sections = 0;
        for (const TablePairRow& row : h.dialog->TableRows()) {
            if (!row.selected)
                continue;
            expected += row.oldName == "people" ? kPeopleSection : kItemsSection;
            ++sections;
        }
        return expected + End(sections);
    }
    fs::path MergeFile() const { return work.path() / "Vantor_Merge.txt"; }
    fs::path Dump(const std::string& dataSource, const std::string& table) const
    {
        return work.path() / (dataSource + "." + table + ".csv");
    }

    // Tables t1 to t4 on both sides, each with its one row changed, listed and
    // selected as four pairs.
    void SelectFourChangedPairs()
    {
        ResetTables(kOld);
        ResetTables(kNew);
        for (const char* table : {"t1", "t2", "t3", "t4"}) {
            const std::string t = table;
            apptest::Exec(kOld, {"CREATE TABLE " + t + " (id INTEGER NOT NULL PRIMARY KEY, v VARCHAR(10))",
                                 "INSERT INTO " + t + " VALUES (1, 'old')"});
            apptest::Exec(kNew, {"CREATE TABLE " + t + " (id INTEGER NOT NULL PRIMARY KEY, v VARCHAR(10))",
                                 "INSERT INTO " + t + " VALUES (1, 'new')"});
        }
        h.Button(CCompareDlg::kUpdateButton)->click();
        h.dialog->FillTableList({{"t1", "t1", true}, {"t2", "t2", true}, {"t3", "t3", true}, {"t4", "t4", true}});
    }

    testenv::TempDir work;
    MainDialogHarness h;
};

} // namespace

TEST_F(CompareRunTest, MergeFileByteForByteForTwoTables)
{
    h.store.WriteInt("Compare Files", "Write Common Sections", 1);
    UpdateAndProcess();
    EXPECT_TRUE(h.dialogs.messages.empty()) << h.dialogs.messages[0].text;
    ASSERT_EQ(h.dialog->TableRows().size(), 2u);
    EXPECT_EQ(testenv::ReadFile(MergeFile()), ExpectedMergeFile());

    EXPECT_EQ(testenv::ReadFile(Dump(kOld, "people")),
              "id,name,note\r\n1,\"Ann\",\"a, \"\"quoted\"\"\"\r\n2,\"Bob\",\"b\"\r\n3,\"Cy\",NULL\r\n");
    EXPECT_TRUE(fs::exists(Dump(kNew, "people")));
    EXPECT_TRUE(fs::exists(Dump(kOld, "items")));
    EXPECT_TRUE(fs::exists(Dump(kNew, "items")));

    // The run leaves the record as the user set it (it wrote no common lines
    // all the same), and the store too.
    const CompareSettings& record = h.dialog->m_options.m_settings;
    EXPECT_EQ(record.m_strFile1Path, "");
    EXPECT_EQ(record.m_strFile2Path, "");
    EXPECT_EQ(record.m_bWriteCommonSections, 1);
    EXPECT_EQ(h.store.ReadInt("Compare Files", "Write Common Sections", -1), 1);

    EXPECT_TRUE(h.dialog->Window()->isEnabled());
    EXPECT_TRUE(h.dialog->Window()->isVisible());
    EXPECT_EQ(ProgressWindow(), nullptr);
    EXPECT_FALSE(h.dialog->m_dbOld.IsOpen());
    EXPECT_FALSE(h.dialog->m_dbNew.IsOpen());
}

TEST_F(CompareRunTest, TwoRunsInARowEmptyTheMergeFileFirst)
{
    UpdateAndProcess();
    h.Button(CCompareDlg::kProcessButton)->click();
    EXPECT_TRUE(h.dialogs.messages.empty());
    EXPECT_EQ(testenv::ReadFile(MergeFile()), ExpectedMergeFile());
}

TEST_F(CompareRunTest, DeleteTableDumpFilesRemovesTheDumps)
{
    h.Check(CCompareDlg::kDeleteDumpsCheck)->setChecked(true);
    UpdateAndProcess();
    EXPECT_EQ(testenv::ReadFile(MergeFile()), ExpectedMergeFile());
    for (const char* table : {"people", "items"}) {
        EXPECT_FALSE(fs::exists(Dump(kOld, table)));
        EXPECT_FALSE(fs::exists(Dump(kNew, table)));
    }
}

TEST_F(CompareRunTest, WithoutCompareTablesOnlyDumpsAreMade)
{
    h.Check(CCompareDlg::kCompareTablesCheck)->setChecked(false);
    h.Button(CCompareDlg::kUpdateButton)->click();
    h.dialog->FillTableList({{"people", "", true}, {"", "items", true}, {"items", "items", false}});
    h.Button(CCompareDlg::kProcessButton)->click();
    EXPECT_TRUE(h.dialogs.messages.empty()) << h.dialogs.messages[0].text;
    EXPECT_FALSE(fs::exists(MergeFile()));
    EXPECT_TRUE(fs::exists(Dump(kOld, "people")));
    EXPECT_FALSE(fs::exists(Dump(kNew, "people")));
    EXPECT_TRUE(fs::exists(Dump(kNew, "items")));
    EXPECT_FALSE(fs::exists(Dump(kOld, "items")));  // not selected
}

TEST_F(CompareRunTest, WithoutCompareTablesAndDeleteDumpsNothingStays)
{
    h.Check(CCompareDlg::kCompareTablesCheck)->setChecked(false);
    h.Check(CCompareDlg::kDeleteDumpsCheck)->setChecked(true);
    UpdateAndProcess();
    EXPECT_TRUE(h.dialogs.messages.empty());
    EXPECT_FALSE(fs::exists(MergeFile()));
    EXPECT_TRUE(fs::is_empty(work.path()));
}

TEST_F(CompareRunTest, WithoutCompareTablesAnEmptySideIsNotConnected)
{
    h.Check(CCompareDlg::kCompareTablesCheck)->setChecked(false);
    h.SetNames("", kNew);
    h.Button(CCompareDlg::kUpdateButton)->click();
    EXPECT_EQ(h.prompt.chooseCalls, 0);
    h.dialog->FillTableList({{"", "people", true}});
    h.Button(CCompareDlg::kProcessButton)->click();
    EXPECT_EQ(h.prompt.chooseCalls, 0);
    EXPECT_TRUE(h.dialogs.messages.empty()) << h.dialogs.messages[0].text;
    EXPECT_TRUE(fs::exists(Dump(kNew, "people")));
    EXPECT_FALSE(fs::exists(Dump("", "people")));
}

TEST_F(CompareRunTest, WithCompareTablesAOneSidedRowLeavesNoTrace)
{
    h.Button(CCompareDlg::kUpdateButton)->click();
    h.dialog->FillTableList({{"people", "", true}, {"items", "items", true}, {"", "people", true}});
    h.Button(CCompareDlg::kProcessButton)->click();
    EXPECT_TRUE(h.dialogs.messages.empty()) << h.dialogs.messages[0].text;
    EXPECT_EQ(testenv::ReadFile(MergeFile()), kItemsSection + End(1));
    EXPECT_FALSE(fs::exists(Dump(kOld, "people")));
    EXPECT_FALSE(fs::exists(Dump(kNew, "people")));
}

TEST_F(CompareRunTest, DataSourcesChosenInThePromptNameTheirDumps)
{
    // Both fields empty: Update and Process ask for the data sources. The two
    // sides' dumps must not share one file name, or the new dump would replace
    // the old one and the tables would compare equal.
    h.SetNames("", "");
    h.prompt.choices = {kOld, kNew, kOld, kNew};
    UpdateAndProcess();
    EXPECT_EQ(h.prompt.chooseCalls, 4);
    EXPECT_TRUE(h.dialogs.messages.empty()) << h.dialogs.messages[0].text;
    EXPECT_EQ(testenv::ReadFile(MergeFile()), ExpectedMergeFile());
    EXPECT_TRUE(fs::exists(Dump(kOld, "people")));
    EXPECT_TRUE(fs::exists(Dump(kNew, "people")));
    EXPECT_FALSE(fs::exists(Dump("", "people")));
    EXPECT_EQ(h.Edit(CCompareDlg::kOldDataSourceEdit)->text(), "");  // the fields stay as they were
    EXPECT_EQ(h.dialog->m_strOldDS, "");
}

TEST_F(CompareRunTest, ConnectionStringsNameTheirDumpsOldAndNew)
{
    // Their text holds folders (and could hold a password): it must not become
    // part of a file name.
    h.SetNames("Driver=SQLite3;Database=" + apptest::PrivateDataSourceFile("old"),
               "Driver=SQLite3;Database=" + apptest::PrivateDataSourceFile("new"));
    UpdateAndProcess();
    EXPECT_TRUE(h.dialogs.messages.empty()) << h.dialogs.messages[0].text;
    EXPECT_EQ(testenv::ReadFile(MergeFile()), ExpectedMergeFile());
    EXPECT_TRUE(fs::exists(Dump("old", "people")));
    EXPECT_TRUE(fs::exists(Dump("new", "people")));
}

TEST_F(CompareRunTest, APathWithoutSlashIsADirectory)
{
    h.Edit(CCompareDlg::kDiffPathEdit)->setText(QString::fromStdString(work.str()));
    UpdateAndProcess();
    EXPECT_EQ(testenv::ReadFile(MergeFile()), ExpectedMergeFile());
    EXPECT_TRUE(fs::exists(Dump(kOld, "people")));
}

TEST_F(CompareRunTest, AnEmptyPathIsTheCurrentDirectory)
{
    const fs::path before = fs::current_path();
    fs::current_path(work.path());
    h.Edit(CCompareDlg::kDiffPathEdit)->setText("");
    UpdateAndProcess();
    fs::current_path(before);
    EXPECT_EQ(testenv::ReadFile(MergeFile()), ExpectedMergeFile());
    EXPECT_TRUE(fs::exists(Dump(kNew, "items")));
}

TEST_F(CompareRunTest, ProgressStandsAt50_100_150_200AndCancelBeforePair3StopsThere)
{
    SelectFourChangedPairs();

    std::vector<int> positions;
    bool mainDisabledDuringRun = false;
    bool cancelled = false;
    SetMessagePump([&] {
        QWidget* progress = ProgressWindow();
        if (progress) {
            const int value = apptest::Control<QProgressBar>(progress, CProgressDlg::kProgressBar)->value();
            if (positions.empty() || positions.back() != value)
                positions.push_back(value);
            mainDisabledDuringRun = mainDisabledDuringRun || !h.dialog->Window()->isEnabled();
            if (value == 150 && !cancelled) {
                cancelled = true;
                apptest::Control<QPushButton>(progress, CProgressDlg::kCancelButton)->click();
            }
        }
        ProcessWaitingEvents();
    });
    h.Button(CCompareDlg::kProcessButton)->click();
    SetMessagePump(&ProcessWaitingEvents);

    // The user learns which tables the merge file leaves out.
    ASSERT_EQ(h.dialogs.messages.size(), 1u);
    EXPECT_EQ(h.dialogs.messages[0].text, "The run was cancelled.\nTables not compared: t3, t4.\nThe merge file " +
                                              MergeFile().string() + " holds only the other tables.");
    EXPECT_EQ(positions, (std::vector<int>{50, 100, 150}));
    EXPECT_TRUE(mainDisabledDuringRun);
    EXPECT_TRUE(h.dialog->Window()->isEnabled());
    EXPECT_EQ(ProgressWindow(), nullptr);
    EXPECT_EQ(testenv::ReadFile(MergeFile()), TSection("t1") + TSection("t2") + End(2));
    EXPECT_TRUE(fs::exists(Dump(kOld, "t2")));
    EXPECT_FALSE(fs::exists(Dump(kOld, "t3")));
    EXPECT_FALSE(fs::exists(Dump(kNew, "t4")));
}

TEST_F(CompareRunTest, CommandsWaitUntilACancelledRunHasFinishedItsPair)
{
    SelectFourChangedPairs();

    // Cancel while pair 2 is being compared (its new dump is there), then, while
    // the comparison finishes, press Process, Update and Close on the main dialog.
    bool cancelled = false;
    bool pressed = false;
    bool disabledWhilePairFinished = false;
    SetMessagePump([&] {
        QWidget* progress = ProgressWindow();
        if (!cancelled && progress && fs::exists(Dump(kNew, "t2"))) {
            cancelled = true;
            apptest::Control<QPushButton>(progress, CProgressDlg::kCancelButton)->click();
        } else if (cancelled && !pressed && !progress) {
            pressed = true;
            // The pair still runs: the dialog takes no click until it is done.
            disabledWhilePairFinished = !h.dialog->Window()->isEnabled();
            h.Button(CCompareDlg::kProcessButton)->click();
            h.Button(CCompareDlg::kUpdateButton)->click();
            h.Button(CCompareDlg::kCloseButton)->click();
        }
        ProcessWaitingEvents();
    });
    h.Button(CCompareDlg::kProcessButton)->click();
    SetMessagePump(&ProcessWaitingEvents);

    ASSERT_TRUE(cancelled);
    ASSERT_TRUE(pressed);
    EXPECT_TRUE(disabledWhilePairFinished);
    // Only the cancelled run's message: the clicks started nothing.
    ASSERT_EQ(h.dialogs.messages.size(), 1u);
    EXPECT_EQ(h.dialogs.messages[0].text.rfind("The run was cancelled.\nTables not compared: t3, t4.", 0), 0u)
        << h.dialogs.messages[0].text;
    // Only the cancelled run wrote the merge file: pairs 1 and 2, nothing after.
    EXPECT_EQ(testenv::ReadFile(MergeFile()), TSection("t1") + TSection("t2") + End(2));
    EXPECT_FALSE(fs::exists(Dump(kOld, "t3")));
    EXPECT_EQ(h.dialog->TableRows().size(), 4u);
    EXPECT_TRUE(h.dialog->Window()->isVisible());
    EXPECT_TRUE(h.dialog->Window()->isEnabled());
    EXPECT_FALSE(h.dialog->m_dbOld.IsOpen());
    EXPECT_FALSE(h.dialog->m_dbNew.IsOpen());
}

TEST_F(CompareRunTest, ProgressReaches200WhenNotCancelled)
{
    h.Button(CCompareDlg::kUpdateButton)->click();
    h.dialog->FillTableList({{"people", "people", true}, {"items", "items", true}, {"people", "people", true},
                             {"items", "items", true}});
    std::vector<int> positions;
    bool waitCursorWhileComparing = false;
    SetMessagePump([&] {
        if (QWidget* progress = ProgressWindow()) {
            const int value = apptest::Control<QProgressBar>(progress, CProgressDlg::kProgressBar)->value();
            if (positions.empty() || positions.back() != value)
                positions.push_back(value);
        }
        // The comparison engine pumps while it works; the wait cursor is up then.
        if (const QCursor* cursor = QApplication::overrideCursor())
            waitCursorWhileComparing = waitCursorWhileComparing || cursor->shape() == Qt::WaitCursor;
        ProcessWaitingEvents();
    });
    h.Button(CCompareDlg::kProcessButton)->click();
    EXPECT_EQ(positions, (std::vector<int>{50, 100, 150, 200}));
    EXPECT_TRUE(waitCursorWhileComparing);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(CompareRunTest, AMissingTableEndsTheRunCleanly)
{
    h.Button(CCompareDlg::kUpdateButton)->click();
    // A first run opens what stays open for the process (fonts of the progress dialog).
    h.dialog->FillTableList({{"items", "items", true}});
    h.Button(CCompareDlg::kProcessButton)->click();
    ASSERT_TRUE(h.dialogs.messages.empty());
    h.dialog->FillTableList({{"items", "items", true}, {"nosuch", "nosuch", true}, {"people", "people", true}});
    const int filesBefore = OpenFileCount();
    bool progressGoneAtMessage = false;
    bool enabledAtMessage = false;
    h.dialogs.onMessage = [&] {
        progressGoneAtMessage = ProgressWindow() == nullptr;
        enabledAtMessage = h.dialog->Window()->isEnabled();
    };
    h.Button(CCompareDlg::kProcessButton)->click();
    ASSERT_EQ(h.dialogs.messages.size(), 1u);
    EXPECT_NE(h.dialogs.messages[0].text.find("nosuch"), std::string::npos) << h.dialogs.messages[0].text;
    EXPECT_NE(h.dialogs.messages[0].text.find("State:"), std::string::npos) << h.dialogs.messages[0].text;
    EXPECT_TRUE(progressGoneAtMessage);
    EXPECT_TRUE(enabledAtMessage);
    EXPECT_TRUE(h.dialog->Window()->isEnabled());
    EXPECT_FALSE(h.dialog->m_dbOld.IsOpen());
    EXPECT_FALSE(h.dialog->m_dbNew.IsOpen());
    EXPECT_EQ(OpenFileCount(), filesBefore);
    // What was finished before the error stays, the failed pair leaves no head
    // (read back it would say "No Changes"), and the file is closed.
    EXPECT_EQ(testenv::ReadFile(MergeFile()), kItemsSection + End(1));
    EXPECT_NE(h.dialogs.messages[0].text.find("\nTables not compared: nosuch, people.\nThe merge file " +
                                              MergeFile().string() + " holds only the other tables."),
              std::string::npos)
        << h.dialogs.messages[0].text;
    EXPECT_FALSE(fs::exists(Dump(kOld, "people")));

    // The dialog is usable again: the next run works.
    h.dialogs.messages.clear();
    h.dialog->FillTableList({{"items", "items", true}});
    h.Button(CCompareDlg::kProcessButton)->click();
    EXPECT_TRUE(h.dialogs.messages.empty());
    EXPECT_EQ(testenv::ReadFile(MergeFile()), kItemsSection + End(1));
}

TEST_F(CompareRunTest, ATableMissingOnOneSideIsNamedWithItsDataSource)
{
    h.Button(CCompareDlg::kUpdateButton)->click();
    // "people" of the old data source against a "nosuch" of the new one.
    h.dialog->FillTableList({{"people", "nosuch", true}});
    h.Button(CCompareDlg::kProcessButton)->click();
    ASSERT_EQ(h.dialogs.messages.size(), 1u);
    const std::string& text = h.dialogs.messages[0].text;
    EXPECT_NE(text.find("nosuch"), std::string::npos) << text;
    EXPECT_NE(text.find(kNew), std::string::npos) << text;
    EXPECT_EQ(text.find(kOld), std::string::npos) << text;
    EXPECT_NE(text.find("State:"), std::string::npos) << text;
    EXPECT_TRUE(h.dialog->Window()->isEnabled());
    EXPECT_FALSE(h.dialog->m_dbNew.IsOpen());
}

TEST_F(CompareRunTest, AMergeFileThatCannotBeCreatedIsNamedInTheMessage)
{
    h.Edit(CCompareDlg::kDiffPathEdit)->setText(QString::fromStdString(work.str() + "/missing/dir/"));
    UpdateAndProcess();
    ASSERT_EQ(h.dialogs.messages.size(), 1u);
    EXPECT_NE(h.dialogs.messages[0].text.find(work.str() + "/missing/dir/Vantor_Merge.txt"), std::string::npos)
        << h.dialogs.messages[0].text;
    EXPECT_TRUE(h.dialog->Window()->isEnabled());
    EXPECT_EQ(ProgressWindow(), nullptr);
    EXPECT_FALSE(h.dialog->m_dbOld.IsOpen());
}

TEST_F(CompareRunTest, APairWithOtherColumnsIsNamedAndLeavesNoSection)
{
    apptest::Exec(kOld, {"CREATE TABLE t1 (id INTEGER NOT NULL PRIMARY KEY, a VARCHAR(5), b VARCHAR(5))"});
    apptest::Exec(kNew, {"CREATE TABLE t1 (id INTEGER NOT NULL PRIMARY KEY, b VARCHAR(5), c VARCHAR(5))"});
    h.Button(CCompareDlg::kUpdateButton)->click();
    h.dialog->FillTableList({{"t1", "t1", true}, {"items", "items", true}});
    h.Button(CCompareDlg::kProcessButton)->click();
    ASSERT_EQ(h.dialogs.messages.size(), 1u);
    EXPECT_EQ(h.dialogs.messages[0].text, "Table t1 could not be compared: the column lists differ: " + kOld +
                                              " has id,a,b, " + kNew + " has id,b,c");
    EXPECT_EQ(testenv::ReadFile(MergeFile()), kItemsSection + End(1));
    EXPECT_TRUE(h.dialog->Window()->isEnabled());
    EXPECT_EQ(ProgressWindow(), nullptr);
}

TEST_F(CompareRunTest, TheProgressWindowRepaintsAndRecordsACancelWhileATableIsDumped)
{
    // A table whose dump takes many rounds of the waiting loop; one row differs.
    for (const std::string& dataSource : {kOld, kNew})
        apptest::Exec(dataSource, {"CREATE TABLE t1 (id INTEGER NOT NULL PRIMARY KEY, v VARCHAR(100))",
                                   "INSERT INTO t1 WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                                   "WHERE i < 200000) SELECT i, printf('%090d', i) FROM n"});
    apptest::Exec(kNew, {"UPDATE t1 SET v = 'changed' WHERE id = 7"});
    h.Button(CCompareDlg::kUpdateButton)->click();
    // A first run makes what the progress window keeps for the process.
    h.dialog->FillTableList({{"items", "items", true}});
    h.Button(CCompareDlg::kProcessButton)->click();
    ASSERT_TRUE(h.dialogs.messages.empty()) << h.dialogs.messages[0].text;
    h.dialog->FillTableList({{"t1", "t1", true}, {"people", "people", true}});

    struct PaintCounter : QObject {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* event) override
        {
            paints += event->type() == QEvent::Paint;
            return false;
        }
    } counter;
    const std::size_t threadsBefore = testenv::ThreadCount();
    QWidget* watched = nullptr;
    int paintsWhileDumping = 0;
    bool cancelledWhileDumping = false;
    SetMessagePump([&] {
        QWidget* progress = ProgressWindow();
        // The dump threads are running and have begun their files.
        const bool dumping = progress && fs::exists(Dump(kOld, "t1")) && testenv::ThreadCount() > threadsBefore;
        if (dumping && !cancelledWhileDumping) {
            if (!watched) {
                watched = progress;
                progress->installEventFilter(&counter);
                progress->update();
            } else if (counter.paints > 0) {
                paintsWhileDumping = counter.paints;
                cancelledWhileDumping = true;
                apptest::Control<QPushButton>(progress, CProgressDlg::kCancelButton)->click();
            }
        }
        ProcessWaitingEvents();
    });
    h.Button(CCompareDlg::kProcessButton)->click();
    SetMessagePump(&ProcessWaitingEvents);

    ASSERT_TRUE(cancelledWhileDumping);
    EXPECT_GT(paintsWhileDumping, 0);
    ASSERT_EQ(h.dialogs.messages.size(), 1u);
    EXPECT_NE(h.dialogs.messages[0].text.find("Tables not compared: people."), std::string::npos)
        << h.dialogs.messages[0].text;
    // The pair being dumped is finished; the next one is not begun.
    EXPECT_EQ(testenv::ReadFile(MergeFile()), "\r\nTable=[t1]0\r\nColumns=\"id\",\"v\"\r\n\r\n|<<7,\"" +
                                                  std::string(89, '0') + "7\"\r\n||>>7,\"changed\"\r\n" + End(1));
    EXPECT_FALSE(fs::exists(Dump(kOld, "people")));
    EXPECT_EQ(testenv::ThreadCountSettledAt(threadsBefore), threadsBefore);
    EXPECT_EQ(ProgressWindow(), nullptr);
    EXPECT_TRUE(h.dialog->Window()->isEnabled());
}

TEST_F(CompareRunTest, ACancelInTheFirstOfThreeTablesSaysWhatTheMergeFileHolds)
{
    // A complete run first: its merge file holds all three tables, and its
    // dumps stay.
    SelectFourChangedPairs();
    h.dialog->FillTableList({{"t1", "t1", true}, {"t2", "t2", true}, {"t3", "t3", true}});
    h.Button(CCompareDlg::kProcessButton)->click();
    ASSERT_TRUE(h.dialogs.messages.empty()) << h.dialogs.messages[0].text;
    ASSERT_EQ(testenv::ReadFile(MergeFile()), TSection("t1") + TSection("t2") + TSection("t3") + End(3));
    ASSERT_TRUE(fs::exists(Dump(kOld, "t3")));

    // Cancelled while the first table is compared.
    bool cancelled = false;
    SetMessagePump([&] {
        QWidget* progress = ProgressWindow();
        if (!cancelled && progress && fs::exists(Dump(kNew, "t1"))) {
            cancelled = true;
            apptest::Control<QPushButton>(progress, CProgressDlg::kCancelButton)->click();
        }
        ProcessWaitingEvents();
    });
    fs::remove(Dump(kNew, "t1"));
    h.Button(CCompareDlg::kProcessButton)->click();
    SetMessagePump(&ProcessWaitingEvents);
    ASSERT_TRUE(cancelled);

    ASSERT_EQ(h.dialogs.messages.size(), 1u);
    EXPECT_EQ(h.dialogs.messages[0].text, "The run was cancelled.\nTables not compared: t2, t3.\nThe merge file " +
                                              MergeFile().string() + " holds only the other tables.");
    EXPECT_EQ(testenv::ReadFile(MergeFile()), TSection("t1") + End(1));
    // The earlier run's dumps of the tables left out are gone: they would
    // pass for the state of this run.
    EXPECT_TRUE(fs::exists(Dump(kOld, "t1")));
    for (const char* table : {"t2", "t3"}) {
        EXPECT_FALSE(fs::exists(Dump(kOld, table))) << table;
        EXPECT_FALSE(fs::exists(Dump(kNew, table))) << table;
    }
}

TEST_F(CompareRunTest, AFolderAnotherRunIsWritingIsNamedAndLeftAlone)
{
    h.Button(CCompareDlg::kUpdateButton)->click();
    testenv::WriteFile(MergeFile(), "another run's merge file");
    {
        const CompareFolderLock other(work.str());
        h.Button(CCompareDlg::kProcessButton)->click();
    }
    ASSERT_EQ(h.dialogs.messages.size(), 1u);
    EXPECT_EQ(h.dialogs.messages[0].text, "Another compare run is writing the folder " + work.str() + ".");
    EXPECT_EQ(testenv::ReadFile(MergeFile()), "another run's merge file");
    EXPECT_FALSE(fs::exists(Dump(kOld, "people")));
    EXPECT_FALSE(h.dialog->m_dbOld.IsOpen());
    EXPECT_TRUE(h.dialog->Window()->isEnabled());
    EXPECT_EQ(ProgressWindow(), nullptr);

    // Free again: the run goes ahead.
    h.dialogs.messages.clear();
    h.Button(CCompareDlg::kProcessButton)->click();
    EXPECT_TRUE(h.dialogs.messages.empty()) << h.dialogs.messages[0].text;
    EXPECT_EQ(testenv::ReadFile(MergeFile()), ExpectedMergeFile());
}

TEST_F(CompareRunTest, CancelWhileALargePairIsSplitStopsItAndLeavesNoBucketFile)
{
    ResetTables(kOld);
    ResetTables(kNew);
    for (const std::string* side : {&kOld, &kNew})
        apptest::Exec(*side, {"CREATE TABLE t1 (id INTEGER NOT NULL PRIMARY KEY, v VARCHAR(40))",
                              "INSERT INTO t1 WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                              "WHERE i < 20000) SELECT i, '" + std::string(side == &kOld ? "old" : "new") +
                                  " ' || printf('%030d', i) FROM n"});
    h.Button(CCompareDlg::kUpdateButton)->click();
    h.dialog->FillTableList({{"t1", "t1", true}});
    // Far too little for the pair: it is split into bucket files.
    h.dialog->m_options.m_settings.m_strMemoryBudget = "64K";
    const auto isBucket = [](const fs::directory_entry& entry) {
        return entry.path().filename().string().find(".csv.part") != std::string::npos;
    };
    bool cancelled = false;
    bool repainted = false;
    SetMessagePump([&] {
        QWidget* progress = ProgressWindow();
        if (!cancelled && progress) {
            const fs::directory_iterator files(work.path());
            if (std::any_of(begin(files), end(files), isBucket)) {
                cancelled = true;
                repainted = progress->isVisible();
                apptest::Control<QPushButton>(progress, CProgressDlg::kCancelButton)->click();
            }
        }
        ProcessWaitingEvents();
    });
    h.Button(CCompareDlg::kProcessButton)->click();
    SetMessagePump(&ProcessWaitingEvents);

    ASSERT_TRUE(cancelled);
    EXPECT_TRUE(repainted);
    ASSERT_EQ(h.dialogs.messages.size(), 1u);
    EXPECT_EQ(h.dialogs.messages[0].text.rfind("The run was cancelled.\nTables not compared: t1.", 0), 0u)
        << h.dialogs.messages[0].text;
    const fs::directory_iterator files(work.path());
    EXPECT_TRUE(std::none_of(begin(files), end(files), isBucket));
    EXPECT_FALSE(fs::exists(Dump(kOld, "t1")));
    EXPECT_TRUE(h.dialog->Window()->isEnabled());
}
