#pragma once

#include "platform/Text.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace ostrevan {

// Folder listings (of File or Folder) by upper-cased name, ties by the names' bytes, so that
// the order is total and does not depend on the file system's.
template <class Item> void sortByName(std::vector<Item>& items) {
    std::vector<std::pair<std::string, Item>> keyed;
    keyed.reserve(items.size());
    for (auto& item : items) {
        keyed.emplace_back(upperCase(item.Name), std::move(item));
    }
    std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first < b.first : a.second.Name < b.second.Name;
    });
    for (std::size_t i = 0; i < items.size(); ++i) {
        items[i] = std::move(keyed[i].second);
    }
}

} // namespace ostrevan
