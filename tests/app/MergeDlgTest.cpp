// The Merge Data dialog driven through its controls: the preview list, the
// settings it keeps, the SQL Preview and the execution with its messages, and
// the whole path from a compare run to a merged data source on every driver.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <cstdio>
#include <filesystem>
#include <tuple>

#include "MainDialogHarness.h"
#include "RawOdbc.h"
#include "RoundTripData.h"
#include "app/CMergeDlg.h"
#include "app/CProgressDlg.h"
#include "app/CSqlPreviewDlg.h"
#include "datasource/OdbcHandles.h"

namespace {

namespace fs = std::filesystem;
using apptest::MainDialogHarness;

// Statements shown in the modal SQL Preview, in list order.
std::vector<std::string> ShownStatements(QDialog* preview)
{
    std::vector<std::string> statements;
    auto* list = preview->findChild<QAbstractItemView*>();
    if (!list || !list->model())
        return statements;
    for (int row = 0; row < list->model()->rowCount(); ++row)
        statements.push_back(list->model()->index(row, 0).data().toString().toStdString());
    return statements;
}

void ClickButton(QDialog* dialog, int id)
{
    if (auto* button = apptest::Control<QPushButton>(dialog, id))
        button->click();
    else
        ADD_FAILURE() << "no button " << id;
}

class MergeDlgTest : public apptest::WindowTest {
protected:
    void SetUp() override
    {
        main.Open();
        if (apptest::PrivateDataSourcesAvailable()) {
            apptest::Exec(apptest::OldDataSource(), {"DROP TABLE IF EXISTS md_t", "DROP TABLE IF EXISTS md_u"});
        }
    }
    void TearDown() override
    {
        dialog.reset();
        main.Close();
        apptest::WindowTest::TearDown();
    }

    AppContext Context() { return AppContext{main.store, main.resources, main.dialogs, &main.prompt, "/opt/tolvane/bin/tolvane"}; }

    CMergeDlg& Open()
    {
        dialog = std::make_unique<CMergeDlg>(Context());
        dialog->Create();
        dialog->Window()->show();
        return *dialog;
    }
    QLineEdit* Edit(int id) const { return dialog->Item<QLineEdit>(id); }
    QPushButton* Button(int id) const { return dialog->Item<QPushButton>(id); }
    QTableWidget* List() const { return dialog->Item<QTableWidget>(CMergeDlg::kTableList); }

    void Preview(const std::string& mergeFile)
    {
        Edit(CMergeDlg::kMergeFileEdit)->setText(QString::fromStdString(mergeFile));
        Button(CMergeDlg::kPreviewChangesButton)->click();
    }
    // Presses Merge; `inPreview` acts on the SQL Preview while it is up.
    void Merge(const std::function<void(QDialog*)>& inPreview)
    {
        apptest::WhileModal(inPreview, [&] {
            Button(CMergeDlg::kMergeButton)->click();
            return 0;
        });
    }
    std::vector<std::string> MergeAndMakeChanges()
    {
        std::vector<std::string> shown;
        Merge([&](QDialog* preview) {
            shown = ShownStatements(preview);
            ClickButton(preview, CSqlPreviewDlg::kMakeChangesButton);
        });
        return shown;
    }
    std::string LastMessage() const { return main.dialogs.messages.empty() ? "" : main.dialogs.messages.back().text; }

