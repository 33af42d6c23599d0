// Arbitrary bytes as the content of a "\x01Ole" stream and as a moniker.
#include "platform/ole/Moniker.h"
#include "platform/ole/OleStream.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    const ostrevan::OleObject object = ostrevan::parseOleStream(bytes);
    if (object.absolute) {
        static_cast<void>(object.absolute->displayName());
    }
    if (const auto moniker = ostrevan::parseMoniker(bytes)) {
        static_cast<void>(moniker->displayName());
    }
    return 0;
}
