// The protocol library and the link object against the stand-in detector and test peers
// on pseudo-terminals, without a window. Only pseudo-terminals are opened.

#include <QElapsedTimer>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include "LinkTestSupport.h"
#include "QuickTiming.h"

#include "link/DetectorLink.h"
#include "link/FrameReader.h"
#include "link/LinkFrame.h"
#include "link/PortSearch.h"
#include "link/RecordLog.h"

namespace {

// A link with quick timing on the simulator's port, and every reply end and discarded
// run it reports: "Done 50 0" is outcome, records, frames discarded.
struct LinkRun {
    explicit LinkRun(const QString& path) {
        link.setTiming(quickTiming());
        QObject::connect(
            &link, &DetectorLink::replyEnded,
            [this](ReplyOutcome outcome, int records, int frames) {
                static const char* const names[] = {"Done", "None", "Stopped", "Lost"};
                ends << QString("%1 %2 %3").arg(names[int(outcome)]).arg(records).arg(frames);
            });
        QObject::connect(&link, &DetectorLink::bytesDiscarded, [this](int, DiscardReason reason) {
            discards << discardReasonText(reason);
        });
        QObject::connect(&link, &DetectorLink::recordsIgnored,
                         [this](int records) { ignored = records; });
        QVERIFY(link.openPort(path));
    }

    DetectorLink link;
    QStringList ends;
    QStringList discards;
    int ignored = -1;
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
    void replyFollowsTheLineTiming_data();
    void replyFollowsTheLineTiming();
    void queryThatDidNotLeaveKeepsTheRecords();
    void searchTakesTheFirstPortThatAnswers();
    void busyFromQueryToTheEndOfTheReply();
    void portThatAppearsIsSearchedByItself();
    void portThatDidNotAnswerIsAskedAgain();
    void detectorStillSendingIsFoundOnceSilent();
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
    QTest::newRow("faults")
        << QStringList{"--records",      "200", "--per-frame",    "20", "--stray",      "0",
                       "--bad-checksum", "1",   "--bad-trailer",  "2",  "--bad-length", "3",
                       "--stray",        "4",   "--bad-checksum", "4",  "--bad-length", "9",
                       "--pieces",       "40",  "--max-delay-ms", "1"}
        << 0 << 199 << QStringList{"no header", "bad checksum", "bad trailer",     "bad trailer",
                                   "no header", "bad checksum", "incomplete frame"};
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

    LinkRun run(sim.devicePath());
    QCOMPARE(run.link.sendQuery(at(from), at(to)), DetectorLink::QueryResult::Sent);
    QTRY_COMPARE_WITH_TIMEOUT(run.ends.size(), 1, 60000);
    compareRecords(run.link.records(), expected);
    QCOMPARE(run.discards, discardReasons);
    QCOMPARE(run.ends.first().split(' ').last().toInt(),
             discardReasons.size() - int(discardReasons.count("no header")));
    QVERIFY(sim.stop());
}

// The reply under the line timing of slow adapters and busy detectors: late first
// frames, gaps, pauses inside frames, a corrupted length, the port closed and opened
// again during the reply (the rest is ignored), the line lost, and replies that re-open.
void TestDetectorLink::replyFollowsTheLineTiming_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("stopAtRecords");
    QTest::addColumn<QStringList>("ends");
    QTest::addColumn<int>("ignored");

    const QStringList fifty = {"--records", "50", "--per-frame", "10"};
    QTest::newRow("on time") << fifty << -1 << QStringList{"Done 50 0"} << -1;
    QTest::newRow("first frame late")
        << fifty + QStringList{"--first-delay-ms", "1000"} << -1 << QStringList{"Done 50 0"} << -1;
    QTest::newRow("gaps between frames")
        << fifty + QStringList{"--gap-ms", "450"} << -1 << QStringList{"Done 50 0"} << -1;
    QTest::newRow("pause inside every frame")
        << fifty + QStringList{"--pause-ms", "450"} << -1 << QStringList{"Done 50 0"} << -1;
    QTest::newRow("paced line") << fifty + QStringList{"--bytes-per-second", "2000"} << -1
                                << QStringList{"Done 50 0"} << -1;
    QTest::newRow("first frame after the limit")
        << fifty + QStringList{"--first-delay-ms", "2200"} << -1
        << QStringList{"None 0 0", "Done 50 0"} << -1;
    QTest::newRow("gap longer than the end")
        << QStringList{"--records", "30", "--per-frame", "10", "--gap-ms", "1100"} << -1
        << QStringList{"Done 10 0", "Done 20 0", "Done 30 0"} << -1;
    QTest::newRow("corrupted length")
        << fifty + QStringList{"--bad-length", "1"} << -1 << QStringList{"Done 50 1"} << -1;
    QTest::newRow("corrupted length, last frame")
        << fifty + QStringList{"--bad-length", "4"} << -1 << QStringList{"Done 50 1"} << -1;
    QTest::newRow("stopped") << fifty + QStringList{"--gap-ms", "150"} << 20
                             << QStringList{"Stopped 20 0"} << 30;
    QTest::newRow("line lost") << fifty + QStringList{"--hangup-after", "2"} << -1
                               << QStringList{"Lost 20 0"} << -1;
}