    MainDialogHarness main;
    std::unique_ptr<CMergeDlg> dialog;
    testenv::TempDir work;
};

TEST_F(MergeDlgTest, TheMainDialogsMergeDataOpensItOnACopyOfTheRecord)
{
    // The merge file reads back with the line markers of the main dialog's record.
    main.dialog->m_options.m_settings.m_strFile1LinePrefix = "OLD:";
    const std::string path = (work.path() / "Vantor_Merge.txt").string();
    testenv::WriteFile(path, "\r\nTable=[T]0\r\n\r\nOLD:1,\"a\"\r\n");
    bool mergeEnabled = true;
    int rows = -1;
    std::string summary;
    apptest::WhileModal(
        [&](QDialog* merge) {
            mergeEnabled = apptest::Control<QPushButton>(merge, CMergeDlg::kMergeButton)->isEnabled();
            auto* list = apptest::Control<QTableWidget>(merge, CMergeDlg::kTableList);
            rows = list->rowCount();
            EXPECT_EQ(merge->windowTitle().toStdString(), "Merge Data");
            apptest::Control<QLineEdit>(merge, CMergeDlg::kMergeFileEdit)->setText(QString::fromStdString(path));
            ClickButton(merge, CMergeDlg::kPreviewChangesButton);
            summary = list->item(0, 1)->text().toStdString();
            merge->reject();
        },
        [&] {
            main.Button(CCompareDlg::kMergeDataButton)->click();
            return 0;
        });
    EXPECT_FALSE(mergeEnabled);
    EXPECT_EQ(rows, 0);
    EXPECT_EQ(summary, "0 to add, 0 to update, 1 to delete");
}

struct ListCase {
    const char* label;
    const char* file;  // nullptr: no file at all
    std::vector<std::string> rows;       // "name|summary"
    std::vector<bool> selected;
    bool mergeEnabled;
};

void PrintTo(const ListCase& c, std::ostream* os)
{
    *os << c.label;
}

class PreviewList : public MergeDlgTest, public ::testing::WithParamInterface<ListCase> {};

TEST_P(PreviewList, ShowsEachSectionWithItsChanges)
{
    const ListCase& c = GetParam();
    const std::string path = (work.path() / "Vantor_Merge.txt").string();
    if (c.file)
        testenv::WriteFile(path, c.file);
    Open();
    EXPECT_FALSE(Button(CMergeDlg::kMergeButton)->isEnabled());
    Preview(path);
    ASSERT_EQ(List()->rowCount(), static_cast<int>(c.rows.size()));
    for (int row = 0; row < List()->rowCount(); ++row) {
        EXPECT_EQ(List()->item(row, 0)->text().toStdString() + "|" + List()->item(row, 1)->text().toStdString(),
                  c.rows[static_cast<std::size_t>(row)]);
        EXPECT_EQ(List()->selectionModel()->isRowSelected(row, QModelIndex()), c.selected[static_cast<std::size_t>(row)]);
    }
    EXPECT_EQ(Button(CMergeDlg::kMergeButton)->isEnabled(), c.mergeEnabled);
}

INSTANTIATE_TEST_SUITE_P(
    Files, PreviewList,
    ::testing::Values(
        ListCase{"Missing", nullptr, {}, {}, false},
        ListCase{"NoSections", "|<<1,\"a\"\r\n", {}, {}, false},
        ListCase{"SectionWithoutDifferences", "\r\nTable=[Orders]0\r\n\r\n", {"[Orders]|No Changes"}, {false}, true},
        ListCase{"ChangesAndNoChanges",
                 "\r\nTable=[Orders]0\r\n\r\n|<<1,\"a\"\r\n||>>1,\"b\"\r\n||>>2,\"c\"\r\n|<<3,\"d\"\r\n"
                 "\r\nTable=[Log]\r\n\r\n",
                 {"[Orders]|1 to add, 1 to update, 1 to delete", "[Log]|No Changes"},
                 {true, false},
                 true}),
    [](const ::testing::TestParamInfo<ListCase>& info) { return std::string(info.param.label); });

// Tab in the table list goes on to the next control and leaves the selection
// alone, so that the tables the preview selected are still the ones merged.
TEST_F(MergeDlgTest, TabLeavesTheListWithItsSelection)
{
    const std::string path = (work.path() / "Vantor_Merge.txt").string();
    testenv::WriteFile(path, "\r\nTable=[A]0\r\n\r\n|<<1\r\n\r\nTable=[B]0\r\n\r\n||>>2\r\n");
    Open();
    Preview(path);
    ASSERT_EQ(dialog->SelectedRows(), (std::vector<std::size_t>{0, 1}));
    QApplication::setActiveWindow(dialog->Window());
    for (const auto& [key, modifiers, next] :
         {std::tuple{Qt::Key_Tab, Qt::NoModifier, static_cast<QWidget*>(Button(CMergeDlg::kPreviewChangesButton))},
          std::tuple{Qt::Key_Backtab, Qt::ShiftModifier, static_cast<QWidget*>(Button(CMergeDlg::kBrowseMergeDataSourceButton))}}) {
        List()->setFocus();
        QTest::keyClick(List(), key, modifiers);
        EXPECT_EQ(QApplication::focusWidget(), next) << key;
        EXPECT_EQ(dialog->SelectedRows(), (std::vector<std::size_t>{0, 1})) << key;
    }
}

TEST_F(MergeDlgTest, StoresTheNamesOnlyWhenACommandTookThem)
{
    {
        Open();
        Edit(CMergeDlg::kMergeDataSourceEdit)->setText("typed_only");
        dialog->Window()->reject();
        dialog.reset();
    }
    EXPECT_EQ(main.store.ReadString("Settings", "Merge DS", "<none>"), "");
    {
        Open();
        EXPECT_EQ(Edit(CMergeDlg::kMergeDataSourceEdit)->text().toStdString(), "");
        Edit(CMergeDlg::kMergeDataSourceEdit)->setText("previewed");
        Preview((work.path() / "none.txt").string());
        dialog->Window()->reject();
        dialog.reset();
    }
    EXPECT_EQ(main.store.ReadString("Settings", "Merge DS", "<none>"), "previewed");
    EXPECT_EQ(main.store.ReadString("Settings", "Merge File", "<none>"), (work.path() / "none.txt").string());
    Open();
    EXPECT_EQ(Edit(CMergeDlg::kMergeDataSourceEdit)->text().toStdString(), "previewed");
}

TEST_F(MergeDlgTest, BrowsingStartsInTheFolderOfTheNamedFile)
{
    Open();
    Edit(CMergeDlg::kMergeFileEdit)->setText("/data/runs/Vantor_Merge.txt");
    main.dialogs.fileAnswer = "/data/other/chosen.txt";
    Button(CMergeDlg::kBrowseMergeFileButton)->click();
    EXPECT_EQ(main.dialogs.fileFolder, "/data/runs/");
    EXPECT_EQ(main.dialogs.fileName, "Vantor_Merge.txt");
    EXPECT_EQ(Edit(CMergeDlg::kMergeFileEdit)->text().toStdString(), "/data/other/chosen.txt");
    EXPECT_EQ(dialog->m_strMergeFile, "/data/other/chosen.txt");
    main.dialogs.fileAnswer.reset();
    Edit(CMergeDlg::kMergeFileEdit)->setText("plain.txt");
    Button(CMergeDlg::kBrowseMergeFileButton)->click();
    EXPECT_EQ(main.dialogs.fileFolder, "plain.txt");
    EXPECT_EQ(dialog->m_strMergeFile, "plain.txt");
}

// A merge file over the private SQLite data sources: table md_t with its key.
class MergeIntoSqlite : public MergeDlgTest {
protected:
    void SetUp() override
    {
        MergeDlgTest::SetUp();
        if (!apptest::PrivateDataSourcesAvailable())
            GTEST_SKIP() << "data sources not set up: run the tests with scripts/test";
        apptest::Exec(apptest::OldDataSource(),
                      {"CREATE TABLE md_t (id INTEGER NOT NULL PRIMARY KEY, v VARCHAR(20))",
                       "INSERT INTO md_t VALUES (1, 'one')", "INSERT INTO md_t VALUES (2, 'two')",
                       "INSERT INTO md_t VALUES (3, 'three')"});
        path = (work.path() / "Vantor_Merge.txt").string();
        testenv::WriteFile(path, "\r\nTable=[md_t]0\r\n\r\n"
                                 "|<<2,\"two\"\r\n||>>2,\"TWO\"\r\n||>>4,\"four\"\r\n|<<3,\"three\"\r\n"
                                 "\r\nTable=[md_missing]0\r\n\r\n||>>1,\"x\"\r\n");
        Open();
        Edit(CMergeDlg::kMergeDataSourceEdit)->setText(apptest::OldDataSource());
        Preview(path);
    }
    std::vector<std::string> Values()
    {
        rawodbc::Connection check(apptest::OldDataSource());
        std::vector<std::string> values;
        for (const auto& row : check.Query("SELECT id, v FROM md_t ORDER BY id"))
            values.push_back(*row[0] + "=" + *row[1]);
        return values;
    }
    void SelectOnly(int row)
    {
        List()->clearSelection();
        List()->selectRow(row);
    }
    std::string path;
};

TEST_F(MergeIntoSqlite, GeneratesInsertsUpdatesDeletesAndMakesTheChanges)
{
    // The file names no columns: the key is told by position.
    EXPECT_EQ(List()->item(0, 0)->toolTip().toStdString(), "Rows are found by: columns 1 (by position)");
    EXPECT_EQ(List()->item(0, 1)->toolTip(), List()->item(0, 0)->toolTip());
    SelectOnly(0);
    const auto shown = MergeAndMakeChanges();
    EXPECT_EQ(shown, (std::vector<std::string>{"INSERT INTO \"md_t\" (\"id\",\"v\") VALUES (4,'four')",
                                               "UPDATE \"md_t\" SET \"v\"='TWO' WHERE \"id\"=2",
                                               "DELETE FROM \"md_t\" WHERE \"id\"=3"}));
    EXPECT_EQ(LastMessage(), "Changes were made");
    EXPECT_EQ(Values(), (std::vector<std::string>{"1=one", "2=TWO", "4=four"}));
    EXPECT_FALSE(dialog->m_database.IsOpen());
    // The dialog stays as it was: Merge generates the same statements again.
    EXPECT_EQ(List()->rowCount(), 2);
    bool sameAgain = false;
    Merge([&](QDialog* preview) {
        sameAgain = ShownStatements(preview) == shown;
        preview->reject();
    });
    EXPECT_TRUE(sameAgain);
}

// The command line's `sql` prints what the SQL Preview shows for the same merge
// file and target, each statement ended by ";" and a line break.
TEST_F(MergeIntoSqlite, TheCommandLineGeneratesWhatThePreviewShows)
{
    SelectOnly(0);
    std::vector<std::string> shown;
    Merge([&](QDialog* preview) {
        shown = ShownStatements(preview);
        ClickButton(preview, CSqlPreviewDlg::kCancelButton);
    });
    ASSERT_EQ(shown.size(), 3u);
    std::string expected;
    for (const std::string& statement : shown)
        expected += statement + ";\n";
    const std::string command = std::string(TOLVANE_CLI) + " sql '" + path + "' " + apptest::OldDataSource() +
                                " --table md_t 2>&1";
    std::string printed;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            printed.append(buffer, n);
        EXPECT_EQ(::pclose(pipe), 0) << printed;
    }
    EXPECT_EQ(printed, expected);
}

