#pragma once

#include <QAbstractTableModel>

#include <array>
#include <string>
#include <vector>

namespace ostrevan {

// The rows of the result list: item text and two sub-items, with the three column headers.
// A model, not a widget item per row, so that a list of 100,000 rows stays responsive. Cells
// keep the logic's bytes (a file name that is not UTF-8 included) and are decoded only for
// display, on one line. Appended rows are held back from the views until publishRows(), so
// that a scan's rows reach them in a few inserts, not one each.
class ResultListModel final : public QAbstractTableModel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ResultListModel)

public:
    static constexpr int ColumnCount = 3;

    explicit ResultListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void setHeaders(const std::array<QString, ColumnCount>& headers);
    void clear();
    // Appends a row with the item text, not yet shown; returns its 0-based row.
    int appendRow(const std::string& text);
    // Shows the rows appended since the last call.
    void publishRows();
    // Every row, shown or not.
    int rowsHeld() const { return static_cast<int>(m_rows.size()); }
    void setCell(int row, int column, const std::string& text);
    const std::string& cell(int row, int column) const;

private:
    std::array<QString, ColumnCount> m_headers;
    std::vector<std::array<std::string, ColumnCount>> m_rows;
    // The rows the views know of: the first m_published of m_rows.
    int m_published = 0;
};

} // namespace ostrevan
