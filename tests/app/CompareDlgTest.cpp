// The main dialog: first start, what is stored at the end, Update on real
// SQLite data sources, the "..." buttons, Enter and Escape.
#include <gtest/gtest.h>

#include <QTableWidget>

#include <QTest>

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>

#include <cstdlib>
#include <ostream>

#include "MainDialogHarness.h"
#include "RawOdbc.h"
#include "TestEnv.h"

// A failed comparison of table lists shows the rows, not their bytes.
void PrintTo(const TablePairRow& row, std::ostream* os)
{
    *os << "{\"" << row.oldName << "\", \"" << row.newName << "\", " << (row.selected ? "selected" : "not selected")
        << (row.note.empty() ? "" : ", \"" + row.note + "\"") << "}";
}

namespace {

using apptest::MainDialogHarness;

std::vector<TablePairRow> Rows(const CCompareDlg& dialog)
{
    return dialog.TableRows();
}

void CreateTables(const std::string& dataSource, const std::vector<std::string>& dropNames,
                  const std::vector<std::string>& createNames)
{
    rawodbc::Connection connection(dataSource);
    for (const auto& name : dropNames)
        connection.ExecIgnoringErrors("DROP TABLE \"" + name + "\"");
    connection.ExecIgnoringErrors("DROP VIEW \"SomeView\"");
    for (const auto& name : createNames)
        connection.Exec("CREATE TABLE \"" + name + "\" (id INTEGER NOT NULL PRIMARY KEY, v VARCHAR(10))");
}

// Every table the tests of this file create, dropped before a test sets up its
// own: the tests share their data sources when the executable runs them all.
const std::vector<std::string> kAllNames = {"Customer", "Orders", "CUSTOMER", "Region", "t1", "t2", "t3", "t4",
                                            "up_t"};

class MainDialog : public apptest::WindowTest {};
class MainDialogOnData : public apptest::WindowTest {};

} // namespace

