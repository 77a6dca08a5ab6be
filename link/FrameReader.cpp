#include "link/FrameReader.h"

FrameReader::FrameReader(int capacity) {
    buffer_.init(capacity);
    frame_.resize(static_cast<std::size_t>(buffer_.capacity()));
}

void FrameReader::receive(const unsigned char* bytes, int length) {
    int offset = 0;
    while (offset < length) {
        const int stored = buffer_.append(bytes + offset, length - offset);
        offset += stored;
        extractFrames();
        // Only a ring smaller than a frame head can stay full here; the rest is lost.
        if (stored == 0 && buffer_.freeSpace() == 0) {
            return;
        }
    }
}

void FrameReader::receive(const QByteArray& bytes) {
    receive(reinterpret_cast<const unsigned char*>(bytes.constData()), bytes.size());
}

void FrameReader::endOfReply() {
    while (buffer_.count() > 0) {
        discard(1, DiscardReason::IncompleteFrame);
        extractFrames();
    }
    reportDiscardRun();
}

void FrameReader::extractFrames() {
    while (syncToHeader() && takeFrameAtReadPosition()) {
    }
}

bool FrameReader::syncToHeader() {
    while (buffer_.count() > 0) {
        if (buffer_.at(0) != kFrameHeader0) {
            discard(1, DiscardReason::NoHeader);
        } else if (buffer_.count() < 2) {
            return false;
        } else if (buffer_.at(1) != kFrameHeader1) {
            discard(1, DiscardReason::NoHeader);
        } else {
            return true;
        }
    }
    return false;
}

// With a header at the read position: takes the frame out when it is complete and
// valid, drops its first byte when it is not valid. Returns false when the frame is
// still incomplete, so the search stops until more bytes arrive.
bool FrameReader::takeFrameAtReadPosition() {
    if (buffer_.count() < kFrameHeadLength) {
        return false;
    }
    const int length = buffer_.at(3) * 256 + buffer_.at(4) + kFrameOverhead;
    if (length > buffer_.capacity()) {
        discard(1, DiscardReason::FrameTooLong);
        return true;
    }
    if (buffer_.count() < length) {
        return false;
    }
    if (buffer_.at(length - 2) != kFrameTrailer0 || buffer_.at(length - 1) != kFrameTrailer1) {
        discard(1, DiscardReason::BadTrailer);
        return true;
    }
    buffer_.peek(frame_.data(), length);
    if (frameChecksum(frame_.data(), length - kFrameTailLength) !=
        frame_[length - kFrameTailLength]) {
        discard(1, DiscardReason::BadChecksum);
        return true;
    }
    buffer_.skip(length);
    reportDiscardRun();
    if (onFrame_) {
        onFrame_(frame_.data(), length);
    }
    return true;
}

void FrameReader::discard(int byteCount, DiscardReason reason) {
    const int removed = buffer_.skip(byteCount);
    if (removed == 0) {
        return;
    }
    // A rejected frame after stray bytes starts a run of its own, so that every frame
    // rejected is reported; bytes rejected after it stay in its run.
    if (discardRunLength_ > 0 && discardRunReason_ == DiscardReason::NoHeader &&
        reason != DiscardReason::NoHeader) {
        reportDiscardRun();
    }
    if (discardRunLength_ == 0) {
        discardRunReason_ = reason;
    }
    discardRunLength_ += removed;
}

void FrameReader::reportDiscardRun() {
    if (discardRunLength_ == 0) {
        return;
    }
    const int length = discardRunLength_;
    discardRunLength_ = 0;
    if (onDiscard_) {
        onDiscard_(length, discardRunReason_);
    }
}
