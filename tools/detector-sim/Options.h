#pragma once

#include <cstdint>
#include <ostream>
#include <set>
#include <string>

#include "DataSet.h"

namespace sim {

struct Options {
    std::size_t records = 1000;
    std::uint64_t seed = 1;
    Stamp first{2024, 1, 1, 0, 0, 0};
    ValueKind values = ValueKind::Mixed;
    int perFrame = 100;
    std::string csvPath;
    std::string identity = "Q781 1.00";
    bool silent = false;
    int maxPiece = 0;
    int maxDelayMs = 2;
    long bytesPerSecond = 0;
    int firstDelayMs = 0;
    int gapMs = 0;
    int pauseMs = 0;
    bool busyAtStart = false;
    std::set<int> strayBefore;
    std::set<int> badChecksumBefore;
    std::set<int> badTrailerBefore;
    std::set<int> badLengthBefore;
    long hangupAfter = -1;
    bool help = false;
};

constexpr int kMaxRecordsPerFrame = 6553;

// Parses the command line; on failure returns false with a message in `error`.
bool parseOptions(int argc, char** argv, Options& options, std::string& error);

void printUsage(std::ostream& out);

}  // namespace sim
