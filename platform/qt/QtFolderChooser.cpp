#include "platform/qt/QtFolderChooser.h"

#include <QDir>
#include <QFileDialog>
#include <QUrl>

namespace ostrevan {
namespace {

constexpr std::int32_t kDesktop = 0;

FolderItem itemOf(const QUrl& url) {
    return FolderItem{url.toString(QUrl::FullyEncoded).toStdString()};
}

QUrl urlOf(const FolderItem& item) {
    return QUrl(QString::fromStdString(item.url), QUrl::StrictMode);
}

} // namespace

std::optional<FolderItem> QtFolderChooser::SpecialFolderLocation(std::int32_t folder) const {
    if (folder != kDesktop) {
        return std::nullopt;
    }
    return itemOf(QUrl::fromLocalFile(QDir::rootPath()));
}

std::optional<FolderItem> QtFolderChooser::BrowseForFolder(const BrowseInfo& info) {
    const QUrl root = info.root ? urlOf(*info.root) : QUrl::fromLocalFile(QDir::rootPath());
    const QUrl chosen = QFileDialog::getExistingDirectoryUrl(
        m_owner.data(), QString::fromStdString(info.title), root, QFileDialog::ShowDirsOnly);
    if (chosen.isEmpty()) {
        return std::nullopt;
    }
    return itemOf(chosen);
}

std::string QtFolderChooser::GetPathFromIDList(const FolderItem& item) const {
    const QUrl url = urlOf(item);
    return url.isLocalFile() ? url.toLocalFile().toStdString() : std::string();
}

} // namespace ostrevan