TEST_F(MergeIntoSqlite, NothingSelectedShowsAnEmptyPreviewAndRunsNothing)
{
    List()->clearSelection();
    EXPECT_TRUE(MergeAndMakeChanges().empty());
    EXPECT_EQ(LastMessage(), "Changes were made");
    EXPECT_EQ(Values(), (std::vector<std::string>{"1=one", "2=two", "3=three"}));
}

TEST_F(MergeIntoSqlite, ATableTheTargetLacksIsNamedAndNothingRuns)
{
    List()->selectAll();
    bool previewShown = false;
    apptest::WhileModal([&](QDialog* d) { previewShown = true; d->reject(); },
                        [&] {
                            Button(CMergeDlg::kMergeButton)->click();
                            return 0;
                        });
    EXPECT_FALSE(previewShown);
    EXPECT_NE(LastMessage().find("md_missing"), std::string::npos) << LastMessage();
    EXPECT_EQ(Values(), (std::vector<std::string>{"1=one", "2=two", "3=three"}));
    EXPECT_FALSE(dialog->m_database.IsOpen());
}

TEST_F(MergeIntoSqlite, CancelAndDeletedStatementsRunNothingOfThem)
{
    SelectOnly(0);
    Merge([](QDialog* preview) { ClickButton(preview, CSqlPreviewDlg::kCancelButton); });
    EXPECT_TRUE(main.dialogs.messages.empty());
    EXPECT_EQ(Values(), (std::vector<std::string>{"1=one", "2=two", "3=three"}));
    EXPECT_FALSE(dialog->m_database.IsOpen());
    EXPECT_EQ(OdbcEnvironmentRef::Count(), 0);

    // Delete Selected right after opening empties the list.
    Merge([](QDialog* preview) {
        ClickButton(preview, CSqlPreviewDlg::kDeleteSelectedButton);
        EXPECT_TRUE(ShownStatements(preview).empty());
        ClickButton(preview, CSqlPreviewDlg::kMakeChangesButton);
    });
    EXPECT_EQ(LastMessage(), "Changes were made");
    EXPECT_EQ(Values(), (std::vector<std::string>{"1=one", "2=two", "3=three"}));
}

