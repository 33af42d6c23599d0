// Arbitrary bytes as a whole compound document, read by the link reader from memory.
#include "platform/Error.h"
#include "platform/ole/LinkObjects.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ostrevan::MemoryInput input({data, size});
    const auto error = ostrevan::trapError([&] {
        for (const ostrevan::LinkObject& link : ostrevan::readLinkObjects(input).links) {
            static_cast<void>(link.absolute.displayName());
        }
    });
    // Damage may only ever end in a bad file format.
    if (error && error->number() != ostrevan::err::BadFileFormat) {
        __builtin_trap();
    }
    return 0;
}
