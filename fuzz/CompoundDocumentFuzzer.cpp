// Arbitrary bytes as a whole compound document, read through libgsf from memory.
#include "platform/Error.h"
#include "platform/ole/GObjectPtr.h"
#include "platform/ole/LinkObjects.h"

#include <gsf/gsf-input-memory.h>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const ostrevan::GObjectPtr<GsfInput> input(
        gsf_input_memory_new(data, static_cast<gsf_off_t>(size), FALSE));
    const auto error = ostrevan::trapError([&] {
        for (const ostrevan::LinkObject& link : ostrevan::readLinkObjects(input.get()).links) {
            static_cast<void>(link.absolute.displayName());
        }
    });
    // Damage may only ever end in a bad file format.
    if (error && error->number() != ostrevan::err::BadFileFormat) {
        __builtin_trap();
    }
    return 0;
}
