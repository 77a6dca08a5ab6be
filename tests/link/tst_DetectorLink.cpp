// The protocol library against the stand-in detector on a pseudo-terminal, through
// QSerialPort as the panel uses it. Only the simulator's own terminal is opened.

#include <QElapsedTimer>
#include <QSerialPort>
#include <QTimer>
#include <QtTest>

#include "LinkTestSupport.h"

#include "link/FrameReader.h"
#include "link/LinkFrame.h"
#include "link/RecordLog.h"

namespace {

constexpr int kQuietMs = 200;

bool openPort(QSerialPort& port, const QString& path) {
    port.setPortName(path);
    if (!port.open(QIODevice::ReadWrite)) {
        return false;
    }
    port.setBaudRate(QSerialPort::Baud115200, QSerialPort::AllDirections);
    port.setParity(QSerialPort::NoParity);
    port.setDataBits(QSerialPort::Data8);
    port.setStopBits(QSerialPort::OneStop);
    port.setFlowControl(QSerialPort::NoFlowControl);
    return true;
}

// The receive path as the panel wires it: every ready-read goes through the frame
// reader, a 200 ms quiet timer flushes incomplete frames, reply frames are decoded.
class Receiver {
public:
    explicit Receiver(QSerialPort& port) : port_(port) {
        quiet_.setSingleShot(true);
        quiet_.setInterval(kQuietMs);
        QObject::connect(&quiet_, &QTimer::timeout, [this] { reader_.lineQuiet(); });
        QObject::connect(&port_, &QSerialPort::readyRead, [this] {
            reader_.receive(port_.readAll());
            quiet_.start();
        });
        QObject::connect(&port_, &QSerialPort::errorOccurred,
                         [this](QSerialPort::SerialPortError e) {
                             if (e == QSerialPort::ReadError || e == QSerialPort::ResourceError) {
                                 lineLost_ = true;
                                 port_.close();
                             }
                         });
        reader_.setFrameHandler([this](const unsigned char* frame, int length) {
            frames_.append(QByteArray(reinterpret_cast<const char*>(frame), length));
            if (frame[2] == kCommandQuery) {
                headerLines_ +=
                    handleReplyFrame(frame, length, 0, QDateTime::currentDateTime(), store_)
                        .size() > 0;
            }
        });
        reader_.setDiscardHandler([this](int count, DiscardReason reason) {
            discards_.append(discardLine(QDateTime::currentDateTime(), count, reason));
        });
    }

    // Processes events until nothing has arrived for `idleMs` (at most `limitMs`).
    void waitUntilIdle(int idleMs, int limitMs) {
        QElapsedTimer total;
        total.start();
        QElapsedTimer idle;
        idle.start();
        int seen = -1;
        while (total.elapsed() < limitMs && idle.elapsed() < idleMs) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            QTest::qWait(10);
            const int now = frames_.size() + discards_.size() + reader_.buffer().count();
            if (now != seen) {
                seen = now;
                idle.restart();
            }
        }
    }

    QList<QByteArray> frames_;
    QStringList discards_;
    RecordStore store_;
    int headerLines_ = 0;
    bool lineLost_ = false;

private:
    QSerialPort& port_;
    FrameReader reader_;
    QTimer quiet_;
};

void compareRecords(const RecordStore& store, const QList<CsvRecord>& expected) {
    QCOMPARE(int(store.size()), expected.size());
    for (int i = 0; i < expected.size(); ++i) {
        QCOMPARE(QString::fromLatin1(store[std::size_t(i)].timeText), expected[i].timeText);
        QCOMPARE(store[std::size_t(i)].value, expected[i].value);
    }
}

QDateTime at(const QString& text) {
    return QDateTime::fromString(text, "yyyy-MM-dd hh:mm:ss");
}

}  // namespace

class TestDetectorLink : public QObject {
    Q_OBJECT

private slots:
    void identification_data();
    void identification();
    void queryAnsweredWithTheRecordsInRange_data();
    void queryAnsweredWithTheRecordsInRange();
    void unpluggedAdapter();
};

void TestDetectorLink::identification_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("detector") << QStringList{} << true;
    QTest::newRow("detector, in pieces")
        << QStringList{"--pieces", "2", "--max-delay-ms", "1"} << true;
    QTest::newRow("other model") << QStringList{"--identify", "Q782 1.00"} << false;
    QTest::newRow("short identity") << QStringList{"--identify", "Q781"} << false;
    QTest::newRow("silent") << QStringList{"--silent"} << false;
}

