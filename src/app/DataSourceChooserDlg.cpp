#include "app/DataSourceChooserDlg.h"

#include <QDialog>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>

#include "common/ResourceStrings.h"

namespace {
constexpr int kNameColumnText = 3101;
constexpr int kTypeColumnText = 3102;
constexpr int kDriverColumnText = 3103;
constexpr int kUserText = 3104;
constexpr int kSystemText = 3105;

QString Loaded(int id)
{
    return QString::fromStdString(LoadResourceString(id));
}
} // namespace

DataSourceChooserDlg::DataSourceChooserDlg(std::vector<DataSourceEntry> sources, const DialogResources& resources,
                                           QWidget* parent)
    : TemplateDialog(IDD, resources, parent), m_sources(std::move(sources))
{
}

void DataSourceChooserDlg::FillList(QTableWidget& list)
{
    list.setColumnCount(3);
    list.setHorizontalHeaderLabels({Loaded(kNameColumnText), Loaded(kTypeColumnText), Loaded(kDriverColumnText)});
    list.setSelectionBehavior(QAbstractItemView::SelectRows);
    list.setRowCount(static_cast<int>(m_sources.size()));
    for (int row = 0; row < static_cast<int>(m_sources.size()); ++row) {
        const DataSourceEntry& source = m_sources[static_cast<std::size_t>(row)];
        list.setItem(row, 0, new QTableWidgetItem(QString::fromStdString(source.name)));
        list.setItem(row, 1, new QTableWidgetItem(Loaded(source.system ? kSystemText : kUserText)));
        list.setItem(row, 2, new QTableWidgetItem(QString::fromStdString(source.description)));
    }
    const int width = list.contentsRect().width();
    list.setColumnWidth(0, width * 2 / 5);
    list.setColumnWidth(1, width / 5);
    list.horizontalHeader()->setStretchLastSection(true);
    if (!m_sources.empty())
        list.selectRow(0);
}

void DataSourceChooserDlg::UpdateOkButton()
{
    auto* list = Item<QTableWidget>(kDataSourceList);
    if (auto* ok = Item<QPushButton>(kOkButton))
        ok->setEnabled(list && list->selectionModel()->hasSelection());
}

bool DataSourceChooserDlg::OnInitDialog()
{
    TemplateDialog::OnInitDialog();
    auto* list = Item<QTableWidget>(kDataSourceList);
    if (list) {
        FillList(*list);
        QObject::connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, Window(),
                         [this] { UpdateOkButton(); });
        QObject::connect(list, &QTableWidget::cellDoubleClicked, Window(), [this] { OnOK(); });
    }
    UpdateOkButton();
    return true;
}

void DataSourceChooserDlg::DoDataExchange(bool save)
{
    if (!save)
        return;
    auto* list = Item<QTableWidget>(kDataSourceList);
    if (!list)
        return;
    const auto rows = list->selectionModel()->selectedRows();
    if (!rows.isEmpty())
        m_strDataSource = list->item(rows.first().row(), 0)->text().toStdString();
}
