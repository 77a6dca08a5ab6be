// Feeds arbitrary deliveries to the frame reader. Checked on every input: no crash or
// sanitizer report, the ring's invariants after each delivery, every frame handed out
// is valid, and no byte goes missing: after the end of a reply, every byte delivered
// was either part of a frame or reported as discarded.

#include <cstdint>
#include <cstdlib>

#include "link/FrameReader.h"
#include "link/LinkFrame.h"
#include "link/RecordLog.h"

namespace {

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void checkRing(const ReceiveBuffer& ring) {
    check(ring.count() >= 0 && ring.count() <= ring.capacity());
    check(ring.readIndex() >= 0 && ring.readIndex() < ring.capacity());
    check(ring.writeIndex() == (ring.readIndex() + ring.count()) % ring.capacity());
}

void checkFrame(const unsigned char* frame, int length) {
    check(length >= kFrameOverhead && length == framePayloadLength(frame) + kFrameOverhead);
    check(frame[0] == kFrameHeader0 && frame[1] == kFrameHeader1);
    check(frame[length - 2] == kFrameTrailer0 && frame[length - 1] == kFrameTrailer1);
    check(frameChecksum(frame, length - kFrameTailLength) == frame[length - kFrameTailLength]);
}

int capacityFor(std::uint8_t selector) {
    static const int capacities[] = {16, 64, 10240, kLargestFrameLength};
    return capacities[selector % 4];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    static const QDateTime now(QDate(2024, 5, 6), QTime(10, 11, 12));
    FrameReader reader(capacityFor(data[0]));
    long framed = 0;
    long discarded = 0;
    RecordStore store;
    reader.setFrameHandler([&](const unsigned char* frame, int length) {
        checkFrame(frame, length);
        framed += length;
        const std::size_t before = store.size();
        const QStringList lines = handleReplyFrame(frame, length, frame[2] % 4, now, store);
        const int added = static_cast<int>(store.size() - before);
        check(length < 9 ? lines.isEmpty() && added == 0 : lines.size() == 1 + added);
    });
    reader.setDiscardHandler([&](int count, DiscardReason) {
        check(count > 0);
        discarded += count;
    });

    long delivered = 0;
    std::size_t offset = 1;
    while (offset < size) {
        // A control byte: the delivery's length (times 64 with bit 6) and whether the
        // reply ends after it (bit 7).
        const std::uint8_t control = data[offset++];
        std::size_t length = control & 0x3F;
        if (control & 0x40) {
            length *= 64;
        }
        if (length > size - offset) {
            length = size - offset;
        }
        reader.receive(data + offset, static_cast<int>(length));
        delivered += static_cast<long>(length);
        offset += length;
        checkRing(reader.buffer());
        if (control & 0x80) {
            reader.endOfReply();
            check(reader.buffer().count() == 0);
        }
    }
    reader.endOfReply();
    check(reader.buffer().count() == 0);
    check(framed + discarded == delivered);
    return 0;
}