TEST_F(MainDialog, FirstStartWithAnEmptyStore)
{
    MainDialogHarness h("/opt/tolvane/bin/tolvane");
    CCompareDlg& dialog = h.Open();
    EXPECT_EQ(dialog.Window()->windowTitle(), "Compare Data Sources");
    EXPECT_EQ(h.Edit(CCompareDlg::kOldDataSourceEdit)->text(), "");
    EXPECT_EQ(h.Edit(CCompareDlg::kNewDataSourceEdit)->text(), "");
    EXPECT_EQ(h.Edit(CCompareDlg::kDiffPathEdit)->text(), "/opt/tolvane/bin/");
    EXPECT_FALSE(h.Check(CCompareDlg::kDeleteDumpsCheck)->isChecked());
    EXPECT_TRUE(h.Check(CCompareDlg::kCompareTablesCheck)->isChecked());
    EXPECT_FALSE(h.Button(CCompareDlg::kProcessButton)->isEnabled());
    EXPECT_TRUE(h.Button(CCompareDlg::kProcessButton)->isDefault());
    EXPECT_FALSE(dialog.Window()->windowIcon().isNull());

    QTableWidget* list = h.List();
    ASSERT_EQ(list->columnCount(), 2);
    EXPECT_EQ(list->horizontalHeaderItem(0)->text(), "Old Tables");
    EXPECT_EQ(list->horizontalHeaderItem(1)->text(), "New Tables");
    const int half = list->contentsRect().width() / 2;
    EXPECT_EQ(list->columnWidth(0), half);
    EXPECT_EQ(list->columnWidth(1), half);
    EXPECT_TRUE(list->showGrid());
    EXPECT_EQ(list->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(list->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_TRUE(list->horizontalHeader()->sectionsMovable());

    // The Options dialog shows the default prefixes (and an empty memory field).
    std::vector<std::string> prefixes;
    apptest::WhileModal(
        [&](QDialog* options) {
            for (auto* edit : options->findChildren<QLineEdit*>())
                prefixes.push_back(edit->text().toStdString());
            options->reject();
        },
        [&] {
            h.Button(CCompareDlg::kOptionsButton)->click();
            return 0;
        });
    ASSERT_EQ(prefixes.size(), 7u);
    EXPECT_EQ(prefixes[0], "|<<");
    EXPECT_EQ(prefixes[1], "||>>");
    EXPECT_TRUE(dialog.Window()->isVisible());  // stays open after Options

    h.Close();
    EXPECT_EQ(h.store.ReadString("Settings", "Diff Path", "<absent>"), "/opt/tolvane/bin/");
    EXPECT_EQ(h.store.ReadString("Settings", "Old DS", "<absent>"), "");
    EXPECT_EQ(apptest::TopLevelWidgetCount(), 0);
}

TEST_F(MainDialog, AStoredPathGetsItsTrailingSlash)
{
    MainDialogHarness h;
    h.store.WriteString("Settings", "Diff Path", "/data/diff");
    h.store.WriteString("Settings", "Old DS", "Sales");
    h.Open();
    EXPECT_EQ(h.Edit(CCompareDlg::kDiffPathEdit)->text(), "/data/diff/");
    EXPECT_EQ(h.Edit(CCompareDlg::kOldDataSourceEdit)->text(), "Sales");
    h.Close();
    EXPECT_EQ(h.store.ReadString("Settings", "Diff Path", ""), "/data/diff/");
}

TEST_F(MainDialog, ANameTypedAndClosedIsNotStored)
{
    MainDialogHarness h;
    h.store.WriteString("Settings", "Old DS", "Sales");
    h.Open();
    h.Edit(CCompareDlg::kOldDataSourceEdit)->setText("Typed");
    h.Edit(CCompareDlg::kDiffPathEdit)->setText("/elsewhere/");
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(h.dialog->Window(), &escape);  // Close
    EXPECT_FALSE(h.dialog->Window()->isVisible());
    h.Close();
    EXPECT_EQ(h.store.ReadString("Settings", "Old DS", ""), "Sales");
    EXPECT_EQ(h.store.ReadString("Settings", "Diff Path", ""), "/opt/tolvane/bin/");
}

TEST_F(MainDialog, EscapeEndsTheModalLoopAsClose)
{
    MainDialogHarness h;
    h.dialog = std::make_unique<CCompareDlg>(AppContext{h.store, h.resources, h.dialogs, &h.prompt, "/x/tolvane"});
    const int result = apptest::WhileModal(
        [&](QDialog* window) {
            QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(window, &escape);
        },
        [&] { return h.dialog->DoModal(); });
    EXPECT_EQ(result, TemplateDialog::IDCANCEL);
    h.dialog.reset();
    EXPECT_EQ(apptest::TopLevelWidgetCount(), 0);
}

TEST_F(MainDialog, UpdateWithAMissingDataSourceShowsTheDatabaseError)
{
    MainDialogHarness h;
    h.Open();
    h.SetNames("tolvane_no_such_source", "");
    h.Check(CCompareDlg::kCompareTablesCheck)->setChecked(false);
    h.Button(CCompareDlg::kUpdateButton)->click();
    ASSERT_EQ(h.dialogs.messages.size(), 1u);
    EXPECT_EQ(h.dialogs.messages[0].caption, "Tolvane and Merge");
    EXPECT_NE(h.dialogs.messages[0].text.find("State:IM002"), std::string::npos) << h.dialogs.messages[0].text;
    EXPECT_EQ(h.List()->rowCount(), 0);
    EXPECT_FALSE(h.Button(CCompareDlg::kProcessButton)->isEnabled());
    EXPECT_FALSE(h.dialog->m_dbOld.IsOpen());
    // Update took the fields: the typed name is stored at the end.
    h.Close();
    EXPECT_EQ(h.store.ReadString("Settings", "Old DS", ""), "tolvane_no_such_source");
}

TEST_F(MainDialog, ProcessWithoutSelectionSaysSo)
{
    MainDialogHarness h;
    CCompareDlg& dialog = h.Open();
    dialog.FillTableList({{"a", "a", false}});
    dialog.OnProcess();
    ASSERT_EQ(h.dialogs.messages.size(), 1u);
    EXPECT_EQ(h.dialogs.messages[0].text, "Please select some tables to process");
    EXPECT_EQ(h.prompt.chooseCalls, 0);
    EXPECT_TRUE(dialog.Window()->isVisible());
}

TEST_F(MainDialog, TheFolderButtonSetsThePathWithItsSlash)
{
    MainDialogHarness h;
    h.Open();
    h.dialogs.folderAnswer = "/srv/diffs";
    h.Button(CCompareDlg::kBrowseDiffPathButton)->click();
    EXPECT_EQ(h.dialogs.folderStart, "/opt/tolvane/bin/");
    EXPECT_EQ(h.Edit(CCompareDlg::kDiffPathEdit)->text(), "/srv/diffs/");
    h.dialogs.folderAnswer.reset();
    h.Button(CCompareDlg::kBrowseDiffPathButton)->click();  // cancelled: unchanged
    EXPECT_EQ(h.Edit(CCompareDlg::kDiffPathEdit)->text(), "/srv/diffs/");
    h.Close();
    EXPECT_EQ(h.store.ReadString("Settings", "Diff Path", ""), "/srv/diffs/");
}

TEST_F(MainDialogOnData, UpdatePairsTheTablesByName)
{
    REQUIRE_PRIVATE_DATA_SOURCES();
    CreateTables(apptest::OldDataSource(), kAllNames, {"Customer", "Orders"});
    CreateTables(apptest::NewDataSource(), kAllNames, {"CUSTOMER", "Region"});
    apptest::Exec(apptest::NewDataSource(), {"CREATE VIEW \"SomeView\" AS SELECT * FROM \"Region\""});
    MainDialogHarness h;
    CCompareDlg& dialog = h.Open();
    h.SetNames(apptest::OldDataSource(), apptest::NewDataSource());
    h.Button(CCompareDlg::kUpdateButton)->click();
    EXPECT_TRUE(h.dialogs.messages.empty()) << h.dialogs.messages[0].text;
    const std::vector<TablePairRow> expected = {
        {"Customer", "CUSTOMER", true}, {"Orders", "", false}, {"", "Region", false}};
    EXPECT_EQ(Rows(dialog), expected);
    EXPECT_TRUE(h.Button(CCompareDlg::kProcessButton)->isEnabled());
    EXPECT_FALSE(dialog.m_dbOld.IsOpen());
    EXPECT_FALSE(dialog.m_dbNew.IsOpen());
    EXPECT_EQ(h.prompt.chooseCalls, 0);
    h.Close();
    EXPECT_EQ(h.store.ReadString("Settings", "Old DS", ""), apptest::OldDataSource());
    EXPECT_EQ(h.store.ReadString("Settings", "New DS", ""), apptest::NewDataSource());
}

// Tab in the table list goes on to the next control and leaves the selection alone.
TEST_F(MainDialogOnData, TabLeavesTheListWithItsSelection)
{
    REQUIRE_PRIVATE_DATA_SOURCES();
    CreateTables(apptest::OldDataSource(), kAllNames, {"Customer", "Orders"});
    CreateTables(apptest::NewDataSource(), kAllNames, {"Customer", "Orders"});
    MainDialogHarness h;
    CCompareDlg& dialog = h.Open();
    h.SetNames(apptest::OldDataSource(), apptest::NewDataSource());
    h.Button(CCompareDlg::kUpdateButton)->click();
    const std::vector<TablePairRow> before = Rows(dialog);
    ASSERT_EQ(before.size(), 2u);
    ASSERT_TRUE(before[0].selected && before[1].selected);
    auto* list = dialog.Item<QTableWidget>(CCompareDlg::kTableList);
    QApplication::setActiveWindow(dialog.Window());
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), h.Button(CCompareDlg::kUpdateButton));
    EXPECT_EQ(Rows(dialog), before);
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), dialog.Item<QWidget>(CCompareDlg::kBrowseNewDataSourceButton));
    EXPECT_EQ(Rows(dialog), before);
    h.Close();
}

