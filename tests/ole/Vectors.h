#pragma once

// Reading the recorded vectors in tests/data.

#include <QJsonArray>
#include <QJsonObject>

#include <cstdint>
#include <string>
#include <vector>

namespace ostrevan::vectors {

// The cases of a vector file, e.g. "moniker/monikers.json".
QJsonArray cases(const std::string& relativePath);
std::string text(const QJsonValue& value);
// The bytes of a {len, hex, text} buffer.
std::vector<std::uint8_t> bytes(const QJsonValue& buffer);
std::string dataPath(const std::string& relativePath);

} // namespace ostrevan::vectors
