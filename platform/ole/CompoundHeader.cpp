#include "platform/ole/CompoundHeader.h"

#include "platform/Error.h"
#include "platform/ole/ByteReader.h"

#include <algorithm>

namespace ostrevan::cfb {
namespace {

constexpr std::array<std::uint8_t, 8> kSignature = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

// The header is read alone: where the sectors after it lie, and whether they are needed, is
// known only from it; with 4096-byte sectors the rest of the first page is the header's own
// padding.
class HeaderOnly final : public FetchAdvice {
public:
    ByteRange worthFetching(ByteRange asked, ByteRange within) override {
        static_cast<void>(within);
        return asked;
    }
};

} // namespace

Header readHeader(ByteSource& input) {
    std::array<std::uint8_t, kHeaderBytes> bytes{};
    HeaderOnly headerOnly;
    if (!input.readAdvised(headerOnly, 0, bytes)) {
        raise(err::BadFileFormat);
    }
    ByteReader reader(bytes);
    const auto signature = reader.bytes(kSignature.size());
    reader.skip(16 + 2); // class id, minor version
    Header header;
    header.majorVersion = reader.u16();
    const std::uint16_t byteOrder = reader.u16();
    header.sectorShift = reader.u16();
    const std::uint16_t miniSectorShift = reader.u16();
    reader.skip(6 + 4); // reserved, directory sector count (the chain says how long it is)
    header.fatSectors = reader.u32();
    header.firstDirectorySector = reader.u32();
    reader.skip(4); // transaction signature
    const std::uint32_t miniStreamCutoff = reader.u32();
    header.firstMiniFatSector = reader.u32();
    header.miniFatSectors = reader.u32();
    header.firstDifatSector = reader.u32();
    header.difatSectors = reader.u32();
    // Entries past the FAT's sector count are never looked at; they stay 0.
    for (std::size_t i = 0; i < header.listedFatSectors(); ++i) {
        header.difat[i] = reader.u32();
    }
    const bool sectorsFitVersion =
        header.sectorShift == 12 || (header.sectorShift == 9 && header.majorVersion == 3);
    if (!reader.ok() || !std::equal(kSignature.begin(), kSignature.end(), signature.begin()) ||
        byteOrder != 0xFFFE || (header.majorVersion != 3 && header.majorVersion != 4) ||
        !sectorsFitVersion || miniSectorShift != 6 || miniStreamCutoff != kMiniStreamCutoff) {
        raise(err::BadFileFormat);
    }
    return header;
}

} // namespace ostrevan::cfb
