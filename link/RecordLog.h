#pragma once

// Texts the link writes to the log pane: one header line per reply frame, one line per
// record, one line per run of discarded bytes. The current time is passed in, so the
// lines can be produced for any clock.

#include <QDateTime>
#include <QString>
#include <QStringList>

#include "link/DetectorRecord.h"
#include "link/LinkEvents.h"

// The unit's log text: "PPM.M" (index 0 and any unknown index), "%LEL.M" (1), "%VOL.M" (2).
QString unitText(int unitIndex);

// The value as the log shows it: the unit's value text, except that PPM.M zero-fills the
// integer to at least 5 characters, with the fill after a minus sign (-1 gives "-0001").
QString logValueText(int value, int unitIndex);

// logValueText, two spaces and the unit text.
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

// ">> [yyyy-MM-dd hh:mm:ss] QUERY NOT SENT: " + the port's error text.
QString queryNotSentLine(const QDateTime& now, const QString& portError);

// ">> [yyyy-MM-dd hh:mm:ss] DEVICE FOUND on " + the port's name.
QString deviceFoundLine(const QDateTime& now, const QString& portName);

// The end of a reply, after the time stamp: "RECV DONE n records" (with ", k frames
// discarded" when frames were rejected), "RECV NONE: no records in this range", or
// "RECV STOPPED n records: the download did not finish" (stopped or lost).
QString replyEndLine(const QDateTime& now, ReplyOutcome outcome, int recordCount,
                     int framesDiscarded);

// ">> [yyyy-MM-dd hh:mm:ss] IGNORED n records: they came after the download was stopped"
QString ignoredLine(const QDateTime& now, int recordCount);

// ">> [yyyy-MM-dd hh:mm:ss] SAVED n records to " + the file's path, followed by " (the
// download did not finish)" for the records of a stopped download.
QString savedLine(const QDateTime& now, int recordCount, const QString& path, bool complete);

// What the link is doing, for the title bar: "WAITING FOR THE DETECTOR: n s",
// "RECEIVING: n records, p % of the range", and after a stopped download
// "INCOMPLETE: n records, the download did not finish".
QString waitingText(int seconds);
QString receivingText(int recordCount, int percent);
QString incompleteText(int recordCount);

// The lines of one reply frame whose records are the `count` records of `store` from
// `first` on: the header line, then one line per record in the unit `unitIndex`.
QStringList frameLines(const QDateTime& now, const RecordStore& store, int first, int count,
                       int unitIndex);

// Handles one reply frame: frames shorter than 9 bytes are ignored (no lines, nothing
// stored); otherwise the frame's records are appended to `store` and the returned lines
// are the header line followed by one line per record, all in the unit `unitIndex`.
QStringList handleReplyFrame(const unsigned char* frame, int length, int unitIndex,
                             const QDateTime& now, RecordStore& store);
