#include "platform/qt/QtListView.h"

#include "platform/Error.h"
#include "platform/qt/ResultListModel.h"

namespace ostrevan {

QtListView::QtListView(ResultListModel& model, DeferredDisplay& display)
    : m_model(model), m_display(display) {
    m_display.addShownWhenIdle(*this);
}

void QtListView::clear() {
    m_model.clear();
}

std::int32_t QtListView::count() const {
    return m_model.rowsHeld();
}

std::int32_t QtListView::add(const std::string& text) {
    const int row = m_model.appendRow(text);
    m_display.changed();
    return row + 1;
}

void QtListView::setText(std::int32_t row, int column, const std::string& text) {
    checkCell(row, column);
    m_model.setCell(row - 1, column, text);
}

std::string QtListView::text(std::int32_t row, int column) const {
    checkCell(row, column);
    return m_model.cell(row - 1, column);
}

void QtListView::showPending() {
    m_model.publishRows();
}

void QtListView::checkCell(std::int32_t row, int column) const {
    if (row < 1 || row > count() || column < 0 || column >= ResultListModel::ColumnCount) {
        raise(err::SubscriptOutOfRange);
    }
}

} // namespace ostrevan
