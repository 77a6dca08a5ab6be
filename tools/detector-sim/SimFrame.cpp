#include "SimFrame.h"

namespace sim {

namespace {

std::uint8_t sum8(const std::uint8_t* data, std::size_t size) {
    std::uint8_t sum = 0;
    for (std::size_t i = 0; i < size; ++i) {
        sum = static_cast<std::uint8_t>(sum + data[i]);
    }
    return sum;
}

}  // namespace

Bytes makeFrame(std::uint8_t command, const Bytes& payload) {
    Bytes frame;
    frame.reserve(payload.size() + 8);
    frame.push_back(0x0A);
    frame.push_back(0x0B);
    frame.push_back(command);
    frame.push_back(static_cast<std::uint8_t>(payload.size() >> 8));
    frame.push_back(static_cast<std::uint8_t>(payload.size() & 0xFF));
    frame.insert(frame.end(), payload.begin(), payload.end());
    frame.push_back(sum8(frame.data(), frame.size()));
    frame.push_back(0xA3);
    frame.push_back(0xB3);
    return frame;
}

void FrameParser::feed(const std::uint8_t* data, std::size_t size) {
    pending_.insert(pending_.end(), data, data + size);
}

bool FrameParser::next(Frame& frame) {
    std::size_t start = 0;
    bool found = false;
    while (!found && pending_.size() - start >= 8) {
        const std::uint8_t* p = pending_.data() + start;
        const std::size_t length = (std::size_t{p[3]} << 8 | p[4]) + 8;
        if (p[0] != 0x0A || p[1] != 0x0B) {
            ++start;
        } else if (pending_.size() - start < length) {
            break;
        } else if (p[length - 2] != 0xA3 || p[length - 1] != 0xB3 ||
                   sum8(p, length - 3) != p[length - 3]) {
            ++start;
        } else {
            frame.command = p[2];
            frame.payload.assign(p + 5, p + length - 3);
            start += length;
            found = true;
        }
    }
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(start));
    return found;
}

}  // namespace sim
