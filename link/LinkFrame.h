#pragma once

// Frame layout of the serial link to the detector, used in both directions:
//
//   0x0A 0x0B | command | payload length N (16 bit, big-endian) | N payload bytes
//   | checksum (low 8 bits of the sum of every byte before it) | 0xA3 0xB3
//
// A frame is N + 8 bytes long: a 5-byte head and a 3-byte tail around the payload.

#include <QByteArray>
#include <QDateTime>

constexpr unsigned char kFrameHeader0 = 0x0A;
constexpr unsigned char kFrameHeader1 = 0x0B;
constexpr unsigned char kFrameTrailer0 = 0xA3;
constexpr unsigned char kFrameTrailer1 = 0xB3;

constexpr unsigned char kCommandQuery = 0x0B;
constexpr unsigned char kCommandIdentify = 0x0C;

constexpr int kFrameHeadLength = 5;
constexpr int kFrameTailLength = 3;
constexpr int kFrameOverhead = kFrameHeadLength + kFrameTailLength;
constexpr int kMaxPayloadLength = 65535;
constexpr int kLargestFrameLength = kMaxPayloadLength + kFrameOverhead;

constexpr int kEncodedDateTimeLength = 6;
constexpr int kQueryFrameLength = kFrameOverhead + 2 * kEncodedDateTimeLength;
constexpr int kIdentifyAnswerCheckLength = 9;

// Low 8 bits of the sum of `count` bytes taken as unsigned values.
unsigned char frameChecksum(const unsigned char* bytes, int count);

// Payload length announced by the head of a frame (bytes 3 and 4, big-endian).
int framePayloadLength(const unsigned char* frame);

// A complete frame around `payload`; empty when the payload is longer than 65535 bytes,
// which the 16-bit length field cannot announce.
QByteArray buildFrame(unsigned char command, const QByteArray& payload);

// The identify command: 0a 0b 0c 00 01 00 22 a3 b3.
QByteArray identifyCommand();

// True when the first nine bytes of `answer` are those of the detector's identify
// answer: 0a 0b 0c 00 09 followed by "Q781". Later bytes are not examined.
bool isIdentifyAnswer(const QByteArray& answer);

// The first and the last time a query frame can carry: the year travels as year - 2000
// in one byte.
const QDateTime kFirstQueryTime(QDate(2000, 1, 1), QTime(0, 0, 0));
const QDateTime kLastQueryTime(QDate(2255, 12, 31), QTime(23, 59, 59));

// Writes year - 2000 (low 8 bits), month, day, hour, minute and second of the local
// date-time as shown, without any time-zone conversion.
void encodeDateTime(const QDateTime& dateTime, unsigned char out[kEncodedDateTimeLength]);

// The 20-byte query for the records stored between `start` and `end`.
QByteArray queryFrame(const QDateTime& start, const QDateTime& end);

// The frame as printed on standard output: "%02x " per byte, then "\n".
QByteArray frameHexText(const QByteArray& frame);
