#include "xls/records/Record.h"

namespace xls {

Record::~Record() = default;

void Record::Read(const uint8_t*, uint32_t) {}

uint32_t Record::Write(uint8_t* out) {
    return WriteData(out, [](uint8_t*) {});
}

uint32_t Record::DataSize() {
    return dataSize_;
}

uint32_t Record::RecordSize() {
    return FramedSize(DataSize());
}

uint32_t Record::FramedSize(uint32_t dataSize) {
    const uint32_t continues =
        dataSize > kMaxDataPerRecord ? (dataSize - 1) / kMaxDataPerRecord : 0;
    return kHeaderSize + dataSize + kHeaderSize * continues;
}

uint32_t Record::WriteContinued(uint8_t* out, const uint8_t* data, uint32_t size) const {
    uint8_t* p = out;
    uint16_t code = code_;
    while (size > 0) {
        const uint32_t part = size < kMaxDataPerRecord ? size : kMaxDataPerRecord;
        StoreHeader(p, code, part);
        std::memcpy(p + kHeaderSize, data, part);
        p += kHeaderSize + part;
        data += part;
        size -= part;
        code = kContinueCode;
    }
    return static_cast<uint32_t>(p - out);
}

}  // namespace xls