TEST_F(MainDialogOnData, ACancelledPromptEmptiesTheListAndLeavesProcessAsItWas)
{
    REQUIRE_PRIVATE_DATA_SOURCES();
    CreateTables(apptest::OldDataSource(), kAllNames, {"Customer"});
    CreateTables(apptest::NewDataSource(), kAllNames, {"Customer"});
    MainDialogHarness h;
    CCompareDlg& dialog = h.Open();
    h.SetNames(apptest::OldDataSource(), apptest::NewDataSource());
    h.Button(CCompareDlg::kUpdateButton)->click();
    ASSERT_EQ(h.List()->rowCount(), 1);
    ASSERT_TRUE(h.Button(CCompareDlg::kProcessButton)->isEnabled());

    // An empty old name with Compare Tables checked asks the prompt; the user cancels.
    h.SetNames("", apptest::NewDataSource());
    h.Button(CCompareDlg::kUpdateButton)->click();
    EXPECT_EQ(h.prompt.chooseCalls, 1);
    EXPECT_EQ(h.List()->rowCount(), 0);
    EXPECT_TRUE(h.Button(CCompareDlg::kProcessButton)->isEnabled());
    EXPECT_TRUE(h.dialogs.messages.empty());
    EXPECT_FALSE(dialog.m_dbOld.IsOpen());

    // With Compare Tables unchecked the empty side is not connected at all.
    h.Check(CCompareDlg::kCompareTablesCheck)->setChecked(false);
    h.Button(CCompareDlg::kUpdateButton)->click();
    EXPECT_EQ(h.prompt.chooseCalls, 1);
    EXPECT_EQ(Rows(dialog), (std::vector<TablePairRow>{{"", "Customer", false}}));
}

