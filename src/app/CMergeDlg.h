#pragma once
// "Merge Data": the user names the merge file and the merge data source,
// previews per table what would be added, updated and deleted, selects tables
// and merges them: the statements are shown for review in the SQL Preview and
// run on Make Changes. Construction reads "Merge File" and "Merge DS" from the
// settings store, destruction writes both back from the members.
#include <string>
#include <vector>

#include "app/AppContext.h"
#include "datasource/CDatabase.h"
#include "common/CompareSettings.h"
#include "ui/TemplateDialog.h"
#include "workflow/MergeRun.h"

class QLineEdit;
class QTableWidget;

class CMergeDlg : public TemplateDialog {
public:
    static constexpr int IDD = 144;
    // Control ids of the template.
    static constexpr int kMergeFileEdit = 1015;
    static constexpr int kBrowseMergeFileButton = 1014;
    static constexpr int kMergeDataSourceEdit = 1023;
    static constexpr int kBrowseMergeDataSourceButton = 1016;
    static constexpr int kTableList = 1017;
    static constexpr int kPreviewChangesButton = 1039;
    static constexpr int kMergeButton = IDOK;
    static constexpr int kCloseButton = IDCANCEL;

    CMergeDlg(const AppContext& context, QWidget* parent = nullptr);
    ~CMergeDlg() override;

    // Commands.
    void OnBrowseMergeFile();
    void OnBrowseMergeDS();
    void OnPreviewChanges();
    void OnMerge();

    // The rows of the table list the user selected, in row order.
    std::vector<std::size_t> SelectedRows() const;

    QTableWidget* m_listTables = nullptr;
    QLineEdit* m_editMergeDS = nullptr;
    QLineEdit* m_editMergeFile = nullptr;
    std::string m_strMergeFile;
    std::string m_strMergeDS;
    CDatabase m_database;
    CompareSettings m_settings;  // a copy of the main dialog's record
    MergeRun m_run;              // the change set of the last preview and the merge of it

protected:
    void DoDataExchange(bool save) override;
    bool OnInitDialog() override;
    void OnOK() override;
    void OnCommand(int id) override;

private:
    template <class Command>
    void RunCommand(Command command);
    void ShowMessage(const std::string& text);
    // Executes the reviewed statements with the progress window and shows the outcome.
    void MakeChanges(const std::vector<GeneratedStatement>& statements);

    AppContext m_context;
};
