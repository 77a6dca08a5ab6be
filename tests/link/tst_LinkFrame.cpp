#include <QtTest>

#include "link/LinkFrame.h"

namespace {

QByteArray hex(const char* text) {
    return QByteArray::fromHex(text);
}

}  // namespace

class TestLinkFrame : public QObject {
    Q_OBJECT

private slots:
    void buildFrame_data();
    void buildFrame();
    void oversizedPayloadCannotBeFramed();
    void queryFrame_data();
    void queryFrame();
    void encodeDateTime_data();
    void encodeDateTime();
    void identifyAnswer_data();
    void identifyAnswer();
    void hexText();
};

void TestLinkFrame::buildFrame_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QByteArray>("frame");

    QTest::newRow("identify command")
        << int(kCommandIdentify) << hex("00") << hex("0a0b0c000100 22 a3b3");
    QTest::newRow("empty payload") << 0x0B << QByteArray() << hex("0a0b0b0000 20 a3b3");
    // 0x0a + 0x0b + 0x0b + 0x00 + 0x03 + 3 * 0xff = 0x320: only the low byte counts.
    QTest::newRow("checksum wraps") << 0x0B << hex("ffffff") << hex("0a0b0b0003ffffff 20 a3b3");
    QTest::newRow("length high byte")
        << 0x01 << QByteArray(256, '\x01')
        << hex("0a0b010100") + QByteArray(256, '\x01') + hex("17a3b3");
}

void TestLinkFrame::buildFrame() {
    QFETCH(int, command);
    QFETCH(QByteArray, payload);
    QFETCH(QByteArray, frame);
    QCOMPARE(::buildFrame(static_cast<unsigned char>(command), payload).toHex(), frame.toHex());
}

void TestLinkFrame::oversizedPayloadCannotBeFramed() {
    QCOMPARE(::buildFrame(kCommandQuery, QByteArray(kMaxPayloadLength, 'x')).size(),
             kLargestFrameLength);
    QVERIFY(::buildFrame(kCommandQuery, QByteArray(kMaxPayloadLength + 1, 'x')).isEmpty());
}

void TestLinkFrame::queryFrame_data() {
    QTest::addColumn<QDateTime>("start");
    QTest::addColumn<QDateTime>("end");
    QTest::addColumn<QByteArray>("frame");

    QTest::newRow("january 2024") << QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5))
                                  << QDateTime(QDate(2024, 1, 31), QTime(23, 59, 59))
                                  << hex("0a0b0b000c 180102030405 18011f173b3b 18 a3b3");
    QTest::newRow("end before start is sent unchanged")
        << QDateTime(QDate(2030, 12, 31), QTime(0, 0, 0))
        << QDateTime(QDate(2000, 1, 1), QTime(0, 0, 0))
        << hex("0a0b0b000c 1e0c1f000000 000101000000 77 a3b3");
}

void TestLinkFrame::queryFrame() {
    QFETCH(QDateTime, start);
    QFETCH(QDateTime, end);
    QFETCH(QByteArray, frame);
    const QByteArray built = ::queryFrame(start, end);
    QCOMPARE(built.size(), kQueryFrameLength);
    QCOMPARE(built.toHex(), frame.toHex());
}

void TestLinkFrame::encodeDateTime_data() {
    QTest::addColumn<QDateTime>("dateTime");
    QTest::addColumn<QByteArray>("encoded");

    QTest::newRow("2024") << QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5)) << hex("180102030405");
    QTest::newRow("last second of a year")
        << QDateTime(QDate(2099, 12, 31), QTime(23, 59, 59)) << hex("630c1f173b3b");
    QTest::newRow("2255 is the last year that fits")
        << QDateTime(QDate(2255, 6, 1), QTime(12, 0, 0)) << hex("ff06010c0000");
    QTest::newRow("2256 wraps to 0")
        << QDateTime(QDate(2256, 6, 1), QTime(12, 0, 0)) << hex("0006010c0000");
    QTest::newRow("1999 wraps to 255")
        << QDateTime(QDate(1999, 6, 1), QTime(12, 0, 0)) << hex("ff06010c0000");
    QTest::newRow("UTC value is not converted")
        << QDateTime(QDate(2024, 5, 6), QTime(10, 11, 12), Qt::UTC) << hex("1805060a0b0c");
}

void TestLinkFrame::encodeDateTime() {
    QFETCH(QDateTime, dateTime);
    QFETCH(QByteArray, encoded);
    unsigned char out[kEncodedDateTimeLength + 1];
    out[kEncodedDateTimeLength] = 0x5A;
    ::encodeDateTime(dateTime, out);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(out), kEncodedDateTimeLength).toHex(),
             encoded.toHex());
    QCOMPARE(out[kEncodedDateTimeLength], 0x5A);
}

void TestLinkFrame::identifyAnswer_data() {
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<bool>("accepted");

    const QByteArray answer = ::buildFrame(kCommandIdentify, "Q781 1.00");
    QTest::newRow("detector") << answer << true;
    QTest::newRow("first nine bytes are enough") << answer.left(9) << true;
    QTest::newRow("checksum and trailer are not examined") << answer.left(12) + "xyz" << true;
    QTest::newRow("followed by more bytes") << answer + "\x0a\x0b" << true;
    QTest::newRow("eight bytes") << answer.left(8) << false;
    QTest::newRow("empty") << QByteArray() << false;
    QTest::newRow("payload length 4") << ::buildFrame(kCommandIdentify, "Q781") << false;
    QTest::newRow("other model") << ::buildFrame(kCommandIdentify, "Q782 1.00") << false;
    QTest::newRow("query command code") << ::buildFrame(kCommandQuery, "Q781 1.00") << false;
    QTest::newRow("echo of the identify command") << identifyCommand() << false;
}

void TestLinkFrame::identifyAnswer() {
    QFETCH(QByteArray, answer);
    QFETCH(bool, accepted);
    QCOMPARE(isIdentifyAnswer(answer), accepted);
}

void TestLinkFrame::hexText() {
    const QDateTime start(QDate(2024, 1, 2), QTime(3, 4, 5));
    const QDateTime end(QDate(2024, 1, 31), QTime(23, 59, 59));
    QCOMPARE(frameHexText(::queryFrame(start, end)),
             QByteArray("0a 0b 0b 00 0c 18 01 02 03 04 05 18 01 1f 17 3b 3b 18 a3 b3 \n"));
    QCOMPARE(frameHexText(identifyCommand()), QByteArray("0a 0b 0c 00 01 00 22 a3 b3 \n"));
}

QTEST_APPLESS_MAIN(TestLinkFrame)
#include "tst_LinkFrame.moc"
