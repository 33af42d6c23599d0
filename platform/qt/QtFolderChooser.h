#pragma once

#include "platform/FolderChooser.h"

#include <QPointer>

class QWidget;

namespace ostrevan {

// The folder chooser over QFileDialog's folder selection: the desktop's native chooser where
// it has one; modal, over its owner. Places are file: URLs; the desktop is "/".
class QtFolderChooser final : public FolderChooser {
public:
    // The window the chooser is shown over; until set, or once it is gone, it has none.
    void setOwner(QWidget* owner) { m_owner = owner; }

    std::optional<FolderItem> SpecialFolderLocation(std::int32_t folder) const override;
    std::optional<FolderItem> BrowseForFolder(const BrowseInfo& info) override;
    std::string GetPathFromIDList(const FolderItem& item) const override;

private:
    QPointer<QWidget> m_owner;
};

} // namespace ostrevan
