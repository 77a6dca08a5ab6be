#pragma once

// The exit status of ventrix-cli, for the scripts that start it.
constexpr int kExitDone = 0;
constexpr int kExitNoDetector = 1;
constexpr int kExitBadUsage = 2;
// The reply did not finish: the line was lost, or the query did not leave.
constexpr int kExitIncomplete = 3;
constexpr int kExitNotSaved = 4;
// Ctrl-C or a request to terminate, as a shell reports a program ended by SIGINT.
constexpr int kExitInterrupted = 130;
