#pragma once
// "Compare Data Sources", the program's main dialog: the old and the new data
// source, the table list that Update fills with paired tables, the difference
// data path and the two options of the compare run that Process starts.
// Construction reads the working values from the settings store, destruction
// writes "Old DS", "New DS" and "Diff Path" back from the members.
#include <cstdint>
#include <string>
#include <vector>

#include <QIcon>

#include "app/AppContext.h"
#include "app/COptionsDlg.h"
#include "datasource/CDatabase.h"
#include "datasource/TablePairing.h"
#include "ui/TemplateDialog.h"

class QLineEdit;
class QTableWidget;

class CCompareDlg : public TemplateDialog {
public:
    static constexpr int IDD = 142;
    // Control ids of the template.
    static constexpr int kOldDataSourceEdit = 1013;
    static constexpr int kBrowseOldDataSourceButton = 1014;
    static constexpr int kNewDataSourceEdit = 1015;
    static constexpr int kBrowseNewDataSourceButton = 1016;
    static constexpr int kTableList = 1017;
    static constexpr int kUpdateButton = 1018;
    static constexpr int kDiffPathEdit = 1019;
    static constexpr int kBrowseDiffPathButton = 1020;
    static constexpr int kDeleteDumpsCheck = 1021;
    static constexpr int kOptionsButton = 1022;
    static constexpr int kCompareTablesCheck = 1027;
    static constexpr int kAboutButton = 1028;
    static constexpr int kProcessButton = IDOK;
    static constexpr int kCloseButton = IDCANCEL;
    static constexpr int kMergeDataButton = 3;

    explicit CCompareDlg(const AppContext& context, QWidget* parent = nullptr);
    ~CCompareDlg() override;

    // Commands.
    void OnUpdate();
    void OnProcess();
    void OnOptions();
    void OnMergeData();
    void OnAbout();
    void BrowseDataSource(int editId, std::string& name, CDatabase& database);
    void OnBrowseDiffPath();

    // The rows of the table list (a row's note is its tooltip) and the rows the
    // user selected, in row order.
    std::vector<TablePairRow> TableRows() const;
    std::vector<int> SelectedRows() const;
    // Replaces the rows of the table list: selected rows are selected, a row
    // with a note shows a warning sign beside its name and the note as tooltip.
    void FillTableList(const std::vector<TablePairRow>& rows);

    CDatabase m_dbOld;
    CDatabase m_dbNew;
    QLineEdit* m_editOldDS = nullptr;
    QLineEdit* m_editNewDS = nullptr;
    QLineEdit* m_editDiffPath = nullptr;
    QTableWidget* m_listTables = nullptr;
    std::string m_strDiffPath;
    std::string m_strNewDS;
    std::string m_strOldDS;
    std::int32_t m_bDeleteDumps = 0;
    std::int32_t m_bCompareTables = 1;
    COptionsDlg m_options;
    QIcon m_hIcon;

protected:
    void DoDataExchange(bool save) override;
    bool OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void OnCommand(int id) override;

private:
    // Runs a command; an error it does not handle itself is shown and the
    // dialog stays open.
    template <class Command>
    void RunCommand(Command command);
    void ShowMessage(const std::string& text);
    void SetProcessEnabled(bool enabled);
    // "The data source ... lists no tables." for each connected side without tables.
    std::string EmptySidesText(const std::vector<std::string>& oldNames,
                               const std::vector<std::string>& newNames) const;
    void ProcessSelectedRows(const std::vector<TablePairRow>& rows);

    AppContext m_context;
    // A compare run is going. Cancelling it enables this dialog again while the
    // engine still finishes the current pair; until the run is over its commands
    // wait, so that nothing reconnects, restarts or closes under the run.
    bool m_bRunning = false;
};
