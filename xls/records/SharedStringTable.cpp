#include "xls/records/SharedStringTable.h"

#include <algorithm>
#include <limits>

#include "xls/records/LittleEndian.h"

namespace xls {

namespace {

constexpr uint32_t kCountsSize = 8;
// A string header (count and option byte) is never split; a string does not
// begin in the last 11 bytes of a record but moves to the next one whole.
constexpr uint32_t kLeastRoomToBegin = 12;
// Character bytes of one CONTINUE that resumes a string behind its option byte;
// for UTF-16 an even number so that no code unit straddles two records.
constexpr uint32_t kNarrowCapacity = Record::kMaxDataPerRecord - 1;
constexpr uint32_t kWideCapacity = Record::kMaxDataPerRecord - 2;
// More data bytes than one string can add: its header and characters, the
// room it may leave unused in front of it and the option bytes it repeats.
constexpr uint32_t kMostBytesPerString =
    2 * (LargeString::kHeaderSize + 2 * LargeString::kMaxCharacters);

}  // namespace

SharedStringTable::SharedStringTable() : Record(0x00FC, kCountsSize) {}

void SharedStringTable::Clear() {
    totalCount = 0;
    uniqueCount = 0;
    strings.clear();
}

// Layout over physical records of at most 8224 data bytes. `limit` is the data
// offset where the current physical record ends. A string that fits goes in
// whole; one that does not fit while fewer than 12 bytes are left starts the
// next CONTINUE record (a split point at its header). Otherwise the string is
// split at the record end (one byte earlier for UTF-16 if needed to keep an even
// number of character bytes in front), and each CONTINUE that resumes it
// begins with a repeated option byte followed by up to 8223 (8-bit) or 8222
// (UTF-16) character bytes.
uint32_t SharedStringTable::DataSize() {
    std::vector<uint32_t>& splits = splitPoints_;
    splits.clear();
    uint32_t size = kCountsSize;
    uint32_t limit = kMaxDataPerRecord;
    for (const LargeString& text : strings) {
        // A table this large is never written; stop before the size wraps.
        if (size > kSizeOutOfRange - kMostBytesPerString) {
            SetDataSize(kSizeOutOfRange);
            return kSizeOutOfRange;
        }
        const uint32_t n = text.CharacterBytes();
        const uint32_t whole = LargeString::kHeaderSize + n;
        if (size + whole <= limit) {
            size += whole;
            continue;
        }
        if (limit - size < kLeastRoomToBegin) {
            splits.push_back(size);
            limit = size + kMaxDataPerRecord;
            if (size + whole <= limit) {
                size += whole;
                continue;
            }
        }
        if (text.IsWide() && (limit - size) % 2 == 0) {
            --limit;
        }
        splits.push_back(limit);
        uint32_t rest = size + whole - limit;
        size = limit;
        const uint32_t capacity = text.IsWide() ? kWideCapacity : kNarrowCapacity;
        while (rest > capacity) {
            size += 1 + capacity;
            rest -= capacity;
            splits.push_back(size);
        }
        size += 1 + rest;
        limit = splits.back() + kMaxDataPerRecord;
    }
    SetDataSize(size);
    return size;
}

uint32_t SharedStringTable::RecordSize() {
    const uint64_t size = DataSize();
    return ClampedSize(kHeaderSize + size + uint64_t{kHeaderSize} * splitPoints_.size());
}

namespace {

// Places data bytes in the stream behind their record headers: the SST
// header in front of the first byte, a CONTINUE header in front of the byte
// at each split point. Data is placed in ascending offsets, and no piece
// placed at once crosses a split point.
class ContinuedData {
public:
    ContinuedData(uint8_t* out, uint16_t code, uint32_t size, const std::vector<uint32_t>& splits)
        : out_(out), size_(size), splits_(splits) {
        Record::StoreHeader(out_, code, splits_.empty() ? size_ : splits_.front());
    }

    // Where the data byte at offset `p` goes.
    uint8_t* At(uint32_t p) {
        while (k_ < splits_.size() && splits_[k_] <= p) {
            const uint32_t end = k_ + 1 < splits_.size() ? splits_[k_ + 1] : size_;
            Record::StoreHeader(out_ + Record::kHeaderSize * (k_ + 1) + splits_[k_],
                                Record::kContinueCode, end - splits_[k_]);
            ++k_;
        }
        return out_ + Record::kHeaderSize * (k_ + 1) + p;
    }

    // The data offset of the next split point behind `p`, or none.
    uint32_t NextSplit() const {
        return k_ < splits_.size() ? splits_[k_] : std::numeric_limits<uint32_t>::max();
    }

private:
    uint8_t* out_;
    uint32_t size_;
    const std::vector<uint32_t>& splits_;
    size_t k_ = 0;
};

}  // namespace

// Strings are written in index order; where a split point falls inside a
// string's characters, the string's option byte is repeated at the split point
// and its characters go on behind it. The bytes go straight to their place in
// the stream, CONTINUE headers in between; a string that ends before the next
// split point (most of them) is written in one piece.
uint32_t SharedStringTable::Write(uint8_t* out) {
    const uint32_t size = DataSize();
    ContinuedData data(out, Code(), size, splitPoints_);
    uint8_t* counts = data.At(0);
    StoreU32(counts + 0, totalCount);
    StoreU32(counts + 4, uniqueCount);
    uint32_t p = kCountsSize;
    for (const LargeString& text : strings) {
        if (p + text.ByteLength() <= data.NextSplit()) {
            p += text.Write(data.At(p));
            continue;
        }
        text.WriteHeader(data.At(p));
        p += LargeString::kHeaderSize;
        uint32_t done = 0;
        uint32_t rest = text.CharacterBytes();
        while (rest > 0) {
            uint8_t* at = data.At(p);
            const uint32_t part = std::min(rest, data.NextSplit() - p);
            text.WriteCharacterBytes(at, done, part);
            p += part;
            done += part;
            rest -= part;
            if (rest > 0) {
                StoreU8(data.At(p), text.WrittenOptions());
                ++p;
            }
        }
    }
    return kHeaderSize * (1 + static_cast<uint32_t>(splitPoints_.size())) + size;
}

}  // namespace xls
