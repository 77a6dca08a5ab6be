#include <QtTest>

#include "link/LinkFrame.h"
#include "link/RecordDecoder.h"
#include "link/RecordLog.h"
#include "link/Units.h"
#include "tests/ValueTextCases.h"

namespace {

const QDateTime kNow(QDate(2024, 5, 6), QTime(10, 11, 12));

const unsigned char* bytes(const QByteArray& data) {
    return reinterpret_cast<const unsigned char*>(data.constData());
}

}  // namespace

class TestRecordLog : public QObject {
    Q_OBJECT

private slots:
    void decodeRecord_data();
    void decodeRecord();
    void recordCount_data();
    void recordCount();
    void formatValue_data();
    void formatValue();
    void valueTextFollowsQtNumbers();
    void replyFrameLines();
    void framesAddUpInTheStore();
    void shortFrameLeavesNoTrace();
    void discardLine();
    void replyEndLine_data();
    void replyEndLine();
};

void TestRecordLog::decodeRecord_data() {
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<QString>("timeText");
    QTest::addColumn<int>("value");

    QTest::newRow("2024") << QByteArray::fromHex("180102030405000000fa") << "2024-01-02 03:04:05"
                          << 250;
    QTest::newRow("minus one") << QByteArray::fromHex("180102030405ffffffff")
                               << "2024-01-02 03:04:05" << -1;
    QTest::newRow("most negative") << QByteArray::fromHex("0001010000008000000000")
                                   << "2000-01-01 00:00:00" << int(0x80000000u);
    QTest::newRow("big-endian order")
        << QByteArray::fromHex("630c1f173b3b01020304") << "2099-12-31 23:59:59" << 0x01020304;
    QTest::newRow("unchecked fields")
        << QByteArray::fromHex("ff0d20636465 7fffffff") << "2255-13-32 99:100:101" << 0x7fffffff;
}

void TestRecordLog::decodeRecord() {
    QFETCH(QByteArray, record);
    QFETCH(QString, timeText);
    QFETCH(int, value);
    const DetectorRecord decoded = ::decodeRecord(bytes(record));
    QCOMPARE(QString::fromLatin1(decoded.timeText), timeText);
    QCOMPARE(decoded.value, value);
    for (int i = timeText.size(); i < int(sizeof decoded.timeText); ++i) {
        QCOMPARE(decoded.timeText[i], '\0');
    }
}

void TestRecordLog::recordCount_data() {
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<int>("count");

    QTest::newRow("payload 25") << buildFrame(kCommandQuery, QByteArray(25, '\x01')) << 2;
    QTest::newRow("payload 9 (identify answer)") << buildFrame(kCommandIdentify, "Q781 1.00") << 0;
    QTest::newRow("payload 0") << buildFrame(kCommandQuery, QByteArray()) << 0;
    QTest::newRow("payload 65535") << buildFrame(kCommandQuery, QByteArray(65535, '\x01')) << 6553;
    // A frame cut short keeps only the records that lie inside it.
    QTest::newRow("announces 3, holds 1")
        << QByteArray::fromHex("0a0b0b001e") + QByteArray(14, '\x01') << 1;
}

void TestRecordLog::recordCount() {
    QFETCH(QByteArray, frame);
    QFETCH(int, count);
    QCOMPARE(replyRecordCount(bytes(frame), frame.size()), count);
}

void TestRecordLog::formatValue_data() {
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("unitIndex");
    QTest::addColumn<QString>("text");

    QTest::newRow("250 ppm") << 250 << 0 << "00250  PPM.M";
    QTest::newRow("250 lel") << 250 << 1 << "0.5  %LEL.M";
    QTest::newRow("250 vol") << 250 << 2 << "0.025  %VOL.M";
    QTest::newRow("500 vol keeps three decimals") << 500 << 2 << "0.050  %VOL.M";
    QTest::newRow("123456 ppm is not cut") << 123456 << 0 << "123456  PPM.M";
    QTest::newRow("0 ppm") << 0 << 0 << "00000  PPM.M";
    QTest::newRow("-1 ppm") << -1 << 0 << "-0001  PPM.M";
    QTest::newRow("-12345 ppm") << -12345 << 0 << "-12345  PPM.M";
    QTest::newRow("most negative ppm") << int(0x80000000u) << 0 << "-2147483648  PPM.M";
    QTest::newRow("-1 lel") << -1 << 1 << "-0.0  %LEL.M";
    QTest::newRow("-250 lel") << -250 << 1 << "-0.5  %LEL.M";
    QTest::newRow("-5 vol") << -5 << 2 << "-0.001  %VOL.M";
    for (const ValueTextCase& c : kValueTextCases) {
        QTest::addRow("%d in unit %d", c.value, c.unitIndex)
            << c.value << c.unitIndex << QString::fromLatin1(c.text) + "  " + unitText(c.unitIndex);
    }
    QTest::newRow("unknown unit shows ppm") << 7 << 3 << "00007  PPM.M";
    QTest::newRow("negative unit index shows ppm") << 7 << -1 << "00007  PPM.M";
}