void TestDetectorLink::replyFollowsTheLineTiming() {
    QFETCH(QStringList, arguments);
    QFETCH(int, stopAtRecords);
    QFETCH(QStringList, ends);
    QFETCH(int, ignored);

    DetectorSimulator sim;
    QVERIFY(sim.start(arguments));
    const QList<CsvRecord> all = sim.records();
    LinkRun run(sim.devicePath());
    QSignalSpy busy(&run.link, &DetectorLink::busyChanged);
    run.link.sendQuery(at("2000-01-01 00:00:00"), at("2099-12-31 23:59:59"));
    // CLOSE and OPEN as the operator presses them: after the frame, from the event loop.
    QObject::connect(&run.link, &DetectorLink::recordsAppended, [&](int first, int count) {
        if (first + count == stopAtRecords) {
            QTimer::singleShot(0, [&] {
                run.link.closePort();
                run.link.openPort(sim.devicePath());
            });
        }
    });
    QTRY_COMPARE_WITH_TIMEOUT(run.ends, ends, 20000);
    QTRY_COMPARE_WITH_TIMEOUT(run.ignored, ignored, 10000);
    QTRY_VERIFY_WITH_TIMEOUT(!run.link.isBusy(), 10000);
    QTest::qWait(quickTiming().replyEndMs);
    QCOMPARE(run.ends, ends);
    QCOMPARE(run.link.isStoreComplete(), ignored < 0 && !ends.last().startsWith("Lost"));
    // Busy from the query to each end line, and from each byte that re-opens a reply.
    QCOMPARE(busy.size(), 2 * (ends.size() + (ignored >= 0 ? 1 : 0)));
    compareRecords(run.link.records(), all.mid(0, int(run.link.records().size())));
    QCOMPARE(run.link.records().size(), std::size_t(ends.last().split(' ')[1].toInt()));
}

// The detector hangs up after a reply, before the link has noticed: the next query goes
// into the port's buffer, the line fails before it leaves, and the records stay.
void TestDetectorLink::queryThatDidNotLeaveKeepsTheRecords() {
    DetectorSimulator sim;
    QVERIFY(sim.start({"--records", "5"}));
    LinkRun run(sim.devicePath());
    QSignalSpy notSent(&run.link, &DetectorLink::queryNotSent);
    run.link.sendQuery(at("2000-01-01 00:00:00"), at("2099-12-31 23:59:59"));
    QTRY_COMPARE_WITH_TIMEOUT(run.ends, QStringList{"Done 5 0"}, 10000);
    QVERIFY(sim.stop());

    run.link.sendQuery(at("2000-01-01 00:00:00"), at("2099-12-31 23:59:59"));
    QTRY_COMPARE_WITH_TIMEOUT(notSent.size(), 1, 10000);
    QVERIFY(!run.link.isOpen() && !run.link.isBusy());
    QCOMPARE(run.link.records().size(), std::size_t(5));
    QCOMPARE(run.ends, QStringList{"Done 5 0"});
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
    link.setTiming(quickTiming());
    QVERIFY(link.findDevice().found());
    QSignalSpy busy(&link, &DetectorLink::busyChanged);
    QSignalSpy progress(&link, &DetectorLink::progress);
    QSignalSpy ended(&link, &DetectorLink::replyEnded);

    QCOMPARE(link.sendQuery(at(all.first().timeText), at(all.last().timeText)),
             DetectorLink::QueryResult::Sent);
    QVERIFY(link.isBusy());
    QCOMPARE(link.sendQuery(at(all.first().timeText), at(all.last().timeText)),
             DetectorLink::QueryResult::Busy);
    QTRY_VERIFY_WITH_TIMEOUT(!link.isBusy(), 10000);
    QCOMPARE(busy.size(), 2);
    QCOMPARE(progress.last(), (QList<QVariant>{40, 100}));
    QCOMPARE(ended.last().at(1).toInt(), 40);

    link.sendQuery(at("2001-01-01 00:00:00"), at("2001-01-02 00:00:00"));
    QTRY_VERIFY_WITH_TIMEOUT(!link.isBusy(), 10000);
    QCOMPARE(ended.last().at(0).value<ReplyOutcome>(), ReplyOutcome::None);
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

void TestDetectorLink::portThatDidNotAnswerIsAskedAgain() {
    PtyPeer peer;
    qputenv("VENTRIX_SYSTEM_PORTS", "");
    qputenv("VENTRIX_EXTRA_PORTS", peer.devicePath().toLocal8Bit());
    DetectorLink link;
    link.setTiming(quickTiming());
    QVERIFY(!link.findDevice().found());
    QCOMPARE(peer.read(9, 1000), identifyCommand());
    peer.answerIdentify({detectorIdentifyAnswer()}, 0);
    QTRY_VERIFY_WITH_TIMEOUT(link.isOpen(), 5000);
    peer.join();
}

// Asked to identify itself while it still sends an earlier reply, the detector answers
// with reply frames: the search says so, and the link reads that port until it falls
// silent, then finds the detector there with nothing of that reply stored.
void TestDetectorLink::detectorStillSendingIsFoundOnceSilent() {
    DetectorSimulator sim;
    QVERIFY(sim.start({"--busy-at-start", "--records", "2000", "--bytes-per-second", "20000"}));
    qputenv("VENTRIX_SYSTEM_PORTS", "");
    qputenv("VENTRIX_EXTRA_PORTS", sim.devicePath().toLocal8Bit());
    DetectorLink link;
    link.setTiming(quickTiming());
    QCOMPARE(link.findDevice().failureLines(),
             QStringList(sim.devicePath() + ": still sending a reply"));
    QVERIFY(!link.isOpen());
    QTRY_VERIFY_WITH_TIMEOUT(link.isOpen(), 10000);
    QTest::qWait(200);
    QVERIFY(link.records().empty() && !link.isBusy());
}

QTEST_GUILESS_MAIN(TestDetectorLink)
#include "tst_DetectorLink.moc"