TEST_F(MergeIntoSqlite, ProblemsAreShownUntilTheUserStopsThemAndCounted)
{
    // Every statement of a second merge affects no row or fails.
    SelectOnly(0);
    MergeAndMakeChanges();
    main.dialogs.messages.clear();
    main.dialogs.stopAnswer = true;
    MergeAndMakeChanges();
    EXPECT_EQ(main.dialogs.offeredToStop, 1);
    ASSERT_EQ(main.dialogs.messages.size(), 2u);
    EXPECT_NE(main.dialogs.messages[0].text.find("INSERT INTO \"md_t\""), std::string::npos);
    ASSERT_EQ(main.dialogs.keepQuestions.size(), 1u);
    EXPECT_EQ(main.dialogs.keepQuestions[0], "Statements that did not run as expected: 2 of 3 (1 failed, 1 changed no row).\n\n"
                                            "Keep the changes of the other statements, or undo everything?");
    EXPECT_EQ(LastMessage(), "Statements that did not run as expected: 2 of 3 (1 failed, 1 changed no row).\n"
                             "Everything was undone: nothing was changed.");
}

// When some statements did not run as expected, the user decides: Undo All
// leaves the target as it was, Keep Changes keeps what the others did.
TEST_F(MergeIntoSqlite, TheUserDecidesWhetherTheOtherChangesStay)
{
    // Row 4 is there already: its INSERT fails, the update and the delete work.
    apptest::Exec(apptest::OldDataSource(), {"INSERT INTO md_t VALUES (4, 'already')"});
    for (const bool keep : {false, true}) {
        SCOPED_TRACE(keep ? "keep" : "undo all");
        main.dialogs.keepQuestions.clear();
        main.dialogs.keepAnswer = keep;
        SelectOnly(0);
        MergeAndMakeChanges();
        EXPECT_EQ(main.dialogs.keepQuestions.size(), 1u);
        if (keep) {
            EXPECT_EQ(Values(), (std::vector<std::string>{"1=one", "2=TWO", "4=already"}));
            EXPECT_EQ(LastMessage(), "Statements that did not run as expected: 1 of 3 (1 failed).\n"
                                     "The changes of the other statements were made.");
        } else {
            EXPECT_EQ(Values(), (std::vector<std::string>{"1=one", "2=two", "3=three", "4=already"}));
            EXPECT_EQ(LastMessage(), "Statements that did not run as expected: 1 of 3 (1 failed).\n"
                                     "Everything was undone: nothing was changed.");
        }
    }
}

