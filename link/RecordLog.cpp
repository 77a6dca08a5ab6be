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

QString replyEndLine(const QDateTime& now, int recordCount) {
    if (recordCount == 0) {
        return timestamp(now) + QLatin1String("RECV NONE: no records in this range");
    }
    return timestamp(now) + QLatin1String("RECV DONE ") + QString::number(recordCount) +
           QLatin1String(" records");
}

QString savedLine(const QDateTime& now, int recordCount, const QString& path) {
    return timestamp(now) + QLatin1String("SAVED ") + QString::number(recordCount) +
           QLatin1String(" records to ") + path;
}

QStringList handleReplyFrame(const unsigned char* frame, int length, int unitIndex,
                             const QDateTime& now, RecordStore& store) {
    QStringList lines;
    if (length < 9) {
        return lines;
    }
    const std::size_t first = store.size();
    const int count = decodeRecords(frame, length, store);
    lines.reserve(count + 1);
    lines.append(recvHeaderLine(now, count));
    for (std::size_t i = first; i < store.size(); ++i) {
        lines.append(recordLine(store[i], unitIndex));
    }
    return lines;
}