TEST_F(MainDialogOnData, TheDotsButtonPutsTheChosenNameIntoFieldAndMember)
{
    REQUIRE_PRIVATE_DATA_SOURCES();
    MainDialogHarness h;
    CCompareDlg& dialog = h.Open();
    h.Edit(CCompareDlg::kOldDataSourceEdit)->setText("before");
    h.prompt.choice = apptest::OldDataSource();
    h.Button(CCompareDlg::kBrowseOldDataSourceButton)->click();
    EXPECT_EQ(h.prompt.chooseCalls, 1);
    EXPECT_EQ(h.Edit(CCompareDlg::kOldDataSourceEdit)->text().toStdString(), apptest::OldDataSource());
    EXPECT_EQ(dialog.m_strOldDS, apptest::OldDataSource());
    EXPECT_FALSE(dialog.m_dbOld.IsOpen());

    // Cancelled: the field stays, the member took the field's text.
    h.Edit(CCompareDlg::kNewDataSourceEdit)->setText("typed new");
    h.prompt.choice.reset();
    h.Button(CCompareDlg::kBrowseNewDataSourceButton)->click();
    EXPECT_EQ(h.Edit(CCompareDlg::kNewDataSourceEdit)->text(), "typed new");
    EXPECT_EQ(dialog.m_strNewDS, "typed new");
    h.Close();
    EXPECT_EQ(h.store.ReadString("Settings", "Old DS", ""), apptest::OldDataSource());
    EXPECT_EQ(h.store.ReadString("Settings", "New DS", ""), "typed new");
}

TEST_F(MainDialogOnData, EnterStartsProcess)
{
    REQUIRE_PRIVATE_DATA_SOURCES();
    CreateTables(apptest::OldDataSource(), kAllNames, {"Orders"});
    CreateTables(apptest::NewDataSource(), kAllNames, {"Region"});
    MainDialogHarness h;
    CCompareDlg& dialog = h.Open();
    h.SetNames(apptest::OldDataSource(), apptest::NewDataSource());
    h.Button(CCompareDlg::kUpdateButton)->click();
    ASSERT_TRUE(h.Button(CCompareDlg::kProcessButton)->isEnabled());
    // No row is selected: Process answers with its message and the dialog stays.
    h.Edit(CCompareDlg::kOldDataSourceEdit)->setFocus();
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(dialog.Window(), &enter);
    ASSERT_EQ(h.dialogs.messages.size(), 1u);
    EXPECT_EQ(h.dialogs.messages[0].text, "Please select some tables to process");
    EXPECT_TRUE(dialog.Window()->isVisible());
}

// A side that lists no tables is named: a SQLite data source whose file is
// missing (the driver creates it empty) or is no database passes otherwise for
// an empty one without a word.
TEST_F(MainDialog, UpdateNamesASideThatListsNoTables)
{
    REQUIRE_PRIVATE_DATA_SOURCES();
    apptest::Exec(apptest::OldDataSource(), {"DROP TABLE IF EXISTS up_t", "CREATE TABLE up_t (id INTEGER)"});
    testenv::TempDir dir;
    const std::string garbage = dir.str() + "/garbage.db";
    testenv::WriteFile(garbage, std::string(4096, 'x'));
    for (const std::string& file : {dir.str() + "/missing.db", garbage}) {
        const std::string source = "Driver=SQLite3;Database=" + file;
        MainDialogHarness h;
        h.Open();
        h.SetNames(apptest::OldDataSource(), source);
        h.Button(CCompareDlg::kUpdateButton)->click();
        ASSERT_EQ(h.dialogs.messages.size(), 1u);
        EXPECT_EQ(h.dialogs.messages[0].text, "The data source " + source + " lists no tables.");
        EXPECT_EQ(h.List()->rowCount(), 1);  // the old side's table, unpaired
        EXPECT_FALSE(h.dialog->m_dbOld.IsOpen());
        EXPECT_FALSE(h.dialog->m_dbNew.IsOpen());
    }
}

