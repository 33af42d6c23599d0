#include "platform/qt/QtListView.h"

#include "platform/Error.h"
#include "platform/qt/ResultListModel.h"

namespace ostrevan {

void QtListView::clear() {
    m_model.clear();
}

std::int32_t QtListView::count() const {
    return m_model.rowCount();
}

std::int32_t QtListView::add(const std::string& text) {
    return m_model.appendRow(text) + 1;
}

void QtListView::setText(std::int32_t row, int column, const std::string& text) {
    checkCell(row, column);
    m_model.setCell(row - 1, column, text);
}

std::string QtListView::text(std::int32_t row, int column) const {
    checkCell(row, column);
    return m_model.cell(row - 1, column);
}

void QtListView::checkCell(std::int32_t row, int column) const {
    if (row < 1 || row > count() || column < 0 || column >= ResultListModel::ColumnCount) {
        raise(err::SubscriptOutOfRange);
    }
}

} // namespace ostrevan
