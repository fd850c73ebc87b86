#include "ui/ReportListModel.h"

#include <algorithm>

namespace {

const std::string kNoText;

// Fewer intervals than this are removed one by one, so that the view keeps its
// scroll position and current row; more are removed by resetting the model,
// which costs one pass however scattered the rows are.
constexpr std::size_t kMaxSeparateRemovals = 16;

} // namespace

ReportListModel::ReportListModel(QObject* parent) : QAbstractTableModel(parent)
{
}

int ReportListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int ReportListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_headings.size());
}

const std::string& ReportListModel::Text(int row, int column) const
{
    if (row < 0 || row >= rowCount() || column < 0)
        return kNoText;
    const auto& cells = m_rows[static_cast<std::size_t>(row)].cells;
    return static_cast<std::size_t>(column) < cells.size() ? cells[static_cast<std::size_t>(column)] : kNoText;
}

QVariant ReportListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return QString::fromStdString(Text(index.row(), index.column()));
    if (role == Qt::ToolTipRole) {
        QString text = QString::fromStdString(Text(index.row(), index.column()));
        if (text.size() > kToolTipLength) {
            int length = kToolTipLength;
            // Never cut a character in half.
            if (text.at(length - 1).isHighSurrogate())
                --length;
            text.truncate(length);
        }
        return text;
    }
    return {};
}

QVariant ReportListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return {};
    if (role == Qt::DisplayRole)
        return QString::fromStdString(m_headings[static_cast<std::size_t>(section)]);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    return {};
}

int ReportListModel::InsertColumn(int column, const std::string& heading)
{
    column = std::clamp(column, 0, columnCount());
    beginInsertColumns(QModelIndex(), column, column);
    m_headings.insert(m_headings.begin() + column, heading);
    for (Row& row : m_rows)
        if (static_cast<std::size_t>(column) < row.cells.size())
            row.cells.insert(row.cells.begin() + column, std::string());
    endInsertColumns();
    return column;
}

int ReportListModel::InsertRow(int row, const std::string& text, int image)
{
    row = std::clamp(row, 0, rowCount());
    beginInsertRows(QModelIndex(), row, row);
    m_rows.insert(m_rows.begin() + row, Row{{text}, image, 0});
    endInsertRows();
    return row;
}

void ReportListModel::AppendRows(const std::vector<std::string>& texts, int image)
{
    if (texts.empty())
        return;
    const int first = rowCount();
    beginInsertRows(QModelIndex(), first, first + static_cast<int>(texts.size()) - 1);
    m_rows.reserve(m_rows.size() + texts.size());
    for (const std::string& text : texts)
        m_rows.push_back(Row{{text}, image, 0});
    endInsertRows();
}

bool ReportListModel::SetText(int row, int column, const std::string& text)
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= std::max(columnCount(), 1))
        return false;
    auto& cells = m_rows[static_cast<std::size_t>(row)].cells;
    if (static_cast<std::size_t>(column) >= cells.size())
        cells.resize(static_cast<std::size_t>(column) + 1);
    cells[static_cast<std::size_t>(column)] = text;
    emit dataChanged(index(row, column), index(row, column));
    return true;
}

void ReportListModel::SetData(int row, std::uintptr_t data)
{
    if (row >= 0 && row < rowCount())
        m_rows[static_cast<std::size_t>(row)].data = data;
}

void ReportListModel::RemoveRow(int row)
{
    if (row < 0 || row >= rowCount())
        return;
    beginRemoveRows(QModelIndex(), row, row);
    m_rows.erase(m_rows.begin() + row);
    endRemoveRows();
}

void ReportListModel::RemoveRows(const std::vector<RowInterval>& intervals)
{
    if (intervals.empty())
        return;
    if (intervals.size() < kMaxSeparateRemovals) {
        for (auto it = intervals.rbegin(); it != intervals.rend(); ++it) {
            beginRemoveRows(QModelIndex(), it->first, it->second);
            m_rows.erase(m_rows.begin() + it->first, m_rows.begin() + it->second + 1);
            endRemoveRows();
        }
        return;
    }
    beginResetModel();
    std::size_t kept = 0;
    std::size_t next = 0;  // the next interval to skip
    for (std::size_t row = 0; row < m_rows.size(); ++row) {
        while (next < intervals.size() && static_cast<std::size_t>(intervals[next].second) < row)
            ++next;
        const bool removed = next < intervals.size() && static_cast<std::size_t>(intervals[next].first) <= row;
        if (removed)
            continue;
        if (kept != row)
            m_rows[kept] = std::move(m_rows[row]);
        ++kept;
    }
    m_rows.resize(kept);
    endResetModel();
}
