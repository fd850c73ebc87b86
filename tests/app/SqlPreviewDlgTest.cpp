// The SQL Preview dialog: every statement listed and selected, Delete Selected,
// Make Changes handing back what is left in list order with the original
// indexes, Cancel handing back nothing, the resizable layout and the German
// layout.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QDialog>
#include <QHeaderView>
#include <QPushButton>

#include "AppTestSupport.h"
#include "app/CSqlPreviewDlg.h"
#include "app/ResourceModule.h"
#include "app/ResourceSource.h"
#include "app/SettingsStore.h"
#include "ui/CReportListCtrl.h"

namespace {

class SqlPreview : public apptest::WindowTest {
protected:
    void SetUp() override { resources.InstallAsStringLoader(); }

    // Opens the dialog with `statements`, runs `action` while it is up.
    int Run(CSqlPreviewDlg& dialog, const std::function<void()>& action)
    {
        return apptest::WhileModal([&](QDialog*) { action(); }, [&] { return dialog.DoModal(); });
    }
    static void Click(CSqlPreviewDlg& dialog, int id) { dialog.Item<QPushButton>(id)->click(); }

    apptest::IsolatedSettings isolated;
    ResourceModule own = ResourceModule::Own("/opt/tolvane/tolvane");
    ResourceSource resources{own};
    SettingsStore settings{"Orvenne Software Inc.", "Tolvane and Merge"};
    const std::vector<std::string> statements{
        "INSERT INTO \"t\" (\"k\") VALUES (1)", "INSERT INTO \"t\" (\"k\") VALUES (2)",
        "UPDATE \"t\" SET \"v\" = 'x' WHERE \"k\" = 3", "DELETE FROM \"t\" WHERE \"k\" = 4",
        "DELETE FROM \"t\" WHERE \"k\" = 5"};
};

} // namespace

