// Times the SQL Preview with many statements: opening it (statements inserted
// and selected, the window shown and painted), Find Next across every row, and
// Delete Selected of half the rows, scattered and in one run. The peer is a
// QListWidget (one widget item per row) doing the same in its usual way.
// Prints name=value lines for bench/preview_bench.
//
//   preview_bench_driver <statements>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/CSqlPreviewDlg.h"
#include "app/ResourceModule.h"
#include "app/ResourceSource.h"
#include "app/SettingsStore.h"
#include "ui/CReportListCtrl.h"

namespace {

std::vector<std::string> Statements(int count)
{
    std::vector<std::string> statements;
    statements.reserve(static_cast<std::size_t>(count));
    const char* kinds[] = {"INSERT INTO \"Orders\" (\"Id\", \"City\", \"Amount\") VALUES (%d, 'Bergen', 1234.50)",
                           "UPDATE \"Orders\" SET \"City\" = 'Cork', \"Amount\" = 99.95 WHERE \"Id\" = %d",
                           "DELETE FROM \"Orders\" WHERE \"Id\" = %d"};
    char text[160];
    for (int i = 0; i < count; ++i) {
        std::snprintf(text, sizeof text, kinds[i % 3], 1000000 + i);
        statements.emplace_back(text);
    }
    // Only the last row holds the text Find looks for.
    statements.back() += " -- needle";
    return statements;
}

double Seconds(const QElapsedTimer& timer)
{
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

void Print(const char* name, double value)
{
    std::printf("%s=%.6f\n", name, value);
}

// Every other run of 100 rows: a thousand ranges for 200,000 rows.
void SelectEveryOtherRun(QAbstractItemView& view, int count)
{
    constexpr int kRun = 100;
    QItemSelection selection;
    for (int row = 0; row < count; row += 2 * kRun)
        selection.select(view.model()->index(row, 0), view.model()->index(std::min(row + kRun, count) - 1, 0));
    view.selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void SelectLastHalf(QAbstractItemView& view, int count)
{
    const QItemSelection selection(view.model()->index(count / 2, 0), view.model()->index(count - 1, 0));
    view.selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

// The preview as the program runs it.
void MeasurePreview(const std::vector<std::string>& statements, const ResourceSource& resources,
                    SettingsValues& settings)
{
    const int count = static_cast<int>(statements.size());
    CSqlPreviewDlg dialog(resources, settings, nullptr);
    dialog.m_statements = statements;
    QElapsedTimer timer;
    QTimer::singleShot(0, [&] {
        QCoreApplication::processEvents();  // the first paint
        Print("open_seconds", Seconds(timer));
        CReportListCtrl* list = dialog.List();

        list->SetFindOptions("NEEDLE", false, true, false);
        list->selectionModel()->clearCurrentIndex();
        QElapsedTimer find;
        find.start();
        const bool found = list->FindNext();
        Print("find_seconds", Seconds(find));
        std::printf("find_row=%d\n", found ? list->currentIndex().row() : -1);

        SelectEveryOtherRun(*list, count);
        QElapsedTimer scattered;
        scattered.start();
        dialog.Item<QPushButton>(CSqlPreviewDlg::kDeleteSelectedButton)->click();
        QCoreApplication::processEvents();
        Print("delete_scattered_seconds", Seconds(scattered));
        std::printf("left_after_scattered=%d\n", list->GetItemCount());

        // The same number of rows in one run, as the peer deletes them.
        list->AppendItems(std::vector<std::string>(statements.begin(), statements.begin() + count / 2));
        SelectLastHalf(*list, list->GetItemCount());
        QElapsedTimer run;
        run.start();
        dialog.Item<QPushButton>(CSqlPreviewDlg::kDeleteSelectedButton)->click();
        QCoreApplication::processEvents();
        Print("delete_run_seconds", Seconds(run));
        dialog.Item<QPushButton>(CSqlPreviewDlg::kMakeChangesButton)->click();
    });
    timer.start();
    dialog.DoModal();
    std::printf("handed_back=%zu\n", dialog.m_statements.size());
}

// The peer: a list widget with one item per row.
void MeasurePeer(const std::vector<std::string>& statements)
{
    const int count = static_cast<int>(statements.size());
    QDialog window;
    window.resize(520, 360);
    auto* list = new QListWidget(&window);
    list->setGeometry(6, 6, 500, 300);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setUniformItemSizes(true);

    QElapsedTimer open;
    open.start();
    QStringList texts;
    texts.reserve(count);
    for (const std::string& statement : statements)
        texts.append(QString::fromStdString(statement));
    list->addItems(texts);
    list->selectAll();
    window.show();
    QCoreApplication::processEvents();
    Print("peer_open_seconds", Seconds(open));

    QElapsedTimer find;
    find.start();
    const auto found = list->findItems(QStringLiteral("NEEDLE"), Qt::MatchContains);
    Print("peer_find_seconds", Seconds(find));
    std::printf("peer_find_hits=%lld\n", static_cast<long long>(found.size()));

    SelectLastHalf(*list, count);
    QElapsedTimer run;
    run.start();
    const QList<QListWidgetItem*> selected = list->selectedItems();
    qDeleteAll(selected);
    QCoreApplication::processEvents();
    Print("peer_delete_run_seconds", Seconds(run));
    std::printf("peer_left=%d\n", list->count());
    window.hide();
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 200000;
    if (count < 2) {
        std::fprintf(stderr, "usage: preview_bench_driver <statements>\n");
        return 2;
    }
    QTemporaryDir settingsDir;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
    SettingsStore settings("Orvenne Software Inc.", "Tolvane and Merge");
    const ResourceModule own = ResourceModule::Own(argv[0]);
    ResourceSource resources(own);
    resources.InstallAsStringLoader();

    const std::vector<std::string> statements = Statements(count);
    std::printf("statements=%d\n", count);
    MeasurePreview(statements, resources, settings);
    MeasurePeer(statements);
    return 0;
}
