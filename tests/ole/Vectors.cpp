#include "tests/ole/Vectors.h"

#include <stdexcept>

namespace ostrevan::vectors {

std::string dataPath(const std::string& relativePath) {
    return std::string(OSTREVAN_TEST_DATA) + "/" + relativePath;
}

Json cases(const std::string& relativePath) {
    Json all = Json::load(dataPath(relativePath));
    if (all.isMissing()) {
        throw std::runtime_error("cannot read " + relativePath);
    }
    return all;
}

std::vector<std::uint8_t> bytes(const Json& buffer) {
    const std::string raw = buffer.hexBytes();
    return {raw.begin(), raw.end()};
}

} // namespace ostrevan::vectors
