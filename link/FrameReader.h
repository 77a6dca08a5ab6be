#pragma once

#include <QByteArray>
#include <functional>
#include <vector>

#include "link/LinkFrame.h"
#include "link/ReceiveBuffer.h"
#include "link/RecordLog.h"

// Takes whole, verified frames out of the bytes the serial line delivers.
//
// Every delivery is appended to the ring, in pieces when it is larger than the free
// space, and every complete frame is taken out in between, so nothing is dropped.
// A frame is complete as soon as all of its N + 8 bytes are buffered, an 8-byte frame
// with an empty payload included: the reader reads the frame length from the head
// itself instead of relying on ReceiveBuffer::hasFrame, which waits for a ninth byte.
//
// Bad input is skipped only on evidence: bytes that do not start with the header 0x0A
// 0x0B are dropped up to the next header; a frame with a wrong trailer or checksum, or
// one longer than the ring, loses its first byte and the search for a header goes on
// from the next byte, so whole frames among the rejected bytes are still found. A frame
// that is still incomplete waits for the rest however long the line pauses; only when
// the owner reports the end of the reply is it dropped the same way. Each run of
// dropped bytes is reported once, with the reason that started it, before the next
// frame or at the end of endOfReply(); a rejected frame always starts a run, so each
// run with a frame's reason is one frame rejected.
//
// Not reentrant: the handlers must not feed the reader.
class FrameReader {
public:
    using FrameHandler = std::function<void(const unsigned char* frame, int length)>;
    using DiscardHandler = std::function<void(int byteCount, DiscardReason reason)>;

    // The default capacity holds the largest frame the layout allows.
    explicit FrameReader(int capacity = kLargestFrameLength);

    void setFrameHandler(FrameHandler handler) { onFrame_ = std::move(handler); }
    void setDiscardHandler(DiscardHandler handler) { onDiscard_ = std::move(handler); }

    // Buffers the delivered bytes and hands every complete frame to the frame handler.
    void receive(const unsigned char* bytes, int length);
    void receive(const QByteArray& bytes);

    // The reply has ended: whatever is still buffered cannot become a frame any more. Drops the
    // first byte of the incomplete frame at the read position and searches on, until the ring is
    // empty, handing out any frame found on the way.
    void endOfReply();

    const ReceiveBuffer& buffer() const { return buffer_; }

private:
    void extractFrames();
    bool syncToHeader();
    bool takeFrameAtReadPosition();
    void discard(int byteCount, DiscardReason reason);
    void reportDiscardRun();

    ReceiveBuffer buffer_;
    std::vector<unsigned char> frame_;
    FrameHandler onFrame_;
    DiscardHandler onDiscard_;
    int discardRunLength_ = 0;
    DiscardReason discardRunReason_ = DiscardReason::NoHeader;
};
