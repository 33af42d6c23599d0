#pragma once

#include "platform/Text.h"

#include <algorithm>
#include <cstddef>
#include <numeric>
#include <string>
#include <utility>
#include <vector>

namespace ostrevan {

// Folder listings (of File or Folder) by upper-cased name, ties by the names' bytes, so that
// the order is total and does not depend on the file system's.
template <class Item> void sortByName(std::vector<Item>& items) {
    std::vector<std::string> keys;
    keys.reserve(items.size());
    for (const auto& item : items) {
        keys.push_back(upperCase(item.Name));
    }
    // The places are sorted, not the items: each item is moved once, into its place.
    std::vector<std::size_t> order(items.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return keys[a] != keys[b] ? keys[a] < keys[b] : items[a].Name < items[b].Name;
    });
    std::vector<Item> sorted;
    sorted.reserve(items.size());
    for (const std::size_t place : order) {
        sorted.push_back(std::move(items[place]));
    }
    items = std::move(sorted);
}

} // namespace ostrevan
