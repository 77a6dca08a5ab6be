// Base of every BIFF8 record: a 4-byte header (u16 record code, u16 data length)
// followed by the data, continued in CONTINUE (0x003C) records when the data is
// longer than one physical record may carry.
#pragma once

#include <cstdint>
#include <vector>

namespace xls {

class Record {
public:
    static constexpr uint32_t kHeaderSize = 4;
    static constexpr uint32_t kMaxDataPerRecord = 8224;
    static constexpr uint16_t kContinueCode = 0x003C;

    explicit Record(uint16_t code = 0, uint32_t dataSize = 0);
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
    const std::vector<uint32_t>& SplitPoints() const { return splitPoints_; }

protected:
    // Brings the data to DataSize() zero bytes and returns where the fields go.
    uint8_t* PrepareData();
    void SetDataSize(uint32_t size) { dataSize_ = size; }
    std::vector<uint32_t>& MutableSplitPoints() { return splitPoints_; }
    // Bytes on the stream for `dataSize` data bytes under the current split points.
    uint32_t FramedSize(uint32_t dataSize) const;

private:
    uint32_t WriteContinued(uint8_t* out) const;
    uint32_t WriteAtSplitPoints(uint8_t* out) const;

    uint16_t code_;
    std::vector<uint8_t> data_;
    uint32_t dataSize_;
    std::vector<uint32_t> splitPoints_;
};

}  // namespace xls
