#include "app/CCompareDlg.h"

#include <QApplication>
#include <QDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTableWidget>

#include <memory>
#include <optional>

#include "app/BrowseDataSource.h"
#include "app/CAboutDlg.h"
#include "app/CMergeDlg.h"
#include "app/CProgressDlg.h"
#include "app/HostSystemFacts.h"
#include "app/ProgramPaths.h"
#include "app/SettingsStore.h"
#include "app/UserDialogs.h"
#include "common/MemoryBudget.h"
#include "common/ResourceStrings.h"
#include "common/SettingsValues.h"
#include "common/UiHooks.h"
#include "ui/DesktopLinkShell.h"
#include "ui/DialogResources.h"
#include "workflow/CompareFolderLock.h"
#include "workflow/CompareRun.h"
#include "workflow/ErrorText.h"
#include "workflow/TableListing.h"

namespace {

constexpr int kOldTablesText = 3001;
constexpr int kNewTablesText = 3002;
constexpr int kIconId = 128;
constexpr int kNothingSelectedText = 2326;
constexpr int kCreatingReportText = 2309;
constexpr int kNoTablesText = 3014;
constexpr int kFolderBusyText = 3030;
constexpr int kRunCancelledText = 3031;
constexpr int kNotComparedKeptText = 3032;
constexpr int kNotComparedLeftText = 3033;
constexpr int kNotDumpedText = 3034;
constexpr const char* kOldDS = "Old DS";
constexpr const char* kNewDS = "New DS";
constexpr const char* kDiffPath = "Diff Path";

// The data source part of a side's dump file names: the name in the field, or
// for an empty field the data source picked in the prompt (two empty fields
// would otherwise give both sides the same dump file, the new dump would
// replace the old one and every table would compare equal); for a connection
// string the side's role (DumpNameFor).
std::string DumpNameOf(const std::string& fieldName, const CDatabase& database, const std::string& role)
{
    std::string name = fieldName;
    if (name.empty() && database.IsOpen())
        ExtractDataSourceName(database.m_strConnect, name);
    return DumpNameFor(name, role);
}

// The compare run's progress shown in the "Processing" window: its bar moves
// before each pair, and Cancel (which takes the window away) stops the run
// before the next pair. Dumps do not pump, so rows are not shown.
class ProgressWindowFeedback : public CompareRunProgress {
public:
    ProgressWindowFeedback(CProgressDlg& progress, const std::int32_t& stopFlag)
        : m_progress(progress), m_stopFlag(stopFlag)
    {
    }
    bool PairStarting(std::size_t number, std::size_t, const TablePairRow&) override
    {
        m_progress.SetProgress(static_cast<std::int64_t>(number));
        return !m_stopFlag;
    }
    // Splitting a large pair and comparing its bucket pairs call often: the
    // window stays alive, and Cancel stops such a pair at once rather than
    // after minutes. A pair compared whole finishes, as it always has.
    bool PairWorking(const TablePairRow&, SplitPhase phase, std::uint64_t, std::uint64_t total) override
    {
        PumpWaitingMessagesIfDue();
        const bool split = phase == SplitPhase::Splitting || total > 1;
        return !(split && m_stopFlag);
    }

private:
    CProgressDlg& m_progress;
    const std::int32_t& m_stopFlag;
};

// A table left unpaired for a name that differs only in case: a warning sign
// beside its name and the reason as the tooltip of the whole row, so that the
// two columns keep holding nothing but the names.
void MarkUnpaired(QTableWidgetItem& named, QTableWidgetItem& empty, const std::string& note)
{
    const QString text = QString::fromStdString(note);
    named.setIcon(QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning));
    named.setToolTip(text);
    empty.setToolTip(text);
}

std::string JoinedNames(const std::vector<std::string>& names)
{
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : ", ") + name;
    return text;
}

// What the user is told after a run: the error or the cancel that stopped it,
// every pair that could not be compared, and for a stopped run the tables it
// did not get to, with what that means for the merge file: it holds only the
// others, or the previous one is still there.
std::string RunMessage(const CompareRunReport& report, bool compareTables, const std::string& mergeFile)
{
    std::vector<std::string> parts;
    if (report.error)
        parts.push_back(*report.error);
    else if (report.cancelled)
        parts.push_back(LoadResourceString(kRunCancelledText));
    for (const std::string& line : report.NotComparedLines())
        parts.push_back(line);
    const std::vector<std::string> unfinished = report.UnfinishedTables();
    if ((report.error || report.cancelled) && !unfinished.empty()) {
        const std::string names = JoinedNames(unfinished);
        if (!compareTables)
            parts.push_back(FormatString(LoadResourceString(kNotDumpedText).c_str(), names.c_str()));
        else
            parts.push_back(FormatString(
                LoadResourceString(report.mergeFileReplaced ? kNotComparedKeptText : kNotComparedLeftText).c_str(),
                names.c_str(), mergeFile.c_str()));
    }
    std::string text;
    for (const std::string& part : parts)
        text += (text.empty() || text.back() == '\n' ? "" : "\n") + part;
    return text;
}

} // namespace

