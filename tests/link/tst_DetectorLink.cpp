// The protocol library and the link object against the stand-in detector and test peers
// on pseudo-terminals, without a window. Only pseudo-terminals are opened.

#include <QElapsedTimer>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include "LinkTestSupport.h"

#include "link/DetectorLink.h"
#include "link/FrameReader.h"
#include "link/LinkFrame.h"
#include "link/PortSearch.h"
#include "link/RecordLog.h"

namespace {

constexpr int kQuietMs = 200;

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
    void searchTakesTheFirstPortThatAnswers();
    void busyFromQueryToTheEndOfTheReply();
    void portThatAppearsIsSearchedByItself();
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
    QVERIFY(openConfigured(port, sim.devicePath()));
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
    QVERIFY(openConfigured(port, sim.devicePath()));
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
    QVERIFY(openConfigured(port, sim.devicePath()));
    Receiver receiver(port);
    port.write(queryFrame(at(all.first().timeText), at(all.last().timeText)));
    receiver.waitUntilIdle(3 * kQuietMs, 10000);

    QCOMPARE(receiver.frames_.size(), 3);
    compareRecords(receiver.store_, all.mid(0, 30));
    QTRY_VERIFY_WITH_TIMEOUT(receiver.lineLost_, 5000);
    QVERIFY(!port.isOpen());
    QVERIFY(sim.stop());
}

// Every port is asked at once; the result is the one-at-a-time search's: the first port
// in list order whose bytes hold the answer, found among other bytes, while an answer
// left waiting from before the search does not count.
void TestDetectorLink::searchTakesTheFirstPortThatAnswers() {
    PtyPeer silent, stale, held, other, chatty;
    DetectorSimulator detector;
    QVERIFY(detector.start({}));
    QVERIFY(stale.write(detectorIdentifyAnswer()));
    QSerialPort holder;
    QVERIFY(openConfigured(holder, held.devicePath()));
    other.answerIdentify({buildFrame(kCommandIdentify, "Q782 1.00")}, 0);
    chatty.answerIdentify({QByteArray::fromHex("0a0b0b00"), detectorIdentifyAnswer()}, 50);
    const QStringList ports = {silent.devicePath(), stale.devicePath(),  held.devicePath(),
                               other.devicePath(),  chatty.devicePath(), detector.devicePath()};
    qputenv("VENTRIX_SYSTEM_PORTS", "");
    qputenv("VENTRIX_EXTRA_PORTS", ports.join(':').toLocal8Bit());

    DetectorLink link;
    StdoutCapture out;
    const SearchResult result = link.findDevice();
    const QByteArray printed = out.finish();

    QCOMPARE(result.foundPort, ports[4]);
    QVERIFY(link.isOpen());
    QCOMPARE(printed, QString("device %1\ndevice %2\ndevice %3\ndevice can not open\ndevice "
                              "%4\ndevice %5\nfind device %5\n")
                          .arg(ports[0], ports[1], ports[2], ports[3], ports[4])
                          .toUtf8());
    QCOMPARE(result.failureLines(),
             QStringList({ports[0] + ": no answer", ports[1] + ": no answer",
                          ports[2] + ": cannot open: in use by another program",
                          ports[3] + ": a different device answered"}));
    other.join();
    chatty.join();
}

void TestDetectorLink::busyFromQueryToTheEndOfTheReply() {
    DetectorSimulator sim;
    QVERIFY(sim.start({"--records", "40", "--per-frame", "10", "--max-delay-ms", "100"}));
    const QList<CsvRecord> all = sim.records();
    qputenv("VENTRIX_SYSTEM_PORTS", "");
    qputenv("VENTRIX_EXTRA_PORTS", sim.devicePath().toLocal8Bit());
    DetectorLink link;
    QVERIFY(link.findDevice().found());
    QSignalSpy busy(&link, &DetectorLink::busyChanged);
    QSignalSpy progress(&link, &DetectorLink::progress);
    QSignalSpy lines(&link, &DetectorLink::logLines);

    QCOMPARE(link.sendQuery(at(all.first().timeText), at(all.last().timeText)),
             DetectorLink::QueryResult::Sent);
    QVERIFY(link.isBusy());
    QTRY_VERIFY_WITH_TIMEOUT(!link.isBusy(), 10000);
    QCOMPARE(busy.size(), 2);
    QCOMPARE(progress.last(), (QList<QVariant>{40, 100}));
    QVERIFY(lines.last().first().toStringList().last().endsWith("] RECV DONE 40 records"));

    link.sendQuery(at("2001-01-01 00:00:00"), at("2001-01-02 00:00:00"));
    QTRY_VERIFY_WITH_TIMEOUT(!link.isBusy(), 10000);
    QVERIFY(lines.last().first().toStringList().last().endsWith(
        "] RECV NONE: no records in this range"));
}

// The detector's path does not exist at the first search; once it appears, the link
// finds it by itself. Closed by the operator, the link stops looking.
void TestDetectorLink::portThatAppearsIsSearchedByItself() {
    QTemporaryDir dir;
    const QString path = dir.filePath("ttyDetector");
    qputenv("VENTRIX_SYSTEM_PORTS", "");
    qputenv("VENTRIX_EXTRA_PORTS", path.toLocal8Bit());
    DetectorLink link;
    QVERIFY(!link.findDevice().found());
    QVERIFY(link.isWatching());

    DetectorSimulator sim;
    QVERIFY(sim.start({}));
    QVERIFY(QFile::link(sim.devicePath(), path));
    QTRY_VERIFY_WITH_TIMEOUT(link.isOpen(), 5000);
    QCOMPARE(link.portName(), path);
    QVERIFY(!link.isWatching());
    link.closePort();
    QVERIFY(!link.isOpen() && !link.isWatching());
}

QTEST_GUILESS_MAIN(TestDetectorLink)
#include "tst_DetectorLink.moc"
