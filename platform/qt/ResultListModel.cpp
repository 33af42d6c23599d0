#include "platform/qt/ResultListModel.h"

#include "platform/qt/QtText.h"

namespace ostrevan {

ResultListModel::ResultListModel(QObject* parent) : QAbstractTableModel(parent) {}

int ResultListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_published;
}

int ResultListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ResultListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || role != Qt::DisplayRole) {
        return {};
    }
    return shownOnOneLine(cell(index.row(), index.column()));
}

QVariant ResultListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= ColumnCount) {
        return {};
    }
    return m_headers[static_cast<std::size_t>(section)];
}

void ResultListModel::setHeaders(const std::array<QString, ColumnCount>& headers) {
    m_headers = headers;
    Q_EMIT headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
}

void ResultListModel::clear() {
    beginResetModel();
    m_rows.clear();
    m_published = 0;
    endResetModel();
}

int ResultListModel::appendRow(const std::string& text) {
    m_rows.push_back({text, {}, {}});
    return rowsHeld() - 1;
}

void ResultListModel::publishRows() {
    if (m_published == rowsHeld()) {
        return;
    }
    beginInsertRows({}, m_published, rowsHeld() - 1);
    m_published = rowsHeld();
    endInsertRows();
}

void ResultListModel::setCell(int row, int column, const std::string& text) {
    m_rows.at(static_cast<std::size_t>(row)).at(static_cast<std::size_t>(column)) = text;
    if (row < m_published) {
        const QModelIndex changed = index(row, column);
        Q_EMIT dataChanged(changed, changed, {Qt::DisplayRole});
    }
}

const std::string& ResultListModel::cell(int row, int column) const {
    return m_rows.at(static_cast<std::size_t>(row)).at(static_cast<std::size_t>(column));
}

} // namespace ostrevan
