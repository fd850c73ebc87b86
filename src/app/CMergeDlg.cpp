#include "app/CMergeDlg.h"

#include <QApplication>
#include <QDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include "app/BrowseDataSource.h"
#include "app/CProgressDlg.h"
#include "app/CSqlPreviewDlg.h"
#include "workflow/ErrorText.h"
#include "app/SettingsStore.h"
#include "app/UserDialogs.h"
#include "common/ResourceStrings.h"
#include "common/SettingsValues.h"
#include "common/UiHooks.h"

namespace {

constexpr int kTableNameText = 3003;
constexpr int kChangesToMakeText = 3004;
constexpr int kMakingChangesText = 3013;
constexpr int kKeepChangesQuestion = 3047;
constexpr int kKeyColumnsTip = 3059;
constexpr const char* kMergeFile = "Merge File";
constexpr const char* kMergeDS = "Merge DS";

// Closes the merge data source's connection however a command ends.
class ConnectionCloser {
public:
    explicit ConnectionCloser(CDatabase& database) : m_database(database) {}
    ~ConnectionCloser() { m_database.Close(); }
    ConnectionCloser(const ConnectionCloser&) = delete;
    ConnectionCloser& operator=(const ConnectionCloser&) = delete;

private:
    CDatabase& m_database;
};

// The execution as the user sees it: the progress window of a compare run,
// moved by statements done out of all, and a message box per statement that
// failed or did not affect one row, until the user chooses to see no more.
class DialogExecutionObserver : public ExecutionObserver {
public:
    DialogExecutionObserver(UserDialogs& dialogs, const DialogResources& resources, QWidget* parent,
                            std::size_t total)
        : m_dialogs(dialogs),
          m_parent(parent),
          m_progress(static_cast<std::int64_t>(total), &m_stopFlag, kMakingChangesText, resources, parent)
    {
        m_progress.ShowWindow();
    }
    DialogExecutionObserver(const DialogExecutionObserver&) = delete;
    DialogExecutionObserver& operator=(const DialogExecutionObserver&) = delete;

    void Problem(const StatementProblem& problem) override
    {
        if (m_silent)
            return;
        // The message box gets the normal cursor; the wait cursor comes back after it.
        QApplication::setOverrideCursor(Qt::ArrowCursor);
        m_silent = m_dialogs.ShowMessageOfferingToStop(m_parent, problem.message);
        QApplication::restoreOverrideCursor();
    }

    bool KeepChanges(const ExecutionResult& result) override
    {
        QApplication::setOverrideCursor(Qt::ArrowCursor);
        const bool keep = m_dialogs.AskToKeepChanges(
            m_parent, ProblemsSentence(result) + "\n\n" + LoadResourceString(kKeepChangesQuestion));
        QApplication::restoreOverrideCursor();
        return keep;
    }

    bool Progress(std::size_t done, std::size_t total) override
    {
        // The bar moves in 200 steps; the queue is drained every few
        // milliseconds in between, so the window repaints and Cancel is seen.
        if (m_progress.IsWindowShown() &&
            CProgressDlg::PositionFor(static_cast<std::int64_t>(done), static_cast<std::int64_t>(total)) !=
                m_progress.Position())
            m_progress.SetProgress(static_cast<std::int64_t>(done));
        else
            PumpWaitingMessagesIfDue();
        return m_stopFlag == 0;
    }

private:
    UserDialogs& m_dialogs;
    QWidget* m_parent;
    // Declared before the progress window, which raises it when it goes.
    std::int32_t m_stopFlag = 0;
    // The window lives as long as the execution does.
    CProgressDlg m_progress;
    bool m_silent = false;
};

} // namespace

CMergeDlg::CMergeDlg(const AppContext& context, QWidget* parent)
    : TemplateDialog(IDD, context.resources, parent), m_context(context)
{
    const SettingsValues& store = m_context.settings;
    const std::string section = SettingsStore::kSettingsSection;
    m_strMergeFile = store.ReadString(section, kMergeFile, "");
    m_strMergeDS = store.ReadString(section, kMergeDS, "");
    m_database.SetPrompt(m_context.prompt);
}

CMergeDlg::~CMergeDlg()
{
    // The members as they stand: a name typed and followed only by Close is not stored.
    SettingsValues& store = m_context.settings;
    const std::string section = SettingsStore::kSettingsSection;
    store.WriteString(section, kMergeFile, m_strMergeFile);
    store.WriteString(section, kMergeDS, m_strMergeDS);
}

void CMergeDlg::DoDataExchange(bool save)
{
    m_listTables = Item<QTableWidget>(kTableList);
    m_editMergeDS = Item<QLineEdit>(kMergeDataSourceEdit);
    m_editMergeFile = Item<QLineEdit>(kMergeFileEdit);
    DDX_Text(save, kMergeFileEdit, m_strMergeFile);
    DDX_Text(save, kMergeDataSourceEdit, m_strMergeDS);
}

bool CMergeDlg::OnInitDialog()
{
    TemplateDialog::OnInitDialog();
    if (m_listTables) {
        const int third = m_listTables->contentsRect().width() / 3;
        m_listTables->setColumnCount(2);
        m_listTables->setHorizontalHeaderLabels({QString::fromStdString(LoadResourceString(kTableNameText)),
                                                 QString::fromStdString(LoadResourceString(kChangesToMakeText))});
        m_listTables->setColumnWidth(0, third);
        m_listTables->setColumnWidth(1, third * 2);
        m_listTables->setShowGrid(true);
        m_listTables->horizontalHeader()->setSectionsMovable(true);
        m_listTables->setSelectionBehavior(QAbstractItemView::SelectRows);
    }
    // The first control in tab order has the focus.
    if (m_editMergeFile)
        m_editMergeFile->setFocus();
    return true;
}

