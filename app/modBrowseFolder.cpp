#include "app/modBrowseFolder.h"

#include "errors/modErrorhandler.h"
#include "platform/FolderChooser.h"
#include "platform/Numbers.h"

#include <optional>

namespace ostrevan {
namespace {

std::string stampedSource(const char* procedure, std::int32_t step) {
    return std::string("Tavrosk.modBrowseFolder.") + procedure + "(" + std::to_string(step) + ")";
}

} // namespace

std::string BrowseFolder(FolderChooser& owner, modErrorhandler& errors, const std::string& title) {
    std::int32_t step = 10;
    try {
        BrowseInfo info;
        info.root = owner.SpecialFolderLocation(GetFolderValue(errors, 0));
        info.title = title;

        step = 20;
        std::string result;

        step = 30;
        std::optional<FolderItem> chosen = owner.BrowseForFolder(info);

        step = 40;
        std::string path = chosen ? owner.GetPathFromIDList(*chosen) : std::string();

        step = 50;
        result = std::move(path);

        step = 60;
        chosen.reset();
        return result;
    } catch (...) {
        raiseStamped(errors, stampedSource("BrowseFolder", step));
    }
}

std::int32_t GetFolderValue(modErrorhandler& errors, const std::int16_t& folder) {
    const std::int32_t step = 10;
    try {
        if (folder < 2) {
            return 0;
        }
        if (folder < 12) {
            return folder;
        }
        return addInt16(folder, 4);
    } catch (...) {
        raiseStamped(errors, stampedSource("GetFolderValue", step));
    }
}

} // namespace ostrevan