namespace {

} // namespace

// A table left unpaired beside a name that differs only in case: the row holds
// the names alone, a warning sign stands beside the name, and the row's
// tooltip says why. Databases of their own on MariaDB, which keeps Users and
// users apart.
TEST_F(MainDialogOnData, UpdateSaysWhyATableStaysUnpaired)
{
    REQUIRE_PRIVATE_DATA_SOURCES();
    apptest::Exec(testenv::kMariaDb, {"DROP DATABASE IF EXISTS tolvane_cli_dlg_old",
                                      "DROP DATABASE IF EXISTS tolvane_cli_dlg_new", "CREATE DATABASE tolvane_cli_dlg_old",
                                      "CREATE DATABASE tolvane_cli_dlg_new",
                                      "CREATE TABLE tolvane_cli_dlg_old.`Users` (id INTEGER)",
                                      "CREATE TABLE tolvane_cli_dlg_old.`users` (id INTEGER)",
                                      "CREATE TABLE tolvane_cli_dlg_old.`Orders` (id INTEGER)",
                                      "CREATE TABLE tolvane_cli_dlg_new.`users` (id INTEGER)",
                                      "CREATE TABLE tolvane_cli_dlg_new.`ORDERS` (id INTEGER)"});
    MainDialogHarness h;
    CCompareDlg& dialog = h.Open();
    h.SetNames(testenv::MariaDbConnectionString("tolvane_cli_dlg_old"),
               testenv::MariaDbConnectionString("tolvane_cli_dlg_new"));
    h.Button(CCompareDlg::kUpdateButton)->click();
    EXPECT_TRUE(h.dialogs.messages.empty()) << h.dialogs.messages[0].text;
    // The server orders Users and users either way round: rows are found by name.
    const std::string note = "not paired: the names Users and users differ only in case";
    std::vector<TablePairRow> rows = Rows(dialog);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], (TablePairRow{"Orders", "ORDERS", true}));
    const int unpaired = rows[1].newName.empty() ? 1 : 2;
    const int paired = 3 - unpaired;
    EXPECT_EQ(rows[static_cast<std::size_t>(unpaired)], (TablePairRow{"Users", "", false, note}));
    EXPECT_EQ(rows[static_cast<std::size_t>(paired)], (TablePairRow{"users", "users", true}));

    QTableWidget* list = h.List();
    EXPECT_EQ(list->columnCount(), 2);
    for (int column = 0; column < 2; ++column) {
        EXPECT_EQ(list->item(unpaired, column)->toolTip().toStdString(), note) << column;
        EXPECT_EQ(list->item(paired, column)->toolTip().toStdString(), "") << column;
    }
    EXPECT_FALSE(list->item(unpaired, 0)->icon().isNull());
    EXPECT_TRUE(list->item(unpaired, 1)->icon().isNull());
    EXPECT_TRUE(list->item(paired, 0)->icon().isNull());
    apptest::Exec(testenv::kMariaDb, {"DROP DATABASE tolvane_cli_dlg_old", "DROP DATABASE tolvane_cli_dlg_new"});
}

// The note of a new table stands beside its name in the second column.
TEST_F(MainDialog, ANewTablesNoteStandsBesideItsName)
{
    MainDialogHarness h;
    CCompareDlg& dialog = h.Open();
    const std::string note = "not paired: the names Users and USERS differ only in case";
    const std::vector<TablePairRow> rows = {{"Users", "", false, note}, {"", "USERS", false, note}};
    dialog.FillTableList(rows);
    EXPECT_EQ(Rows(dialog), rows);
    EXPECT_TRUE(h.List()->item(1, 0)->icon().isNull());
    EXPECT_FALSE(h.List()->item(1, 1)->icon().isNull());
    EXPECT_EQ(h.List()->item(1, 0)->text(), "");
    EXPECT_EQ(h.List()->item(1, 1)->text(), "USERS");
}
