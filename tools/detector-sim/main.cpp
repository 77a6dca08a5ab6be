// Stand-in for the gas detector on a pseudo-terminal, for tests and demonstrations.
// See --help for the options.

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <utility>

#include "DataSet.h"
#include "Options.h"
#include "PtyLine.h"
#include "SimFrame.h"
#include "StopSignal.h"

namespace {

// Orders time stamps as the link encodes them (years counted from 2000).
std::int64_t stampKey(int year, int month, int day, int hour, int minute, int second) {
    return ((((std::int64_t{year} * 256 + month) * 256 + day) * 256 + hour) * 256 + minute) * 256 +
           second;
}

std::int64_t stampKey(const sim::Stamp& s) {
    return stampKey(s.year - 2000, s.month, s.day, s.hour, s.minute, s.second);
}

std::int64_t stampKey(const std::uint8_t* b) {
    return stampKey(b[0], b[1], b[2], b[3], b[4], b[5]);
}

void appendRecord(sim::Bytes& payload, const sim::AlarmRecord& record) {
    const sim::Stamp& t = record.time;
    const auto raw = static_cast<std::uint32_t>(record.value);
    payload.insert(payload.end(),
                   {static_cast<std::uint8_t>(t.year - 2000), static_cast<std::uint8_t>(t.month),
                    static_cast<std::uint8_t>(t.day), static_cast<std::uint8_t>(t.hour),
                    static_cast<std::uint8_t>(t.minute), static_cast<std::uint8_t>(t.second),
                    static_cast<std::uint8_t>(raw >> 24), static_cast<std::uint8_t>(raw >> 16),
                    static_cast<std::uint8_t>(raw >> 8), static_cast<std::uint8_t>(raw)});
}

class Detector {
public:
    Detector(const sim::Options& options, std::vector<sim::AlarmRecord> records, sim::PtyLine& line)
        : options_(options),
          records_(std::move(records)),
          line_(line),
          random_(options.seed ^ 0x5A5A) {}

    // Serves the line until a stop signal, a hang-up or a line failure; the exit code.
    int run();

private:
    void finishEarlierReply();
    void dropInput();
    void answer(const sim::Frame& frame);
    // The records from `from` to `to` (stamp keys, both included) in reply frames.
    std::vector<sim::Bytes> replyFrames(std::int64_t from, std::int64_t to) const;
    // The reply frames of one answer, the first --first-delay-ms after `received`.
    void sendReply(const std::vector<sim::Bytes>& frames, sim::Clock::time_point received);
    void sendWithFaults(int index, const sim::Bytes& frame);
    void sendReplyFrame(const sim::Bytes& frame);
    void send(const sim::Bytes& bytes, bool isFrame);

