#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include "link/Units.h"

// What ventrix-cli is asked to do.
struct CliRequest {
    enum class Command { Find, Download };

    Command command = Command::Find;
    // The ports the search tries, in this order; empty: the candidate ports.
    QStringList ports;
    // The queried range, both ends included, as the detector's clock shows it.
    QDateTime from;
    QDateTime to;
    int unitIndex = kUnitPpm;
    // A workbook, a CSV file (a name ending in ".csv"), or "-" for CSV on standard output.
    QString output;
    bool force = false;
    bool keepIncomplete = false;
    bool verbose = false;

    bool toStandardOutput() const { return output == QLatin1String("-"); }
};

enum class ParseOutcome { Run, Help, Version, BadUsage };

// Reads the program's arguments (its own name first) into `request`; `now` is the end
// of a --last range. BadUsage leaves in `error` what is wrong, naming the option.
ParseOutcome parseCommandLine(const QStringList& arguments, const QDateTime& now,
                              CliRequest& request, QString& error);

// The text --help prints.
QString helpText();
