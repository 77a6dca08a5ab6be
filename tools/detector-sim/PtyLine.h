#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "DataSet.h"
#include "SimFrame.h"
#include "StopSignal.h"

namespace sim {

// How the detector's bytes leave it: when `maxPiece` > 0, in random pieces of 1 to
// `maxPiece` bytes with random pauses of 0 to `maxDelayMs` between them; when
// `bytesPerSecond` > 0, no faster than a serial line sending that many bytes a second.
struct LinePacing {
    int maxPiece = 0;
    int maxDelayMs = 0;
    long bytesPerSecond = 0;
};

// The detector's end of a pseudo-terminal pair, in raw mode from the start so that no
// byte is echoed or translated. The slave side is kept open as well, so the line stays
// up while the application opens and closes its port.
class PtyLine {
public:
    explicit PtyLine(const LinePacing& pacing) : pacing_(pacing) {}
    ~PtyLine();
    PtyLine(const PtyLine&) = delete;
    PtyLine& operator=(const PtyLine&) = delete;

    // False with a message in `error` when no pseudo-terminal could be opened.
    bool open(std::string& error);
    const std::string& slavePath() const { return slavePath_; }

    // Waits up to `timeoutMs` for bytes and reads them; returns the count, 0 on time-out
    // or interruption, -1 when the line failed.
    long readSome(std::uint8_t* data, std::size_t size, int timeoutMs);

    // Writes all bytes as the pacing says. False when the line failed or a stop was
    // requested before the last byte went out.
    bool writeAll(const Bytes& bytes, Random& random);

    // Starts an answer at `moment`: the line stays quiet until then, and the answer's
    // bytes and pauses are timed from there. False on a stop request.
    bool startAnswer(Clock::time_point moment);

    // Keeps the line quiet for `pause` once what was written so far has gone out; false
    // on a stop request.
    bool pause(Clock::duration pause);

    // Waits up to `limitMs` until the application has read everything written, since
    // closing the line throws away what it has not read yet. False on time-out.
    bool waitUntilTaken(int limitMs);

    void close();

private:
    bool writePaced(const std::uint8_t* data, std::size_t size);
    void keepUp();
    bool writePiece(const std::uint8_t* data, std::size_t size);
    // Waits until the terminal takes bytes again; false on a stop request or failure.
    bool waitWritable();

    const LinePacing pacing_;
    // When the line will have sent everything written so far, pauses included. Each
    // chunk and pause moves it on from where it was, not from the moment it is written,
    // so late wake-ups do not add up over a long answer.
    Clock::time_point idleFrom_ = Clock::now();
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
};

}  // namespace sim