void TestDetectorLink::identification() {
    QFETCH(QStringList, arguments);
    QFETCH(bool, accepted);

    DetectorSimulator sim;
    QVERIFY(sim.start(arguments));
    QSerialPort port;
    QVERIFY(openPort(port, sim.devicePath()));
    port.write(identifyCommand());
    QByteArray answer;
    QElapsedTimer waited;
    waited.start();
    while (answer.size() < kIdentifyAnswerCheckLength && waited.elapsed() < 1000) {
        if (port.waitForReadyRead(100)) {
            answer += port.readAll();
        }
    }
    QCOMPARE(isIdentifyAnswer(answer), accepted);
    if (accepted) {
        // The whole answer is a valid frame as well, checksum and trailer included.
        while (answer.size() < 17 && port.waitForReadyRead(500)) {
            answer += port.readAll();
        }
        int frames = 0;
        FrameReader reader;
        reader.setFrameHandler(
            [&frames](const unsigned char*, int length) { frames += length == 17 ? 1 : 100; });
        reader.receive(answer);
        QCOMPARE(frames, 1);
    }
    if (arguments.contains("--silent")) {
        QVERIFY(answer.isEmpty());
    }
    port.close();
    QVERIFY(sim.stop());
}

void TestDetectorLink::queryAnsweredWithTheRecordsInRange_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("firstIndex");
    QTest::addColumn<int>("lastIndex");
    QTest::addColumn<QStringList>("discardReasons");

    QTest::newRow("part of the records") << QStringList{} << 120 << 870 << QStringList{};
    QTest::newRow("nothing in range") << QStringList{} << -1 << -1 << QStringList{};
    QTest::newRow("largest frames")
        << QStringList{"--records", "14000", "--per-frame", "6553"} << 0 << 13999 << QStringList{};
    QTest::newRow("small pieces, short pauses")
        << QStringList{"--records", "300", "--per-frame",    "25",
                       "--pieces",  "17",  "--max-delay-ms", "1"}
        << 3 << 290 << QStringList{};
    QTest::newRow("faults") << QStringList{"--records",      "200", "--per-frame",    "20",
                                           "--stray",        "0",   "--bad-checksum", "1",
                                           "--bad-trailer",  "2",   "--bad-length",   "3",
                                           "--stray",        "4",   "--bad-checksum", "4",
                                           "--bad-length",   "9",   "--pieces",       "40",
                                           "--max-delay-ms", "1"}
                            << 0 << 199
                            << QStringList{"no header",   "bad checksum",
                                           "bad trailer", "incomplete frame|bad trailer",
                                           "no header",   "incomplete frame"};
}

void TestDetectorLink::queryAnsweredWithTheRecordsInRange() {
    QFETCH(QStringList, arguments);
    QFETCH(int, firstIndex);
    QFETCH(int, lastIndex);
    QFETCH(QStringList, discardReasons);

    DetectorSimulator sim;
    QVERIFY(sim.start(arguments));
    const QList<CsvRecord> all = sim.records();
    QVERIFY(!all.isEmpty());
    // Bounds taken from records themselves check that both ends are included; the
    // empty row asks for a range before the first record.
    const QString from = firstIndex < 0 ? "2023-01-01 00:00:00" : all[firstIndex].timeText;
    const QString to = lastIndex < 0 ? "2023-12-31 23:59:59" : all[lastIndex].timeText;
    const QList<CsvRecord> expected = recordsBetween(all, from, to);

    QSerialPort port;
    QVERIFY(openPort(port, sim.devicePath()));
    Receiver receiver(port);
    port.write(queryFrame(at(from), at(to)));
    receiver.waitUntilIdle(3 * kQuietMs, 60000);

    compareRecords(receiver.store_, expected);
    QCOMPARE(receiver.discards_.size(), discardReasons.size());
    for (int i = 0; i < discardReasons.size(); ++i) {
        QVERIFY2(QRegularExpression("DISCARDED \\d+ bytes? \\((" + discardReasons[i] + ")\\)$")
                     .match(receiver.discards_[i])
                     .hasMatch(),
                 qPrintable(receiver.discards_[i]));
    }
    port.close();
    QVERIFY(sim.stop());
}

void TestDetectorLink::unpluggedAdapter() {
    DetectorSimulator sim;
    QVERIFY(sim.start({"--records", "100", "--per-frame", "10", "--hangup-after", "3"}));
    const QList<CsvRecord> all = sim.records();
    QSerialPort port;
    QVERIFY(openPort(port, sim.devicePath()));
    Receiver receiver(port);
    port.write(queryFrame(at(all.first().timeText), at(all.last().timeText)));
    receiver.waitUntilIdle(3 * kQuietMs, 10000);

    QCOMPARE(receiver.frames_.size(), 3);
    compareRecords(receiver.store_, all.mid(0, 30));
    QTRY_VERIFY_WITH_TIMEOUT(receiver.lineLost_, 5000);
    QVERIFY(!port.isOpen());
    QVERIFY(sim.stop());
}

QTEST_GUILESS_MAIN(TestDetectorLink)
#include "tst_DetectorLink.moc"
