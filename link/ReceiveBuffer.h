#pragma once

// Fixed-size ring in which bytes from the serial line are collected until a whole
// frame is present. It knows only the frame's length rule (a 5-byte head whose last
// two bytes give the payload length, and a 3-byte tail); header, command, checksum
// and trailer are left to the caller.
//
// Invariants: 0 <= count <= capacity; the buffered bytes are the `count` bytes from
// the read index on, wrapping at the end of the storage; write index = (read index +
// count) modulo capacity.
class ReceiveBuffer {
public:
    ReceiveBuffer() = default;
    ~ReceiveBuffer();
    ReceiveBuffer(const ReceiveBuffer&) = delete;
    ReceiveBuffer& operator=(const ReceiveBuffer&) = delete;

    // Allocates a zero-filled ring of `capacity` bytes (none for a capacity below 1)
    // and empties it. A ring allocated before is freed first.
    void init(int capacity);

    // Stores as many of the `len` bytes as fit and returns how many; the rest is
    // dropped. Returns 0 for len <= 0.
    int append(const unsigned char* src, int len);

    // True when at least 9 bytes are buffered and the announced frame lies whole in the
    // ring; remembers its length as the pending length (0 otherwise).
    bool hasFrame();

    // Moves the pending frame to `dst` and returns its length; -1 when none is pending.
    int takeFrame(unsigned char* dst);

    // Moves up to `n` bytes to `dst` and returns how many.
    int read(unsigned char* dst, int n);

    // Frees the storage. The ring holds nothing afterwards.
    void release();

    // Copies up to `n` bytes from the read index on to `dst` without removing them.
    int peek(unsigned char* dst, int n) const;

    // The byte `offset` positions after the read index; offset must be below count().
    unsigned char at(int offset) const;

    // Removes up to `n` bytes from the read index on and returns how many.
    int skip(int n);

    int count() const { return count_; }
    int capacity() const { return capacity_; }
    int freeSpace() const { return capacity_ - count_; }
    int readIndex() const { return readIndex_; }
    int writeIndex() const { return writeIndex_; }
    int pendingLength() const { return pendingLength_; }

private:
    unsigned char* storage_ = nullptr;
    int readIndex_ = 0;
    int writeIndex_ = 0;
    int count_ = 0;
    int capacity_ = 0;
    int headLength_ = 5;
    int tailLength_ = 3;
    int pendingLength_ = 0;
};