// Cancel in the progress window while the merge runs undoes what ran.
TEST_F(MergeIntoSqlite, CancelDuringTheMergeLeavesTheTargetAsItWas)
{
    // The first statement fails; while its message is up, the user cancels.
    apptest::Exec(apptest::OldDataSource(), {"INSERT INTO md_t VALUES (4, 'already')"});
    bool cancelled = false;
    main.dialogs.onMessage = [&] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (cancelled || !widget->isVisible() ||
                !widget->findChild<QProgressBar*>(QString(), Qt::FindDirectChildrenOnly))
                continue;
            apptest::Control<QPushButton>(widget, CProgressDlg::kCancelButton)->click();
            cancelled = true;
        }
    };
    SelectOnly(0);
    MergeAndMakeChanges();
    main.dialogs.onMessage = nullptr;
    EXPECT_TRUE(cancelled);
    EXPECT_TRUE(main.dialogs.keepQuestions.empty());
    EXPECT_EQ(Values(), (std::vector<std::string>{"1=one", "2=two", "3=three", "4=already"}));
    EXPECT_EQ(LastMessage(), "The merge was stopped after 1 of 3 statements. Everything was undone: nothing was changed.");
}

// The whole path: a compare run in the main dialog, then Merge Data into a
// third data source that starts as a copy of the old one, which must then hold
// the new data value for value.
struct DriverPath {
    const char* label;
    roundtrip::Dbms dbms;
    const char* quote;
    std::string oldDsn, newDsn, mergeDsn;
};