void CMergeDlg::OnOK()
{
    // The default button merges; the dialog stays open.
    RunCommand([this] { OnMerge(); });
}

void CMergeDlg::OnCommand(int id)
{
    switch (id) {
    case kBrowseMergeFileButton:
        RunCommand([this] { OnBrowseMergeFile(); });
        break;
    case kBrowseMergeDataSourceButton:
        RunCommand([this] { OnBrowseMergeDS(); });
        break;
    case kPreviewChangesButton:
        RunCommand([this] { OnPreviewChanges(); });
        break;
    default:
        break;
    }
}

template <class Command>
void CMergeDlg::RunCommand(Command command)
{
    try {
        command();
    } catch (...) {
        ShowMessage(CurrentErrorText());
    }
}

void CMergeDlg::ShowMessage(const std::string& text)
{
    m_context.dialogs.ShowMessage(Window(), text);
}

void CMergeDlg::OnBrowseMergeFile()
{
    if (m_editMergeFile)
        m_strMergeFile = m_editMergeFile->text().toStdString();
    // The folder part up to and including the last "/", the name after it; a
    // text without "/" is both the starting folder and the name.
    const std::size_t slash = m_strMergeFile.rfind('/');
    const std::string folder = slash == std::string::npos ? m_strMergeFile : m_strMergeFile.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? m_strMergeFile : m_strMergeFile.substr(slash + 1);
    std::string chosen;
    if (!m_context.dialogs.ChooseOpenFile(Window(), folder, name, chosen))
        return;
    m_strMergeFile = chosen;
    if (m_editMergeFile)
        m_editMergeFile->setText(QString::fromStdString(m_strMergeFile));
}

void CMergeDlg::OnBrowseMergeDS()
{
    BrowseDataSource(m_editMergeDS, m_strMergeDS, m_database);
}

std::vector<std::size_t> CMergeDlg::SelectedRows() const
{
    std::vector<std::size_t> rows;
    if (!m_listTables)
        return rows;
    for (int row = 0; row < m_listTables->rowCount(); ++row)
        if (m_listTables->selectionModel()->isRowSelected(row, QModelIndex()))
            rows.push_back(static_cast<std::size_t>(row));
    return rows;
}

void CMergeDlg::OnPreviewChanges()
{
    if (!UpdateData(true))
        return;
    MergeStatus status;
    {
        WaitCursor wait;
        status = m_run.Read(m_strMergeFile, m_settings);
    }
    const TableChangesArray& tables = m_run.Tables();
    if (m_listTables) {
        m_listTables->clearSelection();
        m_listTables->setRowCount(static_cast<int>(tables.size()));
        for (std::size_t i = 0; i < tables.size(); ++i) {
            const int row = static_cast<int>(i);
            const QString tip = QString::fromStdString(
                FormatString(LoadResourceString(kKeyColumnsTip).c_str(), m_run.KeyColumns(i).c_str()));
            auto* name = new QTableWidgetItem(QString::fromStdString(tables[i].spelledName));
            auto* summary = new QTableWidgetItem(QString::fromStdString(m_run.Summary(i)));
            name->setToolTip(tip);
            summary->setToolTip(tip);
            m_listTables->setItem(row, 0, name);
            m_listTables->setItem(row, 1, summary);
        }
        // Tables with changes start selected; "No Changes" rows do not.
        for (std::size_t i = 0; i < tables.size(); ++i) {
            if (tables[i].HasChanges())
                m_listTables->selectionModel()->select(m_listTables->model()->index(static_cast<int>(i), 0),
                                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    }
    if (auto* merge = Item<QPushButton>(kMergeButton))
        merge->setEnabled(!tables.empty());
    // A merge file that cannot be merged says why; the list stays empty.
    if (!status.Ok())
        ShowMessage(status.message);
}

void CMergeDlg::OnMerge()
{
    if (!UpdateData(true))
        return;
    if (!m_database.OpenDataSource(m_strMergeDS, "ODBC;", true))
        return;
    // Whatever happens from here, the connection is closed when the command ends.
    ConnectionCloser closer(m_database);
    std::vector<GeneratedStatement> statements;
    MergeStatus status;
    {
        // A table the merge data source lacks, or whose columns do not fit,
        // ends the command here, before anything is shown or run.
        WaitCursor wait;
        status = m_run.Generate(m_database, SelectedRows(), statements);
    }
    if (!status.Ok()) {
        ShowMessage(status.message);
        return;
    }
    CSqlPreviewDlg preview(m_context.resources, m_context.settings, Window());
    preview.m_statements.reserve(statements.size());
    for (const GeneratedStatement& statement : statements)
        preview.m_statements.push_back(statement.text);
    if (preview.DoModal() != IDOK)
        return;
    std::vector<GeneratedStatement> kept;
    kept.reserve(preview.m_kept.size());
    for (const std::size_t index : preview.m_kept)
        kept.push_back(std::move(statements[index]));
    MakeChanges(kept);
}

void CMergeDlg::MakeChanges(const std::vector<GeneratedStatement>& statements)
{
    MergeStatus status;
    {
        WaitCursor wait;
        DialogExecutionObserver observer(m_context.dialogs, m_context.resources, Window(), RunnableCount(statements));
        status = m_run.Execute(m_database, statements, observer);
    }
    ShowMessage(status.message);
}
