// Helpers for record tests: write a record (or record set) into a buffer sized
// from its RecordSize, and walk written bytes as a reader does.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace xls::test {

using Bytes = std::vector<uint8_t>;

inline Bytes MakeBytes(std::initializer_list<int> values) {
    Bytes bytes;
    for (int value : values) {
        bytes.push_back(static_cast<uint8_t>(value));
    }
    return bytes;
}

// Writes `item` into a buffer of exactly RecordSize() bytes surrounded by guard
// bytes, and checks that Write returned RecordSize() and left the guards alone.
template <typename Item>
Bytes WriteBytes(Item& item) {
    constexpr size_t kGuard = 16;
    const uint32_t size = item.RecordSize();
    Bytes buffer(size + 2 * kGuard, 0xA5);
    const uint32_t written = item.Write(buffer.data() + kGuard);
    EXPECT_EQ(written, size);
    for (size_t i = 0; i < kGuard; ++i) {
        EXPECT_EQ(buffer[i], 0xA5) << "byte written before the record";
        EXPECT_EQ(buffer[kGuard + size + i], 0xA5) << "byte written after the record";
    }
    return Bytes(buffer.begin() + kGuard, buffer.begin() + kGuard + size);
}

struct PhysicalRecord {
    uint16_t code = 0;
    Bytes data;
};

// Splits a stream into physical records by their headers, as a reader does.
inline std::vector<PhysicalRecord> SplitRecords(const Bytes& stream) {
    std::vector<PhysicalRecord> records;
    size_t p = 0;
    while (p < stream.size()) {
        if (stream.size() - p < 4) {
            ADD_FAILURE() << "truncated record header at " << p;
            break;
        }
        PhysicalRecord record;
        record.code = static_cast<uint16_t>(stream[p] | stream[p + 1] << 8);
        const size_t length = static_cast<size_t>(stream[p + 2] | stream[p + 3] << 8);
        if (stream.size() - p - 4 < length) {
            ADD_FAILURE() << "record at " << p << " runs past the end";
            break;
        }
        record.data.assign(stream.begin() + p + 4, stream.begin() + p + 4 + length);
        records.push_back(record);
        p += 4 + length;
    }
    return records;
}

inline uint16_t U16At(const Bytes& data, size_t offset) {
    return static_cast<uint16_t>(data[offset] | data[offset + 1] << 8);
}

inline uint32_t U32At(const Bytes& data, size_t offset) {
    return static_cast<uint32_t>(U16At(data, offset)) |
           static_cast<uint32_t>(U16At(data, offset + 2)) << 16;
}

// One string of an SST as a reader gets it back.
struct SstEntry {
    bool wide = false;
    std::u16string wideText;
    std::string narrowText;
};

struct SstContent {
    uint32_t totalCount = 0;
    uint32_t uniqueCount = 0;
    std::vector<SstEntry> entries;
};

// Reads an SST record and its CONTINUE records the way a reader does: a string
// header never spans two records, a string resumed in a CONTINUE is preceded by
// its option byte, and a UTF-16 code unit never straddles two records.
class SstReader {
public:
    explicit SstReader(const std::vector<PhysicalRecord>& records) : records_(records) {}

    SstContent Read(size_t stringCount) {
        SstContent content;
        content.totalCount = U32At(Current(), 0);
        content.uniqueCount = U32At(Current(), 4);
        offset_ = 8;
        for (size_t i = 0; i < stringCount && !failed_; ++i) {
            content.entries.push_back(ReadString());
        }
        EXPECT_EQ(record_ + 1, records_.size()) << "records left after the strings";
        EXPECT_EQ(offset_, Current().size()) << "bytes left after the strings";
        return content;
    }

private:
    const Bytes& Current() const { return records_[record_].data; }

    bool NextRecord() {
        if (record_ + 1 >= records_.size()) {
            ADD_FAILURE() << "SST ends in the middle of a string";
            failed_ = true;
            return false;
        }
        ++record_;
        offset_ = 0;
        EXPECT_EQ(records_[record_].code, 0x003C);
        return true;
    }

    SstEntry ReadString() {
        SstEntry entry;
        if (offset_ == Current().size() && !NextRecord()) {
            return entry;
        }
        if (Current().size() - offset_ < 3) {
            ADD_FAILURE() << "string header split in record " << record_;
            failed_ = true;
            return entry;
        }
        const uint16_t count = U16At(Current(), offset_);
        const uint8_t options = Current()[offset_ + 2];
        offset_ += 3;
        entry.wide = options == 1;
        EXPECT_TRUE(options == 0 || options == 1);
        size_t rest = static_cast<size_t>(count) * (entry.wide ? 2 : 1);
        while (rest > 0 && !failed_) {
            if (offset_ == Current().size()) {
                if (!NextRecord()) {
                    break;
                }
                EXPECT_EQ(Current()[0], options) << "resumed string without its option byte";
                offset_ = 1;
            }
            const size_t part = std::min(rest, Current().size() - offset_);
            if (entry.wide) {
                EXPECT_EQ(part % 2, 0u) << "UTF-16 code unit split in record " << record_;
                for (size_t i = 0; i + 1 < part; i += 2) {
                    entry.wideText.push_back(static_cast<char16_t>(U16At(Current(), offset_ + i)));
                }
            } else {
                entry.narrowText.append(Current().begin() + offset_,
                                        Current().begin() + offset_ + part);
            }
            offset_ += part;
            rest -= part;
        }
        return entry;
    }

    const std::vector<PhysicalRecord>& records_;
    size_t record_ = 0;
    size_t offset_ = 0;
    bool failed_ = false;
};

}  // namespace xls::test