TEST_F(SqlPreview, OpensWithEveryStatementSelectedInOneColumnAsWideAsTheList)
{
    CSqlPreviewDlg dialog(resources, settings, nullptr);
    dialog.m_statements = statements;
    std::string caption, heading;
    int columnWidth = 0, viewportWidth = 0;
    std::vector<std::string> rows;
    std::vector<int> selected;
    Run(dialog, [&] {
        CReportListCtrl* list = dialog.List();
        ASSERT_TRUE(list);
        caption = dialog.Window()->windowTitle().toStdString();
        heading = list->model()->headerData(0, Qt::Horizontal).toString().toStdString();
        columnWidth = list->columnWidth(0);
        viewportWidth = list->viewport()->width();
        for (int row = 0; row < list->GetItemCount(); ++row)
            rows.push_back(list->GetItemText(row, 0));
        selected = list->GetSelectedRows();
        EXPECT_EQ(list->selectionMode(), QAbstractItemView::ExtendedSelection);
        Click(dialog, CSqlPreviewDlg::kCancelButton);
    });
    EXPECT_EQ(caption, "SQL Preview");
    EXPECT_EQ(heading, "SQL to run");
    EXPECT_EQ(columnWidth, viewportWidth);
    EXPECT_EQ(rows, statements);
    EXPECT_EQ(selected, (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST_F(SqlPreview, DeleteSelectedRightAfterOpeningLeavesNothingToRun)
{
    CSqlPreviewDlg dialog(resources, settings, nullptr);
    dialog.m_statements = statements;
    int left = -1;
    const int result = Run(dialog, [&] {
        Click(dialog, CSqlPreviewDlg::kDeleteSelectedButton);
        left = dialog.List()->GetItemCount();
        Click(dialog, CSqlPreviewDlg::kMakeChangesButton);
    });
    EXPECT_EQ(result, TemplateDialog::IDOK);
    EXPECT_EQ(left, 0);
    EXPECT_TRUE(dialog.m_statements.empty());
    EXPECT_TRUE(dialog.m_kept.empty());
}

TEST_F(SqlPreview, MakeChangesHandsBackTheStatementsLeftInOrderWithTheirIndexes)
{
    CSqlPreviewDlg dialog(resources, settings, nullptr);
    dialog.m_statements = statements;
    const int result = Run(dialog, [&] {
        CReportListCtrl* list = dialog.List();
        list->clearSelection();
        for (int row : {1, 3})
            list->selectionModel()->select(list->model()->index(row, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
        Click(dialog, CSqlPreviewDlg::kDeleteSelectedButton);
        Click(dialog, CSqlPreviewDlg::kMakeChangesButton);
    });
    EXPECT_EQ(result, TemplateDialog::IDOK);
    EXPECT_EQ(dialog.m_statements, (std::vector<std::string>{statements[0], statements[2], statements[4]}));
    EXPECT_EQ(dialog.m_kept, (std::vector<std::size_t>{0, 2, 4}));
}

TEST_F(SqlPreview, CancelHandsBackNothing)
{
    CSqlPreviewDlg dialog(resources, settings, nullptr);
    dialog.m_statements = statements;
    dialog.m_kept = {7};
    const int result = Run(dialog, [&] {
        Click(dialog, CSqlPreviewDlg::kDeleteSelectedButton);
        Click(dialog, CSqlPreviewDlg::kCancelButton);
    });
    EXPECT_EQ(result, TemplateDialog::IDCANCEL);
    EXPECT_EQ(dialog.m_statements, statements);  // as filled
    EXPECT_TRUE(dialog.m_kept.empty());
}

TEST_F(SqlPreview, ResizingStretchesTheListAndMovesTheButtonsAndIsKeptUnderSection91)
{
    CSqlPreviewDlg dialog(resources, settings, nullptr);
    dialog.m_statements = statements;
    QRect list, button, listAfter, buttonAfter, closedAt;
    int columnWidth = 0;
    Run(dialog, [&] {
        QDialog* window = dialog.Window();
        list = dialog.GetDlgItem(CSqlPreviewDlg::kStatementList)->geometry();
        button = dialog.GetDlgItem(CSqlPreviewDlg::kDeleteSelectedButton)->geometry();
        columnWidth = dialog.List()->columnWidth(0);
        window->resize(window->size() + QSize(100, 50));
        QCoreApplication::processEvents();
        listAfter = dialog.GetDlgItem(CSqlPreviewDlg::kStatementList)->geometry();
        buttonAfter = dialog.GetDlgItem(CSqlPreviewDlg::kDeleteSelectedButton)->geometry();
        EXPECT_EQ(dialog.List()->columnWidth(0), columnWidth);  // the column keeps its width
        closedAt = window->geometry();
        Click(dialog, CSqlPreviewDlg::kCancelButton);
    });
    EXPECT_EQ(listAfter, list.adjusted(0, 0, 100, 50));
    EXPECT_EQ(buttonAfter, button.translated(100, 50));
    EXPECT_EQ(settings.ReadInt("91", "left", -1), closedAt.left());
    EXPECT_EQ(settings.ReadInt("91", "bottom", -1), closedAt.top() + closedAt.height());
}

TEST_F(SqlPreview, KeysWorkAsInEveryDialog)
{
    // The list has the focus first; Ctrl+C copies every statement, Enter is
    // Make Changes, Escape is Cancel.
    auto key = [](QWidget* to, int code, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QKeyEvent press(QEvent::KeyPress, code, modifiers);
        QApplication::sendEvent(to, &press);
    };
    CSqlPreviewDlg dialog(resources, settings, nullptr);
    dialog.m_statements = {"DELETE FROM t WHERE k = 1", "DELETE FROM t WHERE k = 2"};
    bool listFocused = false;
    const int result = Run(dialog, [&] {
        listFocused = dialog.Window()->focusWidget() == dialog.List();
        key(dialog.List(), Qt::Key_C, Qt::ControlModifier);
        key(dialog.List(), Qt::Key_Return);
    });
    EXPECT_EQ(result, TemplateDialog::IDOK);
    EXPECT_TRUE(listFocused);
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(),
              "0\tDELETE FROM t WHERE k = 1\r\n0\tDELETE FROM t WHERE k = 2\r\n");
    EXPECT_EQ(dialog.m_kept, (std::vector<std::size_t>{0, 1}));

    EXPECT_EQ(Run(dialog, [&] { key(dialog.List(), Qt::Key_Escape); }), TemplateDialog::IDCANCEL);
}

TEST_F(SqlPreview, TheGermanLayoutHasTheSameControls)
{
    const auto german = ResourceModule::Load(TOLVANE_DE_MODULE);
    ASSERT_TRUE(german);
    ResourceSource source(own);
    source.UseModule(german.get());
    for (int id : {CSqlPreviewDlg::IDD, 1540}) {
        const auto translated = source.LoadDialogTemplate(id);
        const auto english = resources.LoadDialogTemplate(id);
        ASSERT_TRUE(translated && english) << id;
        EXPECT_NE(translated->caption, english->caption);
        ASSERT_EQ(translated->controls.size(), english->controls.size());
        for (std::size_t i = 0; i < english->controls.size(); ++i)
            EXPECT_EQ(translated->controls[i].id, english->controls[i].id) << id;
    }
}
