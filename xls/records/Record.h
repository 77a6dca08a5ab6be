// Base of every BIFF8 record: a 4-byte header (u16 record code, u16 data length)
// followed by the data, continued in CONTINUE (0x003C) records when the data is
// longer than one physical record may carry.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "xls/records/LittleEndian.h"

namespace xls {

class Record {
public:
    static constexpr uint32_t kHeaderSize = 4;
    static constexpr uint32_t kMaxDataPerRecord = 8224;
    static constexpr uint16_t kContinueCode = 0x003C;

    explicit Record(uint16_t code = 0, uint32_t dataSize = 0) : dataSize_(dataSize), code_(code) {}
    virtual ~Record();
    Record(const Record&) = default;
    Record& operator=(const Record&) = default;
    Record(Record&&) = default;
    Record& operator=(Record&&) = default;

    // Reading workbooks back is not part of this writer; the operation does nothing.
    virtual void Read(const uint8_t* data, uint32_t size);
    // Emits header(s) and data at `out` (sized by the caller from RecordSize)
    // and returns the number of bytes written.
    virtual uint32_t Write(uint8_t* out);
    virtual uint32_t DataSize();
    // Exactly the number of bytes the next Write returns, CONTINUE headers included.
    virtual uint32_t RecordSize();

    uint16_t Code() const { return code_; }

    // The 4-byte header of one physical record.
    static void StoreHeader(uint8_t* out, uint16_t code, uint32_t dataSize) {
        StoreU16(out, code);
        StoreU16(out + 2, static_cast<uint16_t>(dataSize));
    }

protected:
    // What a record reports for a size past the 32-bit range: more than any
    // stream may hold, so that the save refuses the record instead of
    // writing it.
    static constexpr uint32_t kSizeOutOfRange = 0xFFFFFFFF;
    static uint32_t ClampedSize(uint64_t size) {
        return size < kSizeOutOfRange ? static_cast<uint32_t>(size) : kSizeOutOfRange;
    }

    void SetDataSize(uint32_t size) { dataSize_ = size; }
    // Bytes on the stream for `dataSize` data bytes, continued every 8224 bytes.
    static uint32_t FramedSize(uint32_t dataSize);

    // Writes the record's DataSize() data bytes, zeroed and then filled by
    // `fill(data)`, with their header(s) at `out`; returns the bytes written.
    // Data that fits one physical record is filled in place behind its
    // header; longer data is laid out apart first and then cut into CONTINUE
    // records.
    template <typename Fill>
    uint32_t WriteData(uint8_t* out, Fill&& fill) {
        const uint32_t size = DataSize();
        if (size <= kMaxDataPerRecord) {
            StoreHeader(out, code_, size);
            std::memset(out + kHeaderSize, 0, size);
            fill(out + kHeaderSize);
            return kHeaderSize + size;
        }
        std::vector<uint8_t> data(size, 0);
        fill(data.data());
        return WriteContinued(out, data.data(), size);
    }

    // WriteData of a fixed-size record, whose stored data size is always
    // kDataSize: header and data in place, without asking DataSize.
    template <uint32_t kDataSize, typename Fill>
    uint32_t WriteFixed(uint8_t* out, Fill&& fill) {
        static_assert(kDataSize <= kMaxDataPerRecord, "a fixed record needs no CONTINUE");
        StoreHeader(out, code_, kDataSize);
        std::memset(out + kHeaderSize, 0, kDataSize);
        fill(out + kHeaderSize);
        return kHeaderSize + kDataSize;
    }

private:
    uint32_t WriteContinued(uint8_t* out, const uint8_t* data, uint32_t size) const;

    // Placed so that derived classes can pack their fields into the tail.
    uint32_t dataSize_;
    uint16_t code_;
};

}  // namespace xls
