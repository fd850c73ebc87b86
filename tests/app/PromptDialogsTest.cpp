// The program's own connection prompts: the data source chooser and the login
// dialog, and the prompt object that shows them for a connection.
#include <gtest/gtest.h>

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include "AppTestSupport.h"
#include "app/DataSourceChooserDlg.h"
#include "app/DialogConnectPrompt.h"
#include "app/LoginDlg.h"
#include "app/ResourceModule.h"
#include "app/ResourceSource.h"
#include "datasource/CDatabase.h"

namespace {

class Prompts : public apptest::WindowTest {
protected:
    ResourceModule own = ResourceModule::Own("/opt/tolvane/tolvane");
    ResourceSource resources{own};
};

const std::vector<DataSourceEntry> kSources = {
    {"Sales", "SQLite3 ODBC Driver", false},
    {"Stock", "PostgreSQL Unicode", false},
    {"Shared", "MariaDB Connector/ODBC", true}};

} // namespace

TEST_F(Prompts, ChooserListsNamesKindsAndDrivers)
{
    DataSourceChooserDlg dialog(kSources, resources);
    std::vector<std::vector<std::string>> cells;
    std::vector<std::string> headers;
    const int result = apptest::WhileModal(
        [&](QDialog* window) {
            EXPECT_EQ(window->windowTitle(), "Select Data Source");
            auto* list = dialog.Item<QTableWidget>(DataSourceChooserDlg::kDataSourceList);
            for (int c = 0; c < list->columnCount(); ++c)
                headers.push_back(list->horizontalHeaderItem(c)->text().toStdString());
            for (int r = 0; r < list->rowCount(); ++r) {
                cells.push_back({});
                for (int c = 0; c < list->columnCount(); ++c)
                    cells.back().push_back(list->item(r, c)->text().toStdString());
            }
            list->selectRow(2);
            dialog.Item<QPushButton>(DataSourceChooserDlg::kOkButton)->click();
        },
        [&] { return dialog.DoModal(); });
    EXPECT_EQ(result, TemplateDialog::IDOK);
    EXPECT_EQ(headers, (std::vector<std::string>{"Name", "Type", "Driver"}));
    ASSERT_EQ(cells.size(), 3u);
    EXPECT_EQ(cells[0], (std::vector<std::string>{"Sales", "User", "SQLite3 ODBC Driver"}));
    EXPECT_EQ(cells[2], (std::vector<std::string>{"Shared", "System", "MariaDB Connector/ODBC"}));
    EXPECT_EQ(dialog.m_strDataSource, "Shared");
}

TEST_F(Prompts, ChooserCancelChoosesNothing)
{
    DataSourceChooserDlg dialog(kSources, resources);
    const int result = apptest::WhileModal([&](QDialog* window) { window->reject(); },
                                           [&] { return dialog.DoModal(); });
    EXPECT_EQ(result, TemplateDialog::IDCANCEL);
    EXPECT_EQ(dialog.m_strDataSource, "");
}

TEST_F(Prompts, ChooserWithoutDataSourcesCannotConfirm)
{
    DataSourceChooserDlg dialog({}, resources);
    bool okEnabled = true;
    apptest::WhileModal(
        [&](QDialog* window) {
            okEnabled = dialog.Item<QPushButton>(DataSourceChooserDlg::kOkButton)->isEnabled();
            window->reject();
        },
        [&] { return dialog.DoModal(); });
    EXPECT_FALSE(okEnabled);
}

TEST_F(Prompts, LoginTakesUserAndPassword)
{
    LoginDlg dialog("Stock", "[unixODBC]password authentication failed", resources);
    dialog.m_strUser = "scott";
    std::string shownName;
    std::string shownUser;
    bool hidden = false;
    const int result = apptest::WhileModal(
        [&](QDialog*) {
            shownName = dialog.Item<QLabel>(LoginDlg::kDataSourceText)->text().toStdString();
            shownUser = dialog.Item<QLineEdit>(LoginDlg::kUserEdit)->text().toStdString();
            hidden = dialog.Item<QLineEdit>(LoginDlg::kPasswordEdit)->echoMode() == QLineEdit::Password;
            dialog.Item<QLineEdit>(LoginDlg::kUserEdit)->setText("tolvane");
            dialog.Item<QLineEdit>(LoginDlg::kPasswordEdit)->setText("secret");
            dialog.Item<QPushButton>(LoginDlg::kOkButton)->click();
        },
        [&] { return dialog.DoModal(); });
    EXPECT_EQ(result, TemplateDialog::IDOK);
    EXPECT_EQ(shownName, "Stock");
    EXPECT_EQ(shownUser, "scott");
    EXPECT_TRUE(hidden);
    EXPECT_EQ(dialog.m_strUser, "tolvane");
    EXPECT_EQ(dialog.m_strPassword, "secret");
}

TEST_F(Prompts, ThePromptObjectReportsCancelAsFalse)
{
    DialogConnectPrompt prompt(resources);
    std::string user = "u";
    std::string password = "p";
    const bool answered = apptest::WhileModal([&](QDialog* window) { window->reject(); },
                                              [&] { return prompt.Login("Stock", "", user, password) ? 1 : 0; });
    EXPECT_FALSE(answered);
    EXPECT_EQ(user, "u");
    EXPECT_EQ(password, "p");
}

TEST_F(Prompts, ThePromptObjectListsTheDriverManagersDataSources)
{
    REQUIRE_PRIVATE_DATA_SOURCES();
    DialogConnectPrompt prompt(resources);
    std::vector<std::string> names;
    std::string chosen;
    const bool answered = apptest::WhileModal(
        [&](QDialog* window) {
            auto* list = apptest::Control<QTableWidget>(window, DataSourceChooserDlg::kDataSourceList);
            for (int r = 0; r < list->rowCount(); ++r) {
                names.push_back(list->item(r, 0)->text().toStdString());
                if (names.back() == apptest::NewDataSource())
                    list->selectRow(r);
            }
            apptest::Control<QPushButton>(window, DataSourceChooserDlg::kOkButton)->click();
        },
        [&] { return prompt.ChooseDataSource(chosen) ? 1 : 0; });
    EXPECT_TRUE(answered);
    EXPECT_EQ(chosen, apptest::NewDataSource());
    EXPECT_NE(std::find(names.begin(), names.end(), apptest::OldDataSource()), names.end());
    EXPECT_NE(std::find(names.begin(), names.end(), "tolvane_system"), names.end());
}

TEST_F(Prompts, TheLoginDialogAnswersADataSourceThatRejectsTheConnection)
{
    REQUIRE_TEST_DATA_SOURCES();
    DialogConnectPrompt prompt(resources);
    CDatabase database;
    database.SetPrompt(&prompt);
    std::string shownName;
    const bool opened = apptest::WhileModal(
        [&](QDialog* window) {
            shownName = apptest::Control<QLabel>(window, LoginDlg::kDataSourceText)->text().toStdString();
            apptest::Control<QLineEdit>(window, LoginDlg::kUserEdit)->setText("tolvane");
            apptest::Control<QLineEdit>(window, LoginDlg::kPasswordEdit)->setText("tolvane");
            apptest::Control<QPushButton>(window, LoginDlg::kOkButton)->click();
        },
        [&] { return database.OpenDataSource(testenv::kPostgresLogin) ? 1 : 0; });
    EXPECT_TRUE(opened);
    EXPECT_EQ(shownName, testenv::kPostgresLogin);
    EXPECT_TRUE(database.IsOpen());
    EXPECT_EQ(database.m_strConnect.rfind("ODBC;", 0), 0u);
    database.Close();
}
