#pragma once

// Texts the link writes to the log pane: one header line per reply frame, one line per
// record, one line per run of discarded bytes. The current time is passed in, so the
// lines can be produced for any clock.

#include <QDateTime>
#include <QString>
#include <QStringList>

#include "link/DetectorRecord.h"

enum class DiscardReason { NoHeader, BadChecksum, BadTrailer, IncompleteFrame, FrameTooLong };

// "PPM.M" (index 0 and any unknown index), "%LEL.M" (1), "%VOL.M" (2).
QString unitText(int unitIndex);

// The value as shown in the unit: value / 500 with 1 decimal for %LEL.M, value / 10000
// with 3 decimals for %VOL.M, the integer zero-filled to at least 5 characters for
// PPM.M, with the fill after a minus sign (-1 gives "-0001").
QString valueText(int value, int unitIndex);

// valueText, two spaces and the unit text.
QString formatValue(int value, int unitIndex);

// ">> [yyyy-MM-dd hh:mm:ss] RECV K alarm records"
QString recvHeaderLine(const QDateTime& now, int recordCount);

// ">> " + time text + four spaces + formatValue.
QString recordLine(const DetectorRecord& record, int unitIndex);

// "no header", "bad checksum", "bad trailer", "incomplete frame", "frame too long".
QString discardReasonText(DiscardReason reason);

// ">> [yyyy-MM-dd hh:mm:ss] DISCARDED 7 bytes (bad checksum)"
QString discardLine(const QDateTime& now, int byteCount, DiscardReason reason);

// ">> [yyyy-MM-dd hh:mm:ss] LINK LOST: " + cause + " — port closed", for a line that
// failed while the port was open (an unplugged adapter, a peer that hung up).
QString linkLostLine(const QDateTime& now, const QString& cause);

// Handles one reply frame: frames shorter than 9 bytes are ignored (no lines, nothing
// stored); otherwise the frame's records are appended to `store` and the returned lines
// are the header line followed by one line per record, all in the unit `unitIndex`.
QStringList handleReplyFrame(const unsigned char* frame, int length, int unitIndex,
                             const QDateTime& now, RecordStore& store);
