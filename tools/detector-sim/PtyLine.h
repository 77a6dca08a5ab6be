#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "DataSet.h"
#include "SimFrame.h"

namespace sim {

// The detector's end of a pseudo-terminal pair, in raw mode from the start so that no
// byte is echoed or translated. The slave side is kept open as well, so the line stays
// up while the application opens and closes its port.
class PtyLine {
public:
    PtyLine() = default;
    ~PtyLine();
    PtyLine(const PtyLine&) = delete;
    PtyLine& operator=(const PtyLine&) = delete;

    // False with a message in `error` when no pseudo-terminal could be opened.
    bool open(std::string& error);
    const std::string& slavePath() const { return slavePath_; }

    // Waits up to `timeoutMs` for bytes and reads them; returns the count, 0 on time-out
    // or interruption, -1 when the line failed.
    long readSome(std::uint8_t* data, std::size_t size, int timeoutMs);

    // Writes all bytes, in random pieces with random pauses when `maxPiece` > 0. False
    // when the line failed or a stop was requested before the last byte went out.
    bool writeAll(const Bytes& bytes, int maxPiece, int maxDelayMs, Random& random);

    // Waits up to `limitMs` until the application has read everything written, since
    // closing the line throws away what it has not read yet. False on time-out.
    bool waitUntilTaken(int limitMs);

    void close();

private:
    bool writePiece(const std::uint8_t* data, std::size_t size);
    // Waits until the terminal takes bytes again; false on a stop request or failure.
    bool waitWritable();

    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
};

}  // namespace sim
