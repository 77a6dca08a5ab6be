#include "link/LinkFrame.h"

#include <algorithm>

#include <QDate>
#include <QTime>

unsigned char frameChecksum(const unsigned char* bytes, int count) {
    unsigned int sum = 0;
    for (int i = 0; i < count; ++i) {
        sum += bytes[i];
    }
    return static_cast<unsigned char>(sum & 0xFFu);
}

int framePayloadLength(const unsigned char* frame) {
    return frame[3] * 256 + frame[4];
}

QByteArray buildFrame(unsigned char command, const QByteArray& payload) {
    if (payload.size() > kMaxPayloadLength) {
        return QByteArray();
    }
    const int n = payload.size();
    QByteArray frame(n + kFrameOverhead, '\0');
    auto* bytes = reinterpret_cast<unsigned char*>(frame.data());
    bytes[0] = kFrameHeader0;
    bytes[1] = kFrameHeader1;
    bytes[2] = command;
    bytes[3] = static_cast<unsigned char>(n >> 8);
    bytes[4] = static_cast<unsigned char>(n & 0xFF);
    std::copy(payload.cbegin(), payload.cend(), frame.begin() + kFrameHeadLength);
    bytes[5 + n] = frameChecksum(bytes, kFrameHeadLength + n);
    bytes[6 + n] = kFrameTrailer0;
    bytes[7 + n] = kFrameTrailer1;
    return frame;
}

QByteArray identifyCommand() {
    return buildFrame(kCommandIdentify, QByteArray(1, '\0'));
}

bool isIdentifyAnswer(const QByteArray& answer) {
    static const QByteArray expected("\x0a\x0b\x0c\x00\x09Q781", kIdentifyAnswerCheckLength);
    return answer.startsWith(expected);
}

void encodeDateTime(const QDateTime& dateTime, unsigned char out[kEncodedDateTimeLength]) {
    const QDate date = dateTime.date();
    const QTime time = dateTime.time();
    out[0] = static_cast<unsigned char>((date.year() - 2000) & 0xFF);
    out[1] = static_cast<unsigned char>(date.month());
    out[2] = static_cast<unsigned char>(date.day());
    out[3] = static_cast<unsigned char>(time.hour());
    out[4] = static_cast<unsigned char>(time.minute());
    out[5] = static_cast<unsigned char>(time.second());
}

QByteArray queryFrame(const QDateTime& start, const QDateTime& end) {
    unsigned char range[2 * kEncodedDateTimeLength];
    encodeDateTime(start, range);
    encodeDateTime(end, range + kEncodedDateTimeLength);
    return buildFrame(kCommandQuery,
                      QByteArray(reinterpret_cast<const char*>(range), sizeof range));
}

QByteArray frameHexText(const QByteArray& frame) {
    static const char digits[] = "0123456789abcdef";
    QByteArray text;
    text.reserve(frame.size() * 3 + 1);
    for (const char c : frame) {
        const auto byte = static_cast<unsigned char>(c);
        text.append(digits[byte >> 4]).append(digits[byte & 0x0F]).append(' ');
    }
    text.append('\n');
    return text;
}
