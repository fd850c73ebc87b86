#pragma once
// The "SQL Preview" dialog: every statement of a merge in one list, all of them
// selected. Delete Selected drops statements from the list; Make Changes hands
// back the statements left, in list order, and for each the index it had in
// the statements as filled; Cancel hands back nothing. The list's own keys and
// context menu copy statements to the clipboard and find text in them.
#include <cstddef>
#include <string>
#include <vector>

#include "ui/CResizableDlg.h"

class CReportListCtrl;

class CSqlPreviewDlg : public CResizableDlg {
public:
    static constexpr int IDD = 145;
    static constexpr int kStatementList = 1006;
    static constexpr int kDeleteSelectedButton = 1026;
    static constexpr int kMakeChangesButton = IDOK;
    static constexpr int kCancelButton = IDCANCEL;
    // The heading of the statement column.
    static constexpr int kSqlToRunString = 3007;

    CSqlPreviewDlg(const DialogResources& resources, SettingsValues& settings, QWidget* parent);

    std::vector<std::string> m_statements;  // filled before DoModal(); after IDOK: the statements left, in list order
    std::vector<std::size_t> m_kept;        // after IDOK: for each statement left, its index in m_statements as filled

    // The statement list while the window exists.
    CReportListCtrl* List() const { return m_list; }

protected:
    QWidget* CreateControl(const DialogControlTemplate& control, QWidget* parent) override;
    void DoDataExchange(bool save) override;
    bool OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void OnCommand(int id) override;
    void OnDestroy() override;

private:
    void OnDeleteSelected();

    CReportListCtrl* m_list = nullptr;
};
