#include "Options.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace sim {

namespace {

bool toNumber(const std::string& text, long long low, long long high, long long& value) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    value = std::strtoll(text.c_str(), &end, 10);
    return errno == 0 && *end == '\0' && value >= low && value <= high;
}

class Arguments {
public:
    Arguments(int argc, char** argv, std::string& error)
        : argc_(argc), argv_(argv), error_(error) {}

    bool done() const { return index_ >= argc_; }
    std::string name() { return argv_[index_++]; }

    bool text(const std::string& option, std::string& value) {
        if (index_ >= argc_) {
            error_ = option + " needs a value";
            return false;
        }
        value = argv_[index_++];
        return true;
    }

    bool number(const std::string& option, long long low, long long high, long long& value) {
        std::string raw;
        if (!text(option, raw)) {
            return false;
        }
        if (!toNumber(raw, low, high, value)) {
            error_ = option + " takes a number from " + std::to_string(low) + " to " +
                     std::to_string(high) + ", not '" + raw + "'";
            return false;
        }
        return true;
    }

    bool pauseMs(const std::string& option, int& value) {
        long long n = 0;
        if (!number(option, 0, 60000, n)) {
            return false;
        }
        value = static_cast<int>(n);
        return true;
    }

    bool frameIndex(const std::string& option, std::set<int>& indexes) {
        long long value = 0;
        if (!number(option, 0, 1000000, value)) {
            return false;
        }
        indexes.insert(static_cast<int>(value));
        return true;
    }

private:
    int argc_;
    char** argv_;
    std::string& error_;
    int index_ = 1;
};

bool parseOne(const std::string& option, Arguments& args, Options& o, std::string& error) {
    long long n = 0;
    std::string text;
    if (option == "--help" || option == "-h") {
        o.help = true;
    } else if (option == "--records") {
        if (!args.number(option, 0, 10000000, n))
            return false;
        o.records = static_cast<std::size_t>(n);
    } else if (option == "--seed") {
        if (!args.number(option, 0, LLONG_MAX, n))
            return false;
        o.seed = static_cast<std::uint64_t>(n);
    } else if (option == "--first") {
        if (!args.text(option, text))
            return false;
        if (!parseStamp(text, o.first) || o.first.year < 2000 || o.first.year > 2255) {
            error = "--first takes \"YYYY-MM-DD hh:mm:ss\" in the years 2000 to 2255";
            return false;
        }
    } else if (option == "--values") {
        if (!args.text(option, text))
            return false;
        if (text != "mixed" && text != "readings") {
            error = "--values takes mixed or readings";
            return false;
        }
        o.values = text == "readings" ? ValueKind::Readings : ValueKind::Mixed;
    } else if (option == "--per-frame") {
        if (!args.number(option, 1, kMaxRecordsPerFrame, n))
            return false;
        o.perFrame = static_cast<int>(n);
    } else if (option == "--dump-csv") {
        return args.text(option, o.csvPath);
    } else if (option == "--identify") {
        return args.text(option, o.identity);
    } else if (option == "--silent") {
        o.silent = true;
    } else if (option == "--pieces") {
        if (!args.number(option, 0, 65536, n))
            return false;
        o.maxPiece = static_cast<int>(n);
    } else if (option == "--max-delay-ms") {
        if (!args.number(option, 0, 1000, n))
            return false;
        o.maxDelayMs = static_cast<int>(n);
    } else if (option == "--bytes-per-second") {
        if (!args.number(option, 0, 10000000, n))
            return false;
        o.bytesPerSecond = static_cast<long>(n);
    } else if (option == "--first-delay-ms") {
        return args.pauseMs(option, o.firstDelayMs);
    } else if (option == "--gap-ms") {
        return args.pauseMs(option, o.gapMs);
    } else if (option == "--pause-ms") {
        return args.pauseMs(option, o.pauseMs);
    } else if (option == "--busy-at-start") {
        o.busyAtStart = true;
    } else if (option == "--stray") {
        return args.frameIndex(option, o.strayBefore);
    } else if (option == "--bad-checksum") {
        return args.frameIndex(option, o.badChecksumBefore);
    } else if (option == "--bad-trailer") {
        return args.frameIndex(option, o.badTrailerBefore);
    } else if (option == "--bad-length") {
        return args.frameIndex(option, o.badLengthBefore);
    } else if (option == "--hangup-after") {
        if (!args.number(option, 0, LONG_MAX, n))
            return false;
        o.hangupAfter = static_cast<long>(n);
    } else {
        error = "unknown option '" + option + "' (see --help)";
        return false;
    }
    return true;
}

}  // namespace

