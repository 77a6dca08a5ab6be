#pragma once

// The detector's side of the link frame, written independently of the application's
// protocol code so that each checks the other:
//   0x0A 0x0B | command | length (16 bit, big-endian) | payload | sum | 0xA3 0xB3

#include <cstdint>
#include <vector>

namespace sim {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint8_t kQuery = 0x0B;
constexpr std::uint8_t kIdentify = 0x0C;

Bytes makeFrame(std::uint8_t command, const Bytes& payload);

struct Frame {
    std::uint8_t command;
    Bytes payload;
};

// Collects bytes from the line and cuts whole, valid frames out of them; anything
// else is skipped one byte at a time.
class FrameParser {
public:
    void feed(const std::uint8_t* data, std::size_t size);
    // Takes the next valid frame out; false when none is complete yet.
    bool next(Frame& frame);

private:
    Bytes pending_;
};

}  // namespace sim
