#pragma once

#include "platform/Controls.h"
#include "platform/qt/DeferredDisplay.h"

namespace ostrevan {

class ResultListModel;

// The result list's adapter over its model; rows count from 1 as the logic sees them. Added
// rows reach the views through the window's deferred display.
class QtListView final : public ListView, private DeferredDisplay::Part {
public:
    QtListView(ResultListModel& model, DeferredDisplay& display);
    void clear() override;
    std::int32_t count() const override;
    std::int32_t add(const std::string& text) override;
    void setText(std::int32_t row, int column, const std::string& text) override;
    std::string text(std::int32_t row, int column) const override;

private:
    void showPending() override;
    void checkCell(std::int32_t row, int column) const;

    ResultListModel& m_model;
    DeferredDisplay& m_display;
};

} // namespace ostrevan
