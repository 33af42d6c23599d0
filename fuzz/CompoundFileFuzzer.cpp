// Arbitrary bytes as a compound file: the header, the tables, the directory walk and every
// stream read through our own reader.
#include "platform/Error.h"
#include "platform/ole/CompoundFile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ostrevan::MemoryInput input({data, size});
    const auto error = ostrevan::trapError([&] {
        ostrevan::CompoundFile file(input);
        for (const ostrevan::CompoundEntry& entry : file.entries()) {
            const auto bytes = file.read(entry);
            // Nothing is read beyond what the entry says.
            if (bytes && bytes->size() != entry.size) {
                __builtin_trap();
            }
            static_cast<void>(file.children(entry));
        }
    });
    // Damage may only ever end in a bad file format.
    if (error && error->number() != ostrevan::err::BadFileFormat) {
        __builtin_trap();
    }
    return 0;
}
