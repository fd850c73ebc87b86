// The report list: copy as row text, Find and Find Next (case, whole word,
// direction, no wrap), the context menu, tooltips, deleting selected rows, and
// its Find dialog.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDialog>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QToolTip>

#include <memory>

#include "UiTestSupport.h"
#include "ui/CReportFindDlg.h"
#include "ui/CReportListCtrl.h"
#include "ui/RowTextSearch.h"

namespace {

// A list that counts its beeps instead of sounding them.
class QuietList : public CReportListCtrl {
public:
    using CReportListCtrl::CReportListCtrl;
    int beeps = 0;

protected:
    void Beep() override { ++beeps; }
};

class ReportList : public uitest::WindowTest {
protected:
    void SetUp() override { list = std::make_unique<QuietList>(resources.Source()); }
    void TearDown() override
    {
        list.reset();
        uitest::WindowTest::TearDown();
    }

    void Fill(const std::vector<std::string>& rows)
    {
        list->InsertColumn(0, "SQL", 200);
        list->AppendItems(rows);
    }
    void SelectRow(int row)
    {
        list->selectionModel()->select(list->model()->index(row, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QKeyEvent press(QEvent::KeyPress, key, modifiers);
        QApplication::sendEvent(list.get(), &press);
    }

    uitest::OwnResources resources;
    std::unique_ptr<QuietList> list;
};

std::string ClipboardText()
{
    return QApplication::clipboard()->text().toStdString();
}

} // namespace

TEST_F(ReportList, CopiesTheSelectedRowsOrAllAsRowText)
{
    Fill({"INSERT INTO t VALUES (1)", "b", "c", "UPDATE t SET a = 'ä'", "e"});
    list->InsertColumn(1, "Second", 50);
    list->SetItemText(1, 1, "two");
    list->InsertItem(5, "imaged", 3);

    QApplication::clipboard()->clear();
    Press(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(ClipboardText(), "0\tINSERT INTO t VALUES (1)\t\r\n0\tb\ttwo\r\n0\tc\t\r\n0\tUPDATE t SET a = 'ä'\t\r\n"
                               "0\te\t\r\n3\timaged\t\r\n");

    SelectRow(3);
    SelectRow(1);
    Press(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(ClipboardText(), "0\tb\ttwo\r\n0\tUPDATE t SET a = 'ä'\t\r\n");

    // Select All from the keyboard: every row, the last one focused.
    Press(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(list->GetSelectedRows(), (std::vector<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(list->currentIndex().row(), 5);
}

TEST_F(ReportList, CopyOfAnEmptyListLeavesTheClipboardAlone)
{
    Fill({});
    QApplication::clipboard()->setText("kept");
    list->Copy();
    EXPECT_EQ(ClipboardText(), "kept");
}

struct FindCase {
    const char* name;
    const char* text;
    bool matchCase;
    bool wholeWord;
    bool down;
    int focused;  // -1: no focused row
    int found;    // -1: nothing found
};

// ctest shows a parameter's printed value in the test's name.
void PrintTo(const FindCase& c, std::ostream* out)
{
    *out << c.name;
}

class FindNext : public ReportList, public ::testing::WithParamInterface<FindCase> {};

TEST_P(FindNext, FindsTheNextMatchingRowWithoutWrapping)
{
    const FindCase& c = GetParam();
    Fill({"INSERT INTO t VALUES (1)", "update XABC set a = 1", "delete from ABC_1", "select ABC9", "abc lower",
          "ABCABC"});
    if (c.focused >= 0)
        list->selectionModel()->setCurrentIndex(list->model()->index(c.focused, 0), QItemSelectionModel::NoUpdate);
    SelectRow(0);
    list->SetFindOptions(c.text, c.matchCase, c.down, c.wholeWord);

    EXPECT_EQ(list->FindNext(), c.found >= 0);
    if (c.found >= 0) {
        EXPECT_EQ(list->currentIndex().row(), c.found);
        EXPECT_EQ(list->GetSelectedRows(), std::vector<int>{c.found});  // selected alone
        EXPECT_EQ(list->beeps, 0);
    } else {
        EXPECT_EQ(list->beeps, 1);
        EXPECT_EQ(list->GetSelectedRows(), std::vector<int>{0});  // nothing changed
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FindNext,
    ::testing::Values(FindCase{"CaseIgnoredFindsUpperCase", "insert", false, false, true, -1, 0},
                      FindCase{"MatchCaseSkipsUpperCase", "insert", true, false, true, -1, -1},
                      FindCase{"WholeWordSkipsXabcAndAbcUnderscore", "ABC", true, true, true, -1, 3},
                      FindCase{"PartOfAWordWithoutWholeWord", "ABC", true, false, true, -1, 1},
                      FindCase{"WholeWordCaseIgnored", "abc", false, true, true, 3, 4},
                      FindCase{"RestAfterAFailedMatchStartsAWord", "ABC", true, true, true, 4, 5},
                      FindCase{"UpFromTheFocusedRow", "ABC", true, true, false, 4, 3},
                      FindCase{"UpWithoutFocusStartsAtTheLastRow", "lower", false, false, false, -1, 4},
                      FindCase{"DownFromTheLastRowDoesNotWrap", "INSERT", true, false, true, 5, -1},
                      FindCase{"UpFromTheFirstRowDoesNotWrap", "ABCABC", true, false, false, 0, -1},
                      FindCase{"EmptyTextFindsNothing", "", false, false, true, -1, -1}),
    [](const ::testing::TestParamInfo<FindCase>& info) { return std::string(info.param.name); });

TEST(RowTextSearch, WholeWordSeparators)
{
    struct Case {
        const char* text;
        const char* needle;
        bool whole;
    };
    const Case cases[] = {{"ABC", "ABC", true},     {"XABC", "ABC", false},    {"ABC_1", "ABC", false},
                          {"ABC9", "ABC", true},    {"9ABC", "ABC", true},     {"(ABC)", "ABC", true},
                          {"ABCABC", "ABC", true},  {"XABCY ABC", "ABC", true}, {"äABC", "ABC", false},
                          // Characters beyond ASCII by their Unicode class.
                          {"«ABC»", "ABC", true},   {"„ABC“", "ABC", true},    {"ABC€", "ABC", true},
                          {"ABCé", "ABC", false},   {"日本ABC", "ABC", false}, {"ABC\u00A0x", "ABC", true},
                          {"ABC\u0660", "ABC", true}, {"e\u0301ABC", "ABC", false},
                          {"\xFF" "ABC", "ABC", true}};
    for (const Case& c : cases)
        EXPECT_EQ(ContainsMatch(c.text, c.needle, true), c.whole) << c.text;
    std::string lower = "INSERT Into ÄB";
    ToLowerAscii(lower);
    EXPECT_EQ(lower, "insert into Äb");
}

TEST_F(ReportList, FindNextKeepsTheSelectionWithCtrlHeld)
{
    Fill({"one", "two", "three"});
    SelectRow(0);
    list->SetFindOptions("three", false, true, false);
    // F3 with Ctrl: the row found joins the selection.
    Press(Qt::Key_F3, Qt::ControlModifier);
    EXPECT_EQ(list->GetSelectedRows(), (std::vector<int>{0, 2}));
}

TEST_F(ReportList, SelectAllIsGreyedInASingleSelectionList)
{
    Fill({"a", "b"});
    for (const auto mode : {QAbstractItemView::SingleSelection, QAbstractItemView::ExtendedSelection}) {
        list->setSelectionMode(mode);
        const auto menu = list->CreateContextMenu();
        ASSERT_TRUE(menu);
        const QList<QAction*> actions = menu->actions();
        ASSERT_EQ(actions.size(), 2);
        EXPECT_EQ(actions[0]->text(), "&Select All");
        EXPECT_EQ(actions[0]->data().toInt(), CReportListCtrl::kSelectAllCommand);
        EXPECT_EQ(actions[0]->isEnabled(), mode != QAbstractItemView::SingleSelection);
        EXPECT_EQ(actions[1]->text(), "&Copy");
        EXPECT_TRUE(actions[1]->isEnabled());
    }
}

TEST_F(ReportList, TheMenuFromTheKeyboardOpensBesideTheCornerAndItsCommandsWork)
{
    Fill({"a", "b", "c"});
    list->resize(300, 200);
    list->move(40, 60);
    list->show();
    QPoint openedAt;
    uitest::Later([&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_TRUE(menu);
        openedAt = menu->pos();
        menu->setActiveAction(menu->actions().at(0));  // Select All
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(menu, &enter);
    });
    QContextMenuEvent request(QContextMenuEvent::Keyboard, QPoint(0, 0), list->mapToGlobal(QPoint(0, 0)));
    QApplication::sendEvent(list.get(), &request);
    EXPECT_EQ(openedAt, list->mapToGlobal(QPoint(5, 5)));
    EXPECT_EQ(list->GetSelectedRows(), (std::vector<int>{0, 1, 2}));
}

TEST_F(ReportList, ATooltipShowsTheCellCutTo79Characters)
{
    std::string longText;
    for (int i = 0; i < 200; ++i)
        longText += static_cast<char>('a' + i % 26);
    Fill({longText, "short"});
    list->resize(300, 200);
    list->show();
    for (int row : {0, 1}) {
        const QRect cell = list->visualRect(list->model()->index(row, 0));
        QHelpEvent help(QEvent::ToolTip, cell.center(), list->viewport()->mapToGlobal(cell.center()));
        QApplication::sendEvent(list->viewport(), &help);
        EXPECT_EQ(QToolTip::text().toStdString(), row == 0 ? longText.substr(0, 79) : "short");
    }
    QToolTip::hideText();
}

TEST_F(ReportList, DeleteSelectedRemovesExactlyTheSelectedRows)
{
    // Few runs of rows and many scattered rows take different ways out.
    for (const int stride : {1, 2, 7}) {
        list = std::make_unique<QuietList>(resources.Source());
        std::vector<std::string> rows;
        for (int i = 0; i < 100; ++i)
            rows.push_back(std::to_string(i));
        Fill(rows);
        std::vector<std::string> expected;
        for (int i = 0; i < 100; ++i) {
            const bool select = stride == 1 ? (i >= 10 && i < 20) || i == 50 : i % stride == 0;
            if (select)
                SelectRow(i);
            else
                expected.push_back(rows[static_cast<std::size_t>(i)]);
        }
        EXPECT_EQ(list->DeleteSelectedItems(), 100 - static_cast<int>(expected.size()));
        std::vector<std::string> left;
        for (int row = 0; row < list->GetItemCount(); ++row)
            left.push_back(list->GetItemText(row, 0));
        EXPECT_EQ(left, expected) << "stride " << stride;
        EXPECT_TRUE(list->GetSelectedRows().empty());
    }
}

TEST_F(ReportList, CtrlFOpensOneFindDialogThatFindsAndForgetsItWhenClosed)
{
    Fill({"alpha", "beta", "gamma beta"});
    list->show();
    Press(Qt::Key_F3);  // no search text yet: opens the dialog
    CReportFindDlg* find = list->FindDialog();
    ASSERT_TRUE(find);
    QDialog* window = find->Window();
    ASSERT_TRUE(window && window->isVisible());
    EXPECT_EQ(window->windowTitle(), "Find");
    Press(Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(list->FindDialog(), find);
    EXPECT_EQ(find->Window(), window);  // the same one, no second

    auto* findNext = find->Item<QPushButton>(CReportFindDlg::kFindNextButton);
    EXPECT_FALSE(findNext->isEnabled());
    find->Item<QLineEdit>(CReportFindDlg::kFindWhatEdit)->setText("BETA");
    findNext->click();
    EXPECT_EQ(list->currentIndex().row(), 1);
    findNext->click();
    EXPECT_EQ(list->currentIndex().row(), 2);
    findNext->click();
    EXPECT_EQ(list->beeps, 1);
    EXPECT_EQ(list->SearchText(), "BETA");

    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(window, &escape);
    EXPECT_EQ(list->FindDialog(), nullptr);

    // Opened again, it shows the last search; F3 searches again without it.
    Press(Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(list->FindDialog());
    EXPECT_EQ(list->FindDialog()->Item<QLineEdit>(CReportFindDlg::kFindWhatEdit)->text(), "BETA");
    list->FindDialog()->Item<QPushButton>(CReportFindDlg::kCancelButton)->click();
    list->selectionModel()->setCurrentIndex(list->model()->index(0, 0), QItemSelectionModel::NoUpdate);
    Press(Qt::Key_F3);
    EXPECT_EQ(list->currentIndex().row(), 1);
    EXPECT_EQ(list->FindDialog(), nullptr);
}

// The Find dialog never hides the row it found: one that covers it moves off it.
TEST_F(ReportList, TheFindDialogMovesOffTheRowItFound)
{
    std::vector<std::string> rows;
    for (int i = 0; i < 40; ++i)
        rows.push_back(i == 20 ? "the one to find" : "row " + std::to_string(i));
    Fill(rows);
    list->resize(400, 600);
    list->move(100, 50);
    list->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list.get()));
    Press(Qt::Key_F, Qt::ControlModifier);
    CReportFindDlg* find = list->FindDialog();
    ASSERT_TRUE(find);
    QWidget* dialog = find->Window();
    // Put it right over the rows in the middle of the list.
    const QRect cell = list->visualRect(list->model()->index(20, 0));
    const QPoint rowTop = list->viewport()->mapToGlobal(cell.topLeft());
    dialog->move(rowTop.x(), rowTop.y() - dialog->frameGeometry().height() / 2);
    ASSERT_TRUE(dialog->frameGeometry().contains(QPoint(rowTop.x() + 5, rowTop.y() + cell.height() / 2)));
    find->Item<QLineEdit>(CReportFindDlg::kFindWhatEdit)->setText("the one");
    find->Item<QPushButton>(CReportFindDlg::kFindNextButton)->click();
    ASSERT_EQ(list->currentIndex().row(), 20);
    const QRect found(list->viewport()->mapToGlobal(list->visualRect(list->model()->index(20, 0)).topLeft()),
                      QSize(list->viewport()->width(), cell.height()));
    EXPECT_FALSE(dialog->frameGeometry().intersects(found)) << "dialog " << dialog->frameGeometry().y();
}