CCompareDlg::CCompareDlg(const AppContext& context, QWidget* parent)
    : TemplateDialog(IDD, context.resources, parent),
      m_options(context.settings, context.resources, nullptr, &context.dialogs),
      m_context(context)
{
    const SettingsValues& store = m_context.settings;
    const std::string section = SettingsStore::kSettingsSection;
    m_strOldDS = store.ReadString(section, kOldDS, "");
    m_strNewDS = store.ReadString(section, kNewDS, "");
    m_strDiffPath = NormaliseDiffPath(store.ReadString(section, kDiffPath, ""), m_context.executableFileName);
    m_options.m_settings.LoadSettings(store);
    m_hIcon = m_context.resources.LoadIcon(kIconId);
    m_dbOld.SetPrompt(m_context.prompt);
    m_dbNew.SetPrompt(m_context.prompt);
}

CCompareDlg::~CCompareDlg()
{
    SettingsValues& store = m_context.settings;
    const std::string section = SettingsStore::kSettingsSection;
    store.WriteString(section, kOldDS, m_strOldDS);
    store.WriteString(section, kNewDS, m_strNewDS);
    store.WriteString(section, kDiffPath, m_strDiffPath);
}

void CCompareDlg::DoDataExchange(bool save)
{
    m_editOldDS = Item<QLineEdit>(kOldDataSourceEdit);
    m_editNewDS = Item<QLineEdit>(kNewDataSourceEdit);
    m_editDiffPath = Item<QLineEdit>(kDiffPathEdit);
    m_listTables = Item<QTableWidget>(kTableList);
    DDX_Text(save, kDiffPathEdit, m_strDiffPath);
    DDX_Text(save, kNewDataSourceEdit, m_strNewDS);
    DDX_Text(save, kOldDataSourceEdit, m_strOldDS);
    DDX_Check(save, kDeleteDumpsCheck, m_bDeleteDumps);
    DDX_Check(save, kCompareTablesCheck, m_bCompareTables);
}

bool CCompareDlg::OnInitDialog()
{
    TemplateDialog::OnInitDialog();
    if (m_listTables) {
        const int halfWidth = m_listTables->contentsRect().width() / 2;
        m_listTables->setColumnCount(2);
        m_listTables->setHorizontalHeaderLabels({QString::fromStdString(LoadResourceString(kOldTablesText)),
                                                 QString::fromStdString(LoadResourceString(kNewTablesText))});
        m_listTables->setColumnWidth(0, halfWidth);
        m_listTables->setColumnWidth(1, halfWidth);
        // Grid lines, movable columns and whole rows selected.
        m_listTables->setShowGrid(true);
        m_listTables->horizontalHeader()->setSectionsMovable(true);
        m_listTables->setSelectionBehavior(QAbstractItemView::SelectRows);
    }
    if (QDialog* window = Window())
        window->setWindowIcon(m_hIcon);
    return true;
}

void CCompareDlg::OnOK()
{
    if (m_bRunning)
        return;
    // Enter and the default button start the compare run; the dialog stays open.
    RunCommand([this] { OnProcess(); });
}

void CCompareDlg::OnCancel()
{
    if (m_bRunning)
        return;
    TemplateDialog::OnCancel();
}

void CCompareDlg::OnCommand(int id)
{
    if (m_bRunning)
        return;
    switch (id) {
    case kBrowseOldDataSourceButton:
        RunCommand([this] { BrowseDataSource(kOldDataSourceEdit, m_strOldDS, m_dbOld); });
        break;
    case kBrowseNewDataSourceButton:
        RunCommand([this] { BrowseDataSource(kNewDataSourceEdit, m_strNewDS, m_dbNew); });
        break;
    case kBrowseDiffPathButton:
        RunCommand([this] { OnBrowseDiffPath(); });
        break;
    case kUpdateButton:
        RunCommand([this] { OnUpdate(); });
        break;
    case kOptionsButton:
        RunCommand([this] { OnOptions(); });
        break;
    case kMergeDataButton:
        RunCommand([this] { OnMergeData(); });
        break;
    case kAboutButton:
        RunCommand([this] { OnAbout(); });
        break;
    default:
        break;
    }
}

template <class Command>
void CCompareDlg::RunCommand(Command command)
{
    try {
        command();
    } catch (...) {
        ShowMessage(CurrentErrorText());
    }
}

void CCompareDlg::ShowMessage(const std::string& text)
{
    m_context.dialogs.ShowMessage(Window(), text);
}

