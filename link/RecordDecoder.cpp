#include "link/RecordDecoder.h"

#include <algorithm>
#include <cstring>

#include "link/LinkFrame.h"

namespace {

// Writes `number` in decimal with at least `width` digits and returns the end.
char* putNumber(char* out, int number, int width) {
    char digits[4];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + number % 10);
        number /= 10;
    } while (number > 0);
    for (int pad = n; pad < width; ++pad) {
        *out++ = '0';
    }
    while (n > 0) {
        *out++ = digits[--n];
    }
    return out;
}

}  // namespace

DetectorRecord decodeRecord(const unsigned char* record) {
    DetectorRecord result;
    std::memset(result.timeText, 0, sizeof result.timeText);
    char* out = putNumber(result.timeText, record[0] + 2000, 4);
    *out++ = '-';
    out = putNumber(out, record[1], 2);
    *out++ = '-';
    out = putNumber(out, record[2], 2);
    *out++ = ' ';
    out = putNumber(out, record[3], 2);
    *out++ = ':';
    out = putNumber(out, record[4], 2);
    *out++ = ':';
    putNumber(out, record[5], 2);
    const std::uint32_t raw = (std::uint32_t{record[6]} << 24) | (std::uint32_t{record[7]} << 16) |
                              (std::uint32_t{record[8]} << 8) | std::uint32_t{record[9]};
    result.value = static_cast<std::int32_t>(raw);
    return result;
}

int replyRecordCount(const unsigned char* frame, int length) {
    if (length < kShortestReplyFrame) {
        return 0;
    }
    const int announced = framePayloadLength(frame) / kRecordLength;
    const int present = (length - kFrameHeadLength) / kRecordLength;
    return std::min(announced, present);
}

int decodeRecords(const unsigned char* frame, int length, RecordStore& store) {
    const int count = replyRecordCount(frame, length);
    for (int k = 0; k < count; ++k) {
        store.push_back(decodeRecord(frame + kFrameHeadLength + kRecordLength * k));
    }
    return count;
}