void PrintTo(const DriverPath& d, std::ostream* os)
{
    *os << d.label;
}

class WholePath : public MergeDlgTest, public ::testing::WithParamInterface<DriverPath> {};

TEST_P(WholePath, TheMergeDataSourceEndsWithTheNewData)
{
    REQUIRE_PRIVATE_DATA_SOURCES();
    const DriverPath& d = GetParam();
    const bool shared = d.oldDsn == d.newDsn;
    const std::vector<roundtrip::Table> tables = {roundtrip::TypesTable(), roundtrip::PairTable(),
                                                  roundtrip::LastBinaryTable()};
    auto name = [](const roundtrip::Table& t) { return "md_" + std::string(t.name); };
    auto newName = [&](const roundtrip::Table& t) { return shared ? name(t) + "_new" : name(t); };
    auto fill = [&](const std::string& dsn, const roundtrip::Table& t, const std::string& n,
                    const std::vector<roundtrip::Row>& rows) {
        rawodbc::Connection c(dsn);
        c.ExecIgnoringErrors("DROP TABLE " + n);
        c.Exec(roundtrip::CreateTable(d.dbms, t, n));
        for (const auto& row : rows)
            c.Exec(roundtrip::InsertRow(d.dbms, t, n, row));
    };
    for (const auto& t : tables) {
        fill(d.oldDsn, t, name(t), t.oldRows);
        fill(d.newDsn, t, newName(t), t.newRows);
    }

    // Compare in the main dialog.
    main.SetNames(d.oldDsn, d.newDsn);
    main.Edit(CCompareDlg::kDiffPathEdit)->setText(QString::fromStdString(work.str() + "/"));
    std::vector<TablePairRow> pairs;
    for (const auto& t : tables)
        pairs.push_back({name(t), newName(t), true});
    main.dialog->FillTableList(pairs);
    main.dialog->OnProcess();
    ASSERT_TRUE(main.dialogs.messages.empty()) << main.dialogs.messages[0].text;

    // The merge target starts as a copy of the old tables.
    for (const auto& t : tables)
        fill(d.mergeDsn, t, name(t), t.oldRows);

    Open();
    dialog->m_settings = main.dialog->m_options.m_settings;
    Edit(CMergeDlg::kMergeDataSourceEdit)->setText(QString::fromStdString(d.mergeDsn));
    Preview((work.path() / "Vantor_Merge.txt").string());
    ASSERT_EQ(List()->rowCount(), 3);
    List()->selectAll();
    const auto shown = MergeAndMakeChanges();
    EXPECT_FALSE(shown.empty());
    EXPECT_EQ(LastMessage(), "Changes were made");

    rawodbc::Connection merged(d.mergeDsn);
    rawodbc::Connection wanted(d.newDsn);
    for (const auto& t : tables) {
        SCOPED_TRACE(t.name);
        EXPECT_EQ(roundtrip::Normalised(merged.Query(roundtrip::SelectAll(t, name(t), d.quote)), t),
                  roundtrip::Normalised(wanted.Query(roundtrip::SelectAll(t, newName(t), d.quote)), t));
    }
}

INSTANTIATE_TEST_SUITE_P(Drivers, WholePath,
                         ::testing::Values(DriverPath{"SQLite", roundtrip::Dbms::Sqlite, "\"", apptest::OldDataSource(),
                                                      apptest::NewDataSource(), testenv::kSqliteMerge},
                                           DriverPath{"PostgreSQL", roundtrip::Dbms::Postgres, "\"", testenv::kPostgres,
                                                      testenv::kPostgres, testenv::kPostgres},
                                           DriverPath{"MariaDB", roundtrip::Dbms::MariaDb, "`", testenv::kMariaDb,
                                                      testenv::kMariaDb, testenv::kMariaDb}),
                         [](const ::testing::TestParamInfo<DriverPath>& info) { return std::string(info.param.label); });

} // namespace