void CCompareDlg::SetProcessEnabled(bool enabled)
{
    if (auto* process = Item<QPushButton>(kProcessButton))
        process->setEnabled(enabled);
}

std::vector<TablePairRow> CCompareDlg::TableRows() const
{
    std::vector<TablePairRow> rows;
    if (!m_listTables)
        return rows;
    for (int row = 0; row < m_listTables->rowCount(); ++row) {
        TablePairRow pair;
        if (auto* item = m_listTables->item(row, 0))
            pair.oldName = item->text().toStdString();
        if (auto* item = m_listTables->item(row, 1))
            pair.newName = item->text().toStdString();
        if (auto* item = m_listTables->item(row, pair.oldName.empty() ? 1 : 0))
            pair.note = item->toolTip().toStdString();
        pair.selected = m_listTables->selectionModel()->isRowSelected(row, QModelIndex());
        rows.push_back(std::move(pair));
    }
    return rows;
}

std::vector<int> CCompareDlg::SelectedRows() const
{
    std::vector<int> selected;
    if (!m_listTables)
        return selected;
    for (int row = 0; row < m_listTables->rowCount(); ++row)
        if (m_listTables->selectionModel()->isRowSelected(row, QModelIndex()))
            selected.push_back(row);
    return selected;
}

void CCompareDlg::FillTableList(const std::vector<TablePairRow>& rows)
{
    if (!m_listTables)
        return;
    m_listTables->clearSelection();
    m_listTables->setRowCount(static_cast<int>(rows.size()));
    for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
        const TablePairRow& pair = rows[static_cast<std::size_t>(row)];
        auto* oldItem = new QTableWidgetItem(QString::fromStdString(pair.oldName));
        auto* newItem = new QTableWidgetItem(QString::fromStdString(pair.newName));
        if (!pair.note.empty())
            MarkUnpaired(pair.oldName.empty() ? *newItem : *oldItem, *(pair.oldName.empty() ? oldItem : newItem),
                         pair.note);
        m_listTables->setItem(row, 0, oldItem);
        m_listTables->setItem(row, 1, newItem);
    }
    for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
        if (rows[static_cast<std::size_t>(row)].selected)
            m_listTables->selectionModel()->select(m_listTables->model()->index(row, 0),
                                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
}

void CCompareDlg::OnUpdate()
{
    UpdateData(true);
    if (m_listTables)
        m_listTables->setRowCount(0);

    std::vector<std::string> oldNames;
    std::vector<std::string> newNames;
    std::string error;
    try {
        if (m_bCompareTables || !m_strOldDS.empty()) {
            if (!m_dbOld.OpenDataSource(m_strOldDS, "ODBC;", true))
                return;  // cancelled: the list stays empty, Process keeps its state
        }
        if (m_bCompareTables || !m_strNewDS.empty()) {
            if (!m_dbNew.OpenDataSource(m_strNewDS, "ODBC;", true)) {
                m_dbOld.Close();
                return;
            }
        }
        if (m_dbOld.IsOpen())
            ReadTableNames(m_dbOld, oldNames);
        if (m_dbNew.IsOpen())
            ReadTableNames(m_dbNew, newNames);
    } catch (...) {
        error = CurrentErrorText();
    }
    // Both catalogs are read before a row is listed: a side that failed would
    // leave the other side's tables looking like a whole list that can be processed.
    if (error.empty()) {
        FillTableList(PairTables(oldNames, newNames));
        error = EmptySidesText(oldNames, newNames);
    }
    if (!error.empty())
        ShowMessage(error);
    m_dbOld.Close();
    m_dbNew.Close();
    SetProcessEnabled(m_listTables && m_listTables->rowCount() > 0);
}

std::string CCompareDlg::EmptySidesText(const std::vector<std::string>& oldNames,
                                        const std::vector<std::string>& newNames) const
{
    // A SQLite data source whose database file is missing is created empty by
    // the driver, and a file that is no database lists nothing: say so rather
    // than show half a list without a word.
    std::string text;
    const auto note = [&](const CDatabase& database, const std::string& field, const std::vector<std::string>& names) {
        if (!database.IsOpen() || !names.empty())
            return;
        std::string name = field;
        if (name.empty())
            ExtractDataSourceName(database.m_strConnect, name);
        if (!text.empty())
            text += '\n';
        text += FormatString(LoadResourceString(kNoTablesText).c_str(), name.c_str());
    };
    note(m_dbOld, m_strOldDS, oldNames);
    note(m_dbNew, m_strNewDS, newNames);
    return text;
}

void CCompareDlg::BrowseDataSource(int editId, std::string& name, CDatabase& database)
{
    ::BrowseDataSource(Item<QLineEdit>(editId), name, database);
}

