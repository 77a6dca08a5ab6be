#include "link/RecordLog.h"

#include <QLatin1String>

#include "link/RecordDecoder.h"
#include "link/Units.h"

namespace {

constexpr int kPpmWidth = 5;
const QLatin1String kTimestampFormat("yyyy-MM-dd hh:mm:ss");

QString timestamp(const QDateTime& now) {
    return QLatin1String(">> [") + now.toString(kTimestampFormat) + QLatin1String("] ");
}

QString ppmText(int value) {
    if (value >= 0) {
        return QString::number(value).rightJustified(kPpmWidth, QLatin1Char('0'));
    }
    const qint64 magnitude = -static_cast<qint64>(value);
    return QLatin1Char('-') +
           QString::number(magnitude).rightJustified(kPpmWidth - 1, QLatin1Char('0'));
}

}  // namespace

QString unitText(int unitIndex) {
    return QLatin1String(unitInfo(unitIndex).logUnit);
}

QString logValueText(int value, int unitIndex) {
    if (unitInfo(unitIndex).decimals == 0) {
        return ppmText(value);
    }
    char text[kValueTextCapacity];
    return QLatin1String(text, static_cast<int>(writeValueText(value, unitIndex, text)));
}

QString formatValue(int value, int unitIndex) {
    return logValueText(value, unitIndex) + QLatin1String("  ") + unitText(unitIndex);
}

QString recvHeaderLine(const QDateTime& now, int recordCount) {
    return timestamp(now) + QLatin1String("RECV ") + QString::number(recordCount) +
           QLatin1String(" alarm records");
}

QString recordLine(const DetectorRecord& record, int unitIndex) {
    return QLatin1String(">> ") + QLatin1String(record.timeText) + QLatin1String("    ") +
           formatValue(record.value, unitIndex);
}

QString discardReasonText(DiscardReason reason) {
    switch (reason) {
        case DiscardReason::NoHeader:
            return QStringLiteral("no header");
        case DiscardReason::BadChecksum:
            return QStringLiteral("bad checksum");
        case DiscardReason::BadTrailer:
            return QStringLiteral("bad trailer");
        case DiscardReason::IncompleteFrame:
            return QStringLiteral("incomplete frame");
        case DiscardReason::FrameTooLong:
            return QStringLiteral("frame too long");
    }
    return QString();
}

QString discardLine(const QDateTime& now, int byteCount, DiscardReason reason) {
    return timestamp(now) + QLatin1String("DISCARDED ") + QString::number(byteCount) +
           QLatin1String(byteCount == 1 ? " byte (" : " bytes (") + discardReasonText(reason) +
           QLatin1Char(')');
}

QString linkLostLine(const QDateTime& now, const QString& cause) {
    return timestamp(now) + QLatin1String("LINK LOST: ") + cause +
           QStringLiteral(" \u2014 port closed");
}

QString queryNotSentLine(const QDateTime& now, const QString& portError) {
    return timestamp(now) + QLatin1String("QUERY NOT SENT: ") + portError;
}

QString deviceFoundLine(const QDateTime& now, const QString& portName) {
    return timestamp(now) + QLatin1String("DEVICE FOUND on ") + portName;
}

QString replyEndLine(const QDateTime& now, ReplyOutcome outcome, int recordCount,
                     int framesDiscarded) {
    const QString count = QString::number(recordCount);
    switch (outcome) {
        case ReplyOutcome::None:
            return timestamp(now) + QLatin1String("RECV NONE: no records in this range");
        case ReplyOutcome::Stopped:
        case ReplyOutcome::Lost:
            return timestamp(now) + QLatin1String("RECV STOPPED ") + count +
                   QLatin1String(" records: the download did not finish");
        case ReplyOutcome::Done:
            break;
    }
    QString line = timestamp(now) + QLatin1String("RECV DONE ") + count + QLatin1String(" records");
    if (framesDiscarded > 0) {
        line += QLatin1String(", ") + QString::number(framesDiscarded) +
                QLatin1String(framesDiscarded == 1 ? " frame discarded" : " frames discarded");
    }
    return line;
}

QString ignoredLine(const QDateTime& now, int recordCount) {
    return timestamp(now) + QLatin1String("IGNORED ") + QString::number(recordCount) +
           QLatin1String(" records: they came after the download was stopped");
}

QString savedLine(const QDateTime& now, int recordCount, const QString& path, bool complete) {
    QString line = timestamp(now) + QLatin1String("SAVED ") + QString::number(recordCount) +
                   QLatin1String(" records to ") + path;
    if (!complete) {
        line += QLatin1String(" (the download did not finish)");
    }
    return line;
}

QString waitingText(int seconds) {
    return QStringLiteral("WAITING FOR THE DETECTOR: %1 s").arg(seconds);
}

QString receivingText(int recordCount, int percent) {
    return QStringLiteral("RECEIVING: %1 records, %2 % of the range").arg(recordCount).arg(percent);
}

QString incompleteText(int recordCount) {
    return QStringLiteral("INCOMPLETE: %1 records, the download did not finish").arg(recordCount);
}

QStringList frameLines(const QDateTime& now, const RecordStore& store, int first, int count,
                       int unitIndex) {
    QStringList lines;
    lines.reserve(count + 1);
    lines.append(recvHeaderLine(now, count));
    for (int i = first; i < first + count; ++i) {
        lines.append(recordLine(store[static_cast<std::size_t>(i)], unitIndex));
    }
    return lines;
}

QStringList handleReplyFrame(const unsigned char* frame, int length, int unitIndex,
                             const QDateTime& now, RecordStore& store) {
    if (length < kShortestReplyFrame) {
        return QStringList();
    }
    const int first = static_cast<int>(store.size());
    const int count = decodeRecords(frame, length, store);
    return frameLines(now, store, first, count, unitIndex);
}