    const sim::Options& options_;
    const std::vector<sim::AlarmRecord> records_;
    sim::PtyLine& line_;
    sim::Random random_;
    sim::FrameParser parser_;
    long framesSent_ = 0;
    bool lineClosed_ = false;
};

int Detector::run() {
    if (options_.hangupAfter == 0) {
        lineClosed_ = true;
    }
    if (options_.busyAtStart) {
        finishEarlierReply();
    }
    std::uint8_t buffer[4096];
    while (!sim::stopRequested() && !lineClosed_) {
        const long n = line_.readSome(buffer, sizeof buffer, 100);
        if (n < 0) {
            std::cerr << "detector-sim: the line failed\n";
            return 1;
        }
        parser_.feed(buffer, static_cast<std::size_t>(n));
        sim::Frame frame;
        while (!sim::stopRequested() && !lineClosed_ && parser_.next(frame)) {
            answer(frame);
        }
    }
    line_.close();
    return 0;
}

// The detector is still sending all its records in reply to a query from before the
// line opened; what arrives meanwhile goes unanswered.
void Detector::finishEarlierReply() {
    const sim::Clock::time_point opened = sim::Clock::now();
    sendReply(replyFrames(INT64_MIN, INT64_MAX), opened);
    dropInput();
}

void Detector::dropInput() {
    std::uint8_t buffer[4096];
    while (line_.readSome(buffer, sizeof buffer, 0) > 0) {
    }
}

void Detector::answer(const sim::Frame& frame) {
    if (options_.silent) {
        return;
    }
    const sim::Clock::time_point received = sim::Clock::now();
    if (frame.command == sim::kIdentify) {
        line_.startAnswer(received);
        send(sim::makeFrame(sim::kIdentify,
                            sim::Bytes(options_.identity.begin(), options_.identity.end())),
             true);
    } else if (frame.command == sim::kQuery && frame.payload.size() == 12) {
        const std::uint8_t* range = frame.payload.data();
        sendReply(replyFrames(stampKey(range), stampKey(range + 6)), received);
    }
}

void Detector::sendReply(const std::vector<sim::Bytes>& frames, sim::Clock::time_point received) {
    if (lineClosed_ ||
        !line_.startAnswer(received + std::chrono::milliseconds(options_.firstDelayMs))) {
        return;
    }
    for (std::size_t i = 0; i < frames.size() && !lineClosed_; ++i) {
        if (i > 0 && !line_.pause(std::chrono::milliseconds(options_.gapMs))) {
            return;
        }
        sendWithFaults(static_cast<int>(i), frames[i]);
    }
}

std::vector<sim::Bytes> Detector::replyFrames(std::int64_t from, std::int64_t to) const {
    std::vector<sim::Bytes> frames;
    sim::Bytes payload;
    int inPayload = 0;
    for (const sim::AlarmRecord& record : records_) {
        const std::int64_t key = stampKey(record.time);
        if (key < from || key > to) {
            continue;
        }
        appendRecord(payload, record);
        if (++inPayload == options_.perFrame) {
            frames.push_back(sim::makeFrame(sim::kQuery, payload));
            payload.clear();
            inPayload = 0;
        }
    }
    if (inPayload > 0 || frames.empty()) {
        frames.push_back(sim::makeFrame(sim::kQuery, payload));
    }
    return frames;
}

void Detector::sendWithFaults(int index, const sim::Bytes& frame) {
    if (options_.strayBefore.count(index)) {
        send({0x01, 0xA3, 0xB3, 0x0B, 0x55, 0xFF, 0x00}, false);
    }
    if (options_.badChecksumBefore.count(index)) {
        sim::Bytes copy = frame;
        copy[copy.size() - 3] ^= 0x5A;
        sendReplyFrame(copy);
    }
    if (options_.badTrailerBefore.count(index)) {
        sim::Bytes copy = frame;
        copy.back() = 0xB4;
        sendReplyFrame(copy);
    }
    if (options_.badLengthBefore.count(index)) {
        sim::Bytes copy = frame;
        copy[3] = static_cast<std::uint8_t>(copy[3] + 3);
        sendReplyFrame(copy);
    }
    sendReplyFrame(frame);
}

// With --pause-ms, the frame goes out in two halves with the pause between them.
void Detector::sendReplyFrame(const sim::Bytes& frame) {
    if (options_.pauseMs == 0) {
        send(frame, true);
        return;
    }
    const auto middle = frame.begin() + static_cast<std::ptrdiff_t>(frame.size() / 2);
    send(sim::Bytes(frame.begin(), middle), false);
    if (!lineClosed_ && line_.pause(std::chrono::milliseconds(options_.pauseMs))) {
        send(sim::Bytes(middle, frame.end()), true);
    }
}

void Detector::send(const sim::Bytes& bytes, bool isFrame) {
    if (lineClosed_) {
        return;
    }
    if (!line_.writeAll(bytes, random_)) {
        lineClosed_ = true;
        return;
    }
    if (isFrame && ++framesSent_ == options_.hangupAfter) {
        line_.waitUntilTaken(2000);
        lineClosed_ = true;
    }
}

bool dumpCsv(const std::string& path, const std::vector<sim::AlarmRecord>& records) {
    std::ofstream out(path);
    sim::writeCsv(records, out);
    out.close();
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    sim::Options options;
    std::string error;
    if (!sim::parseOptions(argc, argv, options, error)) {
        std::cerr << "detector-sim: " << error << '\n';
        return 2;
    }
    if (options.help) {
        sim::printUsage(std::cout);
        return 0;
    }
    sim::installStopHandlers();
    const std::vector<sim::AlarmRecord> records =
        sim::makeDataSet(options.records, options.seed, options.first, options.values);
    if (!options.csvPath.empty() && !dumpCsv(options.csvPath, records)) {
        std::cerr << "detector-sim: cannot write " << options.csvPath << '\n';
        return 1;
    }
    sim::PtyLine line({options.maxPiece, options.maxDelayMs, options.bytesPerSecond});
    if (!line.open(error)) {
        std::cerr << "detector-sim: " << error << '\n';
        return 1;
    }
    std::cout << line.slavePath() << std::endl;
    return Detector(options, records, line).run();
}
