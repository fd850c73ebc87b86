#pragma once
// The rows of a report list: per row its cells as UTF-8 strings, its image
// index and a value for the list's owner. Rows are plain data in one vector, so
// hundreds of thousands of them cost no widget per row, and a search runs over
// the strings without building Qt text for every row.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include <QAbstractTableModel>

class ReportListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // Tooltips show at most this many characters of a cell.
    static constexpr int kToolTipLength = 79;

    struct Row {
        std::vector<std::string> cells;
        int image = 0;
        std::uintptr_t data = 0;
    };
    // Rows first..last (both included).
    using RowInterval = std::pair<int, int>;

    explicit ReportListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    int InsertColumn(int column, const std::string& heading);
    // Inserts a row at `row` (clamped to the end) with its first cell; returns its index.
    int InsertRow(int row, const std::string& text, int image);
    // Appends one row per text in one step.
    void AppendRows(const std::vector<std::string>& texts, int image);
    bool SetText(int row, int column, const std::string& text);
    void SetData(int row, std::uintptr_t data);
    void RemoveRow(int row);
    // Removes the rows of sorted, disjoint intervals in one pass over the rows.
    void RemoveRows(const std::vector<RowInterval>& intervals);

    const Row& RowAt(int row) const { return m_rows[static_cast<std::size_t>(row)]; }
    // The cell text; empty for a cell the row does not have.
    const std::string& Text(int row, int column) const;

private:
    std::vector<std::string> m_headings;
    std::vector<Row> m_rows;
};