bool parseOptions(int argc, char** argv, Options& options, std::string& error) {
    Arguments args(argc, argv, error);
    while (!args.done()) {
        if (!parseOne(args.name(), args, options, error)) {
            return false;
        }
    }
    return true;
}

void printUsage(std::ostream& out) {
    out << R"(Usage: detector-sim [options]

Simulates the gas detector on a pseudo-terminal. The first line on standard output
is the device path of the terminal's slave side (open it like a serial port); then
the simulator answers the link protocol until SIGTERM or SIGINT:
  identify command (0x0C)  -> identify frame with the identity text as payload
  query (0x0B, 12 bytes)   -> reply frames (0x0B) with the records whose time lies in
                              the queried range (both ends included), in time order;
                              one empty reply frame when no record is in range

Data set (deterministic for a seed):
  --records N          number of records (default 1000)
  --seed N             seed of the data set and of the pieces (default 1)
  --first TIME         time of the first record, "YYYY-MM-DD hh:mm:ss"
                       (default "2024-01-01 00:00:00"); later records follow at
                       random steps of 0 to 7199 seconds
  --values KIND        mixed (default): values that exercise every unit's
                       formatting, the 32-bit extremes included; readings: a low
                       background with gas plumes that rise and die away
  --per-frame K        at most K records per reply frame, 1 to 6553 (default 100)
  --dump-csv FILE      write the data set to FILE before serving, one record a line:
                       "YYYY-MM-DD hh:mm:ss,raw value"

Line behaviour:
  --pieces MAX         split every write into random pieces of 1 to MAX bytes
                       (default 0: each frame in one write)
  --max-delay-ms MS    random pause of 0 to MS ms between pieces (default 2)
  --first-delay-ms MS  pause from a query to its first reply frame, 0 to 60000
                       (default 0)
  --gap-ms MS          pause between consecutive reply frames of an answer, before the
                       faults that go with the next frame, 0 to 60000 (default 0)
  --pause-ms MS        pause in the middle of every reply frame, faulty copies
                       included: the first half goes out, the second MS ms later, 0
                       to 60000 (default 0)
  --bytes-per-second N send no faster than a serial line of N bytes a second, 0 to
                       10000000 (11520 for 115200 baud, 8N1); every write goes out in
                       chunks of about 10 ms, each as soon as the line would have sent
                       its last byte, and the pauses above and between pieces start
                       once the line has sent what came before (default 0: as fast as
                       the terminal takes the bytes)
  --busy-at-start      right after printing the device path, send the whole data set
                       as reply frames, as if still answering a query from before
                       the line opened (with the options above and the faults
                       below; the first delay counts from the opening); whatever
                       arrives until the last frame is out is dropped unanswered,
                       then serve as usual
  --identify TEXT      payload of the identify answer (default "Q781 1.00"); any
                       other text gives a wrong identification
  --silent             read everything, answer nothing
  --hangup-after N     close the line and exit after N frames have been written
                       (an unplugged adapter)

Faults, each before reply frame I (counted from 0) of every answer to a query (and of
the one --busy-at-start sends); the intact frame I is sent right after, so no record
is lost. Each may be repeated:
  --stray I            7 stray bytes (no header among them)
  --bad-checksum I     a copy of frame I with a wrong checksum
  --bad-trailer I      a copy of frame I with a wrong trailer
  --bad-length I       a copy of frame I whose length announces 768 more bytes

  --help               this text
)";
}

}  // namespace sim
