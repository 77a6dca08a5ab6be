#include "xls/records/Record.h"

#include <cstring>

#include "xls/records/LittleEndian.h"

namespace xls {

namespace {

uint8_t* WritePart(uint8_t* out, uint16_t code, const uint8_t* data, uint32_t size) {
    StoreU16(out, code);
    StoreU16(out + 2, static_cast<uint16_t>(size));
    if (size > 0) {
        std::memcpy(out + 4, data, size);
    }
    return out + 4 + size;
}

}  // namespace

Record::Record(uint16_t code, uint32_t dataSize) : code_(code), dataSize_(dataSize) {}

Record::~Record() = default;

void Record::Read(const uint8_t*, uint32_t) {}

uint32_t Record::DataSize() {
    return dataSize_;
}

uint32_t Record::RecordSize() {
    return FramedSize(DataSize());
}

uint32_t Record::FramedSize(uint32_t dataSize) const {
    uint32_t continues = 0;
    if (!splitPoints_.empty()) {
        continues = static_cast<uint32_t>(splitPoints_.size());
    } else if (dataSize > kMaxDataPerRecord) {
        continues = (dataSize - 1) / kMaxDataPerRecord;
    }
    return kHeaderSize + dataSize + kHeaderSize * continues;
}

uint8_t* Record::PrepareData() {
    data_.assign(DataSize(), 0);
    return data_.data();
}

uint32_t Record::Write(uint8_t* out) {
    if (data_.size() != dataSize_) {
        data_.resize(dataSize_, 0);
    }
    const uint32_t written = splitPoints_.empty() ? WriteContinued(out) : WriteAtSplitPoints(out);
    // Every Write lays the data out afresh; keeping it would hold a second
    // copy of the whole stream, spread over the records.
    std::vector<uint8_t>().swap(data_);
    return written;
}

uint32_t Record::WriteContinued(uint8_t* out) const {
    const uint8_t* data = data_.data();
    uint32_t rest = dataSize_;
    uint8_t* p = out;
    uint16_t code = code_;
    while (rest > kMaxDataPerRecord) {
        p = WritePart(p, code, data, kMaxDataPerRecord);
        data += kMaxDataPerRecord;
        rest -= kMaxDataPerRecord;
        code = kContinueCode;
    }
    p = WritePart(p, code, data, rest);
    return static_cast<uint32_t>(p - out);
}

uint32_t Record::WriteAtSplitPoints(uint8_t* out) const {
    uint8_t* p = WritePart(out, code_, data_.data(), splitPoints_.front());
    for (size_t i = 0; i < splitPoints_.size(); ++i) {
        const uint32_t begin = splitPoints_[i];
        const uint32_t end = i + 1 < splitPoints_.size() ? splitPoints_[i + 1] : dataSize_;
        p = WritePart(p, kContinueCode, data_.data() + begin, end - begin);
    }
    return static_cast<uint32_t>(p - out);
}

}  // namespace xls
