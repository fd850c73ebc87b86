#include "app/CSqlPreviewDlg.h"

#include "common/ResourceStrings.h"
#include "ui/CReportListCtrl.h"
#include "ui/DialogTemplate.h"

CSqlPreviewDlg::CSqlPreviewDlg(const DialogResources& resources, SettingsValues& settings, QWidget* parent)
    : CResizableDlg(IDD, resources, settings, parent)
{
    // The buttons keep their distance to the lower-right corner, the list grows.
    AddAnchor(kMakeChangesButton, kMoveRight | kMoveDown);
    AddAnchor(kCancelButton, kMoveRight | kMoveDown);
    AddAnchor(kDeleteSelectedButton, kMoveRight | kMoveDown);
    AddAnchor(kStatementList, kGrowWidth | kGrowHeight);
}

QWidget* CSqlPreviewDlg::CreateControl(const DialogControlTemplate& control, QWidget* parent)
{
    if (control.id == kStatementList && control.kind == "listview")
        return CReportListCtrl::CreateFor(control, Resources(), parent);
    return CResizableDlg::CreateControl(control, parent);
}

void CSqlPreviewDlg::DoDataExchange(bool)
{
    m_list = Item<CReportListCtrl>(kStatementList);
}

bool CSqlPreviewDlg::OnInitDialog()
{
    CResizableDlg::OnInitDialog();
    if (!m_list)
        return true;
    // One column as wide as the list's inside at first (the viewport gets its
    // size only when the window shows); it keeps that width when the dialog grows.
    m_list->ensurePolished();
    m_list->InsertColumn(0, LoadResourceString(kSqlToRunString), m_list->contentsRect().width());
    m_list->AppendItems(m_statements);
    for (std::size_t i = 0; i < m_statements.size(); ++i)
        m_list->SetItemData(static_cast<int>(i), i);
    m_list->MarkAllSelected();
    // The keys of the list (copy, find) work as soon as the window shows.
    m_list->setFocus();
    m_kept.clear();
    return true;
}

void CSqlPreviewDlg::OnCommand(int id)
{
    if (id == kDeleteSelectedButton)
        OnDeleteSelected();
    else
        CResizableDlg::OnCommand(id);
}

void CSqlPreviewDlg::OnDeleteSelected()
{
    if (m_list)
        m_list->DeleteSelectedItems();
}

void CSqlPreviewDlg::OnOK()
{
    if (!m_list)
        return;
    // What is left in the list is what runs, in list order.
    std::vector<std::string> left;
    std::vector<std::size_t> kept;
    const int count = m_list->GetItemCount();
    left.reserve(static_cast<std::size_t>(count));
    kept.reserve(static_cast<std::size_t>(count));
    for (int row = 0; row < count; ++row) {
        left.push_back(m_list->GetItemText(row, 0));
        kept.push_back(static_cast<std::size_t>(m_list->GetItemData(row)));
    }
    m_statements = std::move(left);
    m_kept = std::move(kept);
    EndDialog(IDOK);
}

void CSqlPreviewDlg::OnCancel()
{
    m_kept.clear();
    CResizableDlg::OnCancel();
}

void CSqlPreviewDlg::OnDestroy()
{
    m_list = nullptr;
    CResizableDlg::OnDestroy();
}
