#pragma once

#include "platform/Controls.h"

namespace ostrevan {

class ResultListModel;

// The result list's adapter over its model; rows count from 1 as the logic sees them.
class QtListView final : public ListView {
public:
    explicit QtListView(ResultListModel& model) : m_model(model) {}
    void clear() override;
    std::int32_t count() const override;
    std::int32_t add(const std::string& text) override;
    void setText(std::int32_t row, int column, const std::string& text) override;
    std::string text(std::int32_t row, int column) const override;

private:
    void checkCell(std::int32_t row, int column) const;
    ResultListModel& m_model;
};

} // namespace ostrevan
