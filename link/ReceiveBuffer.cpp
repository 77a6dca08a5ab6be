#include "link/ReceiveBuffer.h"

#include <algorithm>
#include <cstring>

namespace {

// Smallest byte count at which the ring looks for a frame: one more than an empty
// frame, so an 8-byte frame is recognised only once a further byte is buffered.
constexpr int kFrameSearchThreshold = 9;

}  // namespace

ReceiveBuffer::~ReceiveBuffer() {
    release();
}

void ReceiveBuffer::init(int capacity) {
    release();
    capacity_ = std::max(capacity, 0);
    if (capacity_ > 0) {
        storage_ = new unsigned char[capacity_]();
    }
    readIndex_ = 0;
    writeIndex_ = 0;
    count_ = 0;
    headLength_ = 5;
    tailLength_ = 3;
    pendingLength_ = 0;
}

int ReceiveBuffer::append(const unsigned char* src, int len) {
    if (len <= 0) {
        return 0;
    }
    const int n = std::min(len, capacity_ - count_);
    if (n == 0) {
        return 0;
    }
    const int first = std::min(n, capacity_ - writeIndex_);
    std::memcpy(storage_ + writeIndex_, src, first);
    std::memcpy(storage_, src + first, n - first);
    writeIndex_ = (writeIndex_ + n) % capacity_;
    count_ += n;
    return n;
}

bool ReceiveBuffer::hasFrame() {
    pendingLength_ = 0;
    if (count_ < kFrameSearchThreshold) {
        return false;
    }
    const int payloadLength = at(3) * 256 + at(4);
    const int frameLength = payloadLength + headLength_ + tailLength_;
    if (count_ < frameLength) {
        return false;
    }
    pendingLength_ = frameLength;
    return true;
}

int ReceiveBuffer::takeFrame(unsigned char* dst) {
    if (pendingLength_ <= 0) {
        return -1;
    }
    const int n = read(dst, pendingLength_);
    if (n > 0) {
        pendingLength_ = 0;
    }
    return n;
}

int ReceiveBuffer::read(unsigned char* dst, int n) {
    const int copied = peek(dst, n);
    return skip(copied);
}

void ReceiveBuffer::release() {
    delete[] storage_;
    storage_ = nullptr;
    capacity_ = 0;
    readIndex_ = 0;
    writeIndex_ = 0;
    count_ = 0;
    pendingLength_ = 0;
}

int ReceiveBuffer::peek(unsigned char* dst, int n) const {
    n = std::min(n, count_);
    if (n <= 0) {
        return 0;
    }
    const int first = std::min(n, capacity_ - readIndex_);
    std::memcpy(dst, storage_ + readIndex_, first);
    std::memcpy(dst + first, storage_, n - first);
    return n;
}

unsigned char ReceiveBuffer::at(int offset) const {
    return storage_[(readIndex_ + offset) % capacity_];
}

int ReceiveBuffer::skip(int n) {
    n = std::min(n, count_);
    if (n <= 0) {
        return 0;
    }
    readIndex_ = (readIndex_ + n) % capacity_;
    count_ -= n;
    return n;
}
