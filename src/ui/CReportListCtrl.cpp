#include "ui/CReportListCtrl.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDialog>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>

#include <algorithm>
#include <charconv>

#include "ui/CReportFindDlg.h"
#include "ui/DialogBuilder.h"
#include "ui/DialogResources.h"
#include "ui/RowTextSearch.h"

CReportListCtrl::CReportListCtrl(const DialogResources& resources, QWidget* parent)
    : QTableView(parent), m_resources(resources), m_model(new ReportListModel(this))
{
    setModel(m_model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(false);
    setWordWrap(false);
    setSortingEnabled(false);
    // Tab leaves the list for the next control of the dialog.
    setTabKeyNavigation(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    // Rows of one height need no measuring, however many there are.
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

CReportListCtrl::~CReportListCtrl() = default;

CReportListCtrl* CReportListCtrl::CreateFor(const DialogControlTemplate& control, const DialogResources& resources,
                                            QWidget* parent)
{
    auto* list = new CReportListCtrl(resources, parent);
    DialogBuilder::ConfigureListView(control, *list);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    return list;
}

int CReportListCtrl::InsertColumn(int column, const std::string& heading, int width)
{
    column = m_model->InsertColumn(column, heading);
    setColumnWidth(column, width);
    return column;
}

int CReportListCtrl::InsertItem(int row, const std::string& text, int image)
{
    return m_model->InsertRow(row, text, image);
}

void CReportListCtrl::AppendItems(const std::vector<std::string>& texts)
{
    m_model->AppendRows(texts, 0);
}

bool CReportListCtrl::SetItemText(int row, int column, const std::string& text)
{
    return m_model->SetText(row, column, text);
}

std::string CReportListCtrl::GetItemText(int row, int column) const
{
    return m_model->Text(row, column);
}

void CReportListCtrl::SetItemData(int row, std::uintptr_t data)
{
    m_model->SetData(row, data);
}

std::uintptr_t CReportListCtrl::GetItemData(int row) const
{
    return row >= 0 && row < GetItemCount() ? m_model->RowAt(row).data : 0;
}

int CReportListCtrl::GetItemCount() const
{
    return m_model->rowCount();
}

void CReportListCtrl::DeleteItem(int row)
{
    m_model->RemoveRow(row);
}

std::vector<ReportListModel::RowInterval> CReportListCtrl::SelectedIntervals() const
{
    std::vector<ReportListModel::RowInterval> intervals;
    for (const QItemSelectionRange& range : selectionModel()->selection())
        intervals.emplace_back(range.top(), range.bottom());
    std::sort(intervals.begin(), intervals.end());
    // Ranges of single cells or of overlapping clicks become disjoint row runs.
    std::vector<ReportListModel::RowInterval> merged;
    for (const auto& interval : intervals) {
        if (!merged.empty() && interval.first <= merged.back().second + 1)
            merged.back().second = std::max(merged.back().second, interval.second);
        else
            merged.push_back(interval);
    }
    return merged;
}

std::vector<int> CReportListCtrl::GetSelectedRows() const
{
    std::vector<int> rows;
    for (const auto& [first, last] : SelectedIntervals())
        for (int row = first; row <= last; ++row)
            rows.push_back(row);
    return rows;
}

void CReportListCtrl::MarkAllSelected()
{
    const int count = GetItemCount();
    if (count == 0 || m_model->columnCount() == 0)
        return;
    const QItemSelection all(m_model->index(0, 0), m_model->index(count - 1, m_model->columnCount() - 1));
    selectionModel()->select(all, QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

void CReportListCtrl::SelectAll()
{
    // A single-selection list holds one selected row at most.
    if (selectionMode() == QAbstractItemView::SingleSelection || selectionMode() == QAbstractItemView::NoSelection)
        return;
    MarkAllSelected();
    if (GetItemCount() > 0)
        selectionModel()->setCurrentIndex(m_model->index(GetItemCount() - 1, 0), QItemSelectionModel::NoUpdate);
}

int CReportListCtrl::DeleteSelectedItems()
{
    const auto intervals = SelectedIntervals();
    int count = 0;
    for (const auto& [first, last] : intervals)
        count += last - first + 1;
    m_model->RemoveRows(intervals);
    return count;
}

void CReportListCtrl::AppendRowText(int row, int columnCount, std::string& text) const
{
    char number[16];
    const auto result = std::to_chars(number, number + sizeof number, m_model->RowAt(row).image);
    text.append(number, result.ptr);
    for (int column = 0; column < columnCount; ++column) {
        text += '\t';
        text += m_model->Text(row, column);
    }
    text += "\r\n";
}

std::string CReportListCtrl::CopyText() const
{
    std::string text;
    const int columns = m_model->columnCount();
    const auto intervals = SelectedIntervals();
    if (intervals.empty()) {
        for (int row = 0; row < GetItemCount(); ++row)
            AppendRowText(row, columns, text);
    } else {
        for (const auto& [first, last] : intervals)
            for (int row = first; row <= last; ++row)
                AppendRowText(row, columns, text);
    }
    return text;
}

void CReportListCtrl::Copy()
{
    if (GetItemCount() == 0)
        return;
    QApplication::clipboard()->setText(QString::fromStdString(CopyText()));
}

CReportFindDlg* CReportListCtrl::FindDialog() const
{
    return m_findDialog && m_findDialog->IsOpen() ? m_findDialog.get() : nullptr;
}

void CReportListCtrl::OpenFindDialog()
{
    if (!m_findDialog) {
        m_findDialog = std::make_unique<CReportFindDlg>(m_resources, this);
        m_findDialog->onFindNext = [this](const CReportFindDlg& dialog) {
            SetFindOptions(dialog.m_strFindWhat, dialog.m_bMatchCase != 0, dialog.m_bSearchDown,
                           dialog.m_bWholeWord != 0);
            FindNext();
        };
    }
    if (!m_findDialog->IsOpen()) {
        m_findDialog->m_strFindWhat = m_searchText;
        m_findDialog->m_bMatchCase = m_matchCase ? 1 : 0;
        m_findDialog->m_bSearchDown = m_searchDown;
        m_findDialog->m_bWholeWord = m_wholeWord ? 1 : 0;
    }
    m_findDialog->ShowAndActivate();
}

void CReportListCtrl::SetFindOptions(const std::string& text, bool matchCase, bool searchDown, bool wholeWord)
{
    m_searchText = text;
    m_matchCase = matchCase;
    m_searchDown = searchDown;
    m_wholeWord = wholeWord;
}

bool CReportListCtrl::FindNext()
{
    std::string needle = m_searchText;
    if (!m_matchCase)
        ToLowerAscii(needle);
    const int count = GetItemCount();
    const int step = m_searchDown ? 1 : -1;
    const QModelIndex focused = currentIndex();
    int row = focused.isValid() ? focused.row() + step : (m_searchDown ? 0 : count - 1);
    const int columns = m_model->columnCount();
    std::string text;
    for (; !needle.empty() && row >= 0 && row < count; row += step) {
        text.clear();
        AppendRowText(row, columns, text);
        if (!m_matchCase)
            ToLowerAscii(text);
        if (ContainsMatch(text, needle, m_wholeWord)) {
            SelectFoundRow(row);
            return true;
        }
    }
    Beep();
    return false;
}

void CReportListCtrl::SelectFoundRow(int row)
{
    // With Ctrl held the row found joins the selection.
    if (!(QApplication::keyboardModifiers() & Qt::ControlModifier))
        clearSelection();
    MakeRowVisible(row);
    selectionModel()->setCurrentIndex(m_model->index(row, 0),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
    KeepFindDialogOffRow(row);
}

void CReportListCtrl::KeepFindDialogOffRow(int row)
{
    CReportFindDlg* find = FindDialog();
    if (!find || !find->Window()->isVisible())
        return;
    QWidget* dialog = find->Window();
    // The whole row across the list's visible width, in screen coordinates.
    const QRect cell = visualRect(m_model->index(row, 0));
    const QRect rowRect(viewport()->mapToGlobal(QPoint(0, cell.top())), QSize(viewport()->width(), cell.height()));
    const QRect frame = dialog->frameGeometry();
    if (!frame.intersects(rowRect))
        return;
    const QScreen* screen = dialog->screen() ? dialog->screen() : QGuiApplication::primaryScreen();
    const QRect room = screen ? screen->availableGeometry() : QRect();
    // The frame's offset from the window's own position stays as it was.
    const int frameTop = dialog->y() - frame.top();
    int top = rowRect.bottom() + 1;
    if (!room.isNull() && top + frame.height() > room.bottom() + 1)
        top = rowRect.top() - frame.height();
    dialog->move(dialog->x(), top + frameTop);
}

void CReportListCtrl::MakeRowVisible(int row)
{
    scrollTo(m_model->index(row, 0), QAbstractItemView::EnsureVisible);
}

void CReportListCtrl::Beep()
{
    QApplication::beep();
}

std::unique_ptr<QMenu> CReportListCtrl::CreateContextMenu()
{
    const auto menuTemplate = m_resources.LoadMenuTemplate(kContextMenu);
    if (!menuTemplate)
        return nullptr;
    auto menu = std::make_unique<QMenu>(this);
    const bool multiple = selectionMode() != QAbstractItemView::SingleSelection &&
                          selectionMode() != QAbstractItemView::NoSelection;
    for (const MenuItemTemplate& item : menuTemplate->items) {
        QAction* action = menu->addAction(QString::fromStdString(item.text));
        action->setData(item.id);
        if (item.id == kSelectAllCommand)
            action->setEnabled(multiple);
    }
    return menu;
}

void CReportListCtrl::OnCommand(int command)
{
    if (command == kSelectAllCommand)
        SelectAll();
    else if (command == kCopyCommand)
        Copy();
}

void CReportListCtrl::contextMenuEvent(QContextMenuEvent* event)
{
    auto menu = CreateContextMenu();
    if (!menu)
        return;
    const QPoint at = event->reason() == QContextMenuEvent::Keyboard
                          ? mapToGlobal(QPoint(kKeyboardMenuOffset, kKeyboardMenuOffset))
                          : event->globalPos();
    if (QAction* chosen = menu->exec(at))
        OnCommand(chosen->data().toInt());
}

void CReportListCtrl::keyPressEvent(QKeyEvent* event)
{
    const bool control = (event->modifiers() & Qt::ControlModifier) != 0;
    if (control && event->key() == Qt::Key_A) {
        SelectAll();
    } else if (control && event->key() == Qt::Key_C) {
        Copy();
    } else if (control && event->key() == Qt::Key_F) {
        OpenFindDialog();
    } else if (event->key() == Qt::Key_F3) {
        if (m_searchText.empty())
            OpenFindDialog();
        else
            FindNext();
    } else {
        QTableView::keyPressEvent(event);
        return;
    }
    event->accept();
}

void CReportListCtrl::focusInEvent(QFocusEvent* event)
{
    // Qt makes the first row current when the list gets the focus; a list
    // without a focused row keeps none, so that Find starts at the first row.
    const bool hadCurrent = currentIndex().isValid();
    QTableView::focusInEvent(event);
    if (!hadCurrent && currentIndex().isValid())
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
}