void CCompareDlg::OnBrowseDiffPath()
{
    const std::string start = m_editDiffPath ? m_editDiffPath->text().toStdString() : m_strDiffPath;
    std::string folder;
    if (!m_context.dialogs.ChooseFolder(Window(), start, folder))
        return;
    m_strDiffPath = WithTrailingSeparator(folder);
    if (m_editDiffPath)
        m_editDiffPath->setText(QString::fromStdString(m_strDiffPath));
}

void CCompareDlg::OnProcess()
{
    if (!UpdateData(true))
        return;
    const std::vector<int> selected = SelectedRows();
    if (selected.empty()) {
        ShowMessage(LoadResourceString(kNothingSelectedText));
        return;
    }
    const std::vector<TablePairRow> all = TableRows();
    std::vector<TablePairRow> rows;
    for (int row : selected)
        rows.push_back(all[static_cast<std::size_t>(row)]);
    ProcessSelectedRows(rows);
}

void CCompareDlg::ProcessSelectedRows(const std::vector<TablePairRow>& rows)
{
    // The progress window raises the flag when it goes, so the flag outlives it.
    std::int32_t stopFlag = 0;
    std::unique_ptr<CProgressDlg> progress;
    struct RunningFlag {
        bool& flag;
        explicit RunningFlag(bool& f) : flag(f) { flag = true; }
        ~RunningFlag() { flag = false; }
    } running(m_bRunning);
    std::string message;
    const std::string path = WithTrailingSeparator(m_strDiffPath);
    // The folder is this run's before anything connects: another run
    // (another window, the command line) writing it is told at once.
    std::optional<CompareFolderLock> folderLock;
    try {
        folderLock.emplace(path);
    } catch (const FolderBusy& busy) {
        ShowMessage(FormatString(LoadResourceString(kFolderBusyText).c_str(), busy.folder().c_str()));
        return;
    }
    try {
        if (m_bCompareTables || !m_strOldDS.empty()) {
            if (!m_dbOld.OpenDataSource(m_strOldDS, "ODBC;", true))
                return;
        }
        if (m_bCompareTables || !m_strNewDS.empty()) {
            if (!m_dbNew.OpenDataSource(m_strNewDS, "ODBC;", true)) {
                m_dbOld.Close();
                return;
            }
        }
        progress = std::make_unique<CProgressDlg>(static_cast<std::int64_t>(rows.size()), &stopFlag,
                                                  kCreatingReportText, m_context.resources, Window());
        // After a Cancel the pair being worked on still finishes: until then
        // the dialog stays disabled under the wait cursor, so that no click is
        // taken and then dropped.
        progress->KeepParentDisabledOnCancel();
        progress->ShowWindow();
        WaitCursor wait;

        CompareRunSetup setup;
        setup.oldDataSource = DumpNameOf(m_strOldDS, m_dbOld, "old");
        setup.newDataSource = DumpNameOf(m_strNewDS, m_dbNew, "new");
        setup.path = path;
        setup.compareTables = m_bCompareTables != 0;
        setup.deleteDumps = m_bDeleteDumps != 0;
        // A cancelled or failed run keeps the merge file of the pairs it finished.
        setup.keepFinishedPairs = true;
        // The Options dialog takes only sizes; a stored text edited by hand
        // into something else gives the default.
        setup.memoryBudget =
            MemoryBudgetOf(m_options.m_settings.m_strMemoryBudget).value_or(DefaultMemoryBudget());
        // The run reads the options; the record stays as the user set it.
        CompareRun run(m_options.m_settings, m_dbOld, m_dbNew, setup, &*folderLock);
        ProgressWindowFeedback feedback(*progress, stopFlag);
        message = RunMessage(run.Run(rows, feedback), setup.compareTables, run.MergeFilePath());
    } catch (...) {
        message = CurrentErrorText();
    }
    // Whatever happened, the run's window goes, the dialog is usable again and
    // nothing stays connected before the user reads the message.
    progress.reset();
    if (QDialog* window = Window())
        window->setEnabled(true);
    m_dbOld.Close();
    m_dbNew.Close();
    if (!message.empty())
        ShowMessage(message);
}

void CCompareDlg::OnOptions()
{
    m_options.SetParent(Window());
    m_options.DoModal();
}

void CCompareDlg::OnMergeData()
{
    // The dialog works on a copy of the record: the line markers and the
    // options; nothing comes back.
    CMergeDlg dialog(m_context, Window());
    dialog.m_settings = m_options.m_settings;
    dialog.DoModal();
}

void CCompareDlg::OnAbout()
{
    DesktopLinkShell shell;
    HostSystemFacts facts;
    // The main dialog as parent, so that About opens centred on it.
    CAboutDlg about(m_context.resources, shell, facts, Window());
    about.DoModal();
}