void TestRecordLog::formatValue() {
    QFETCH(int, value);
    QFETCH(int, unitIndex);
    QFETCH(QString, text);
    QCOMPARE(::formatValue(value, unitIndex), text);
}

// The value text rounds as Qt's number formatting does, near zero and far beyond.
void TestRecordLog::valueTextFollowsQtNumbers() {
    for (qint64 value = -2000000; value <= 2000000;
         value += (value > -20000 && value < 20000) ? 1 : 97) {
        const int v = static_cast<int>(value);
        QCOMPARE(QString::fromStdString(valueText(v, 1)), QString::number(v / 500.0, 'f', 1));
        QCOMPARE(QString::fromStdString(valueText(v, 2)), QString::number(v / 10000.0, 'f', 3));
    }
}

void TestRecordLog::replyFrameLines() {
    const QByteArray frame = buildFrame(
        kCommandQuery, QByteArray::fromHex("180102030405 0000007b 18011f173b3b ffffffff"));
    RecordStore store;
    const QStringList lines = handleReplyFrame(bytes(frame), frame.size(), 0, kNow, store);
    QCOMPARE(lines, (QStringList{">> [2024-05-06 10:11:12] RECV 2 alarm records",
                                 ">> 2024-01-02 03:04:05    00123  PPM.M",
                                 ">> 2024-01-31 23:59:59    -0001  PPM.M"}));
    QCOMPARE(store.size(), std::size_t(2));
    QCOMPARE(store[1].value, -1);
}

void TestRecordLog::framesAddUpInTheStore() {
    const QByteArray first = buildFrame(kCommandQuery, QByteArray::fromHex("180102030405000000fa"));
    const QByteArray second =
        buildFrame(kCommandQuery, QByteArray::fromHex("180102030406000001f4 180102030407000001f5"));
    RecordStore store;
    const QStringList a = handleReplyFrame(bytes(first), first.size(), 1, kNow, store);
    const QStringList b = handleReplyFrame(bytes(second), second.size(), 2, kNow, store);
    QCOMPARE(a.last(), QString(">> 2024-01-02 03:04:05    0.5  %LEL.M"));
    QCOMPARE(b.first(), QString(">> [2024-05-06 10:11:12] RECV 2 alarm records"));
    QCOMPARE(b.last(), QString(">> 2024-01-02 03:04:07    0.050  %VOL.M"));
    QCOMPARE(store.size(), std::size_t(3));
    QCOMPARE(QString::fromLatin1(store[1].timeText), QString("2024-01-02 03:04:06"));
    QCOMPARE(store[2].value, 501);
}

void TestRecordLog::shortFrameLeavesNoTrace() {
    RecordStore store;
    const QByteArray empty = buildFrame(kCommandQuery, QByteArray());
    QVERIFY(handleReplyFrame(bytes(empty), empty.size(), 0, kNow, store).isEmpty());
    const QByteArray answer = buildFrame(kCommandIdentify, "Q781 1.00");
    QCOMPARE(handleReplyFrame(bytes(answer), answer.size(), 0, kNow, store),
             QStringList{">> [2024-05-06 10:11:12] RECV 0 alarm records"});
    QVERIFY(store.empty());
}

void TestRecordLog::discardLine() {
    QCOMPARE(::discardLine(kNow, 7, DiscardReason::BadChecksum),
             QString(">> [2024-05-06 10:11:12] DISCARDED 7 bytes (bad checksum)"));
    QCOMPARE(::discardLine(kNow, 1, DiscardReason::NoHeader),
             QString(">> [2024-05-06 10:11:12] DISCARDED 1 byte (no header)"));
}

void TestRecordLog::replyEndLine_data() {
    QTest::addColumn<ReplyOutcome>("outcome");
    QTest::addColumn<int>("records");
    QTest::addColumn<int>("frames");
    QTest::addColumn<QString>("line");

    QTest::newRow("done") << ReplyOutcome::Done << 500 << 0 << "RECV DONE 500 records";
    QTest::newRow("done, one frame rejected")
        << ReplyOutcome::Done << 500 << 1 << "RECV DONE 500 records, 1 frame discarded";
    QTest::newRow("nothing but rejected frames")
        << ReplyOutcome::Done << 0 << 3 << "RECV DONE 0 records, 3 frames discarded";
    QTest::newRow("none") << ReplyOutcome::None << 0 << 0 << "RECV NONE: no records in this range";
    QTest::newRow("stopped") << ReplyOutcome::Stopped << 5500 << 2
                             << "RECV STOPPED 5500 records: the download did not finish";
    QTest::newRow("lost") << ReplyOutcome::Lost << 0 << 0
                          << "RECV STOPPED 0 records: the download did not finish";
}

void TestRecordLog::replyEndLine() {
    QFETCH(ReplyOutcome, outcome);
    QFETCH(int, records);
    QFETCH(int, frames);
    QFETCH(QString, line);
    QCOMPARE(::replyEndLine(kNow, outcome, records, frames), ">> [2024-05-06 10:11:12] " + line);
}

QTEST_APPLESS_MAIN(TestRecordLog)
#include "tst_RecordLog.moc"
