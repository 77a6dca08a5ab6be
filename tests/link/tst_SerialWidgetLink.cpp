// The serial panel on real QSerialPorts over pseudo-terminals: device search, the
// open and refresh buttons, the query on the wire, the receive path into the store
// and the log, and a line that goes away. Only pseudo-terminals are opened: the
// system's port list is replaced by an empty one.

#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSerialPort>
#include <QSignalSpy>
#include <QtTest>

#include "LinkTestSupport.h"
#include "QuickTiming.h"
#include "link/LinkFrame.h"
#include "link/PortList.h"
#include "link/RecordLog.h"
#include "link/SerialWidget.h"
#include "widgets/QSimpleLed.h"

namespace {

constexpr int kReceiveTimeoutMs = 30000;
const char* const kQueryAllFrom = "2000-01-01 00:00:00";
const char* const kQueryAllTo = "2099-12-31 23:59:59";

void useExtraPorts(const QStringList& paths) {
    qputenv("VENTRIX_EXTRA_PORTS", paths.join(':').toLocal8Bit());
}

// The panel's parts, found the way an operator finds them: by caption or name.
struct Panel {
    explicit Panel(SerialWidget& widget)
        : widget(widget),
          port(widget.findChild<QSerialPort*>()),
          portCombo(widget.findChild<QComboBox*>("portCombo")),
          unitCombo(widget.findChild<QComboBox*>("unitCombo")),
          openButton(widget.findChild<QPushButton*>("openButton")),
          led(widget.findChild<QSimpleLed*>()),
          log(widget.findChild<QPlainTextEdit*>("log")) {}

    void click(const QString& caption) { QVERIFY(clickButton(widget, caption)); }

    void query(const QString& from, const QString& to) {
        setQueryRange(widget, from, to);
        click("QUERY DATA");
    }

    QStringList logLines() const { return log->toPlainText().split('\n', Qt::SkipEmptyParts); }

    int logLinesMatching(const QString& pattern) const {
        return logLines().filter(QRegularExpression(pattern)).size();
    }

    bool showsOpen() const {
        return port->isOpen() && openButton->text() == "CLOSE" && led->state() == 3;
    }

    bool showsClosed() const {
        return !port->isOpen() && openButton->text() == "OPEN" && led->state() == 0;
    }

    SerialWidget& widget;
    QSerialPort* port;
    QComboBox* portCombo;
    QComboBox* unitCombo;
    QPushButton* openButton;
    QSimpleLed* led;
    QPlainTextEdit* log;
};

// A reply frame with one record: 2024-01-02 03:04:05, value 250.
QByteArray oneRecordReply() {
    return QByteArray::fromHex("0a0b0b000a180102030405000000fa4ba3b3");
}

void compareRecords(const RecordStore& store, const QList<CsvRecord>& expected) {
    QCOMPARE(int(store.size()), expected.size());
    for (int i = 0; i < expected.size(); ++i) {
        QCOMPARE(QString::fromLatin1(store[std::size_t(i)].timeText), expected[i].timeText);
        QCOMPARE(store[std::size_t(i)].value, expected[i].value);
    }
}

}  // namespace

class TestSerialWidgetLink : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void candidatePortsFollowTheEnvironment();
    void searchSkipsPortsThatDoNotAnswerAsTheDetector_data();
    void searchSkipsPortsThatDoNotAnswerAsTheDetector();
    void firstOfTwoDetectorsWins();
    void identifyAnswerInPiecesLeavesNothingBehind();
    void refreshKeepsOneReadyReadConnection();
    void closeAndOpenKeepReceiving();
    void queryFrameOnTheWire();
    void recordsReachStoreAndLogInTheSelectedUnit_data();
    void recordsReachStoreAndLogInTheSelectedUnit();
    void repliesAfterOneQueryAddUp();
    void badBytesAreDiscardedAndTheLinkStaysAlive();
    void lostLineClosesThePanelOnce();
    void queryOnAHungUpLineIsReportedNotSent();
    void stoppedDownloadSaysSo();

private:
    MessageBoxWatcher boxes_;
};

void TestSerialWidgetLink::initTestCase() {
    qputenv("VENTRIX_SYSTEM_PORTS", "");
}

void TestSerialWidgetLink::init() {
    qunsetenv("VENTRIX_EXTRA_PORTS");
    boxes_.clear();
}

void TestSerialWidgetLink::candidatePortsFollowTheEnvironment() {
    qputenv("VENTRIX_SYSTEM_PORTS", "/dev/a::/dev/b");
    useExtraPorts({"/dev/c", "", "/dev/d"});
    QCOMPARE(candidatePorts(), QStringList({"/dev/a", "/dev/b", "/dev/c", "/dev/d"}));
    qputenv("VENTRIX_SYSTEM_PORTS", "");
    QCOMPARE(candidatePorts(), QStringList({"/dev/c", "/dev/d"}));
    qunsetenv("VENTRIX_EXTRA_PORTS");
    QCOMPARE(candidatePorts(), QStringList());
}

void TestSerialWidgetLink::searchSkipsPortsThatDoNotAnswerAsTheDetector_data() {
    QTest::addColumn<QStringList>("detectorArguments");
    QTest::newRow("whole answer") << QStringList{};
    QTest::newRow("answer in pieces") << QStringList{"--pieces", "3", "--max-delay-ms", "10"};
}

void TestSerialWidgetLink::searchSkipsPortsThatDoNotAnswerAsTheDetector() {
    QFETCH(QStringList, detectorArguments);
    DetectorSimulator silent, otherModel, detector;
    QVERIFY(silent.start({"--silent"}));
    QVERIFY(otherModel.start({"--identify", "Q782 1.00"}));
    QVERIFY(detector.start(detectorArguments));
    const QString missing = "/dev/ventrix-no-such-port";
    useExtraPorts({missing, silent.devicePath(), otherModel.devicePath(), detector.devicePath()});

    StdoutCapture out;
    SerialWidget widget;
    const QByteArray printed = out.finish();

    Panel panel(widget);
    QVERIFY(panel.showsOpen());
    QCOMPARE(panel.portCombo->count(), 1);
    QCOMPARE(panel.portCombo->currentText(), detector.devicePath());
    QCOMPARE(QString::fromUtf8(printed),
             "device " + missing + "\ndevice can not open\n" + "device " + silent.devicePath() +
                 "\n" + "device " + otherModel.devicePath() + "\n" + "device " +
                 detector.devicePath() + "\n" + "find device " + detector.devicePath() + "\n");
    QVERIFY(boxes_.seen().isEmpty());
    QCOMPARE(connectionCount(panel.port, SIGNAL(readyRead())), 1);
}

void TestSerialWidgetLink::firstOfTwoDetectorsWins() {
    DetectorSimulator first;
    QVERIFY(first.start({}));
    PtyPeer second;
    QVERIFY(second.isValid());
    useExtraPorts({first.devicePath(), second.devicePath()});

    StdoutCapture out;
    SerialWidget widget;
    const QByteArray printed = out.finish();

    Panel panel(widget);
    QVERIFY(panel.showsOpen());
    QCOMPARE(panel.portCombo->currentText(), first.devicePath());
    QVERIFY(!printed.contains(second.devicePath().toUtf8()));
    QCOMPARE(second.read(9, 1000), identifyCommand());
    QVERIFY(!second.hasInput());
}

// The answer arrives in four pieces, the first shorter than the part that is checked;
// the search takes all 17 bytes of it, so the receive path starts clean.
void TestSerialWidgetLink::identifyAnswerInPiecesLeavesNothingBehind() {
    PtyPeer detector;
    QVERIFY(detector.isValid());
    useExtraPorts({detector.devicePath()});
    const QByteArray answer = detectorIdentifyAnswer();
    detector.answerIdentify({answer.left(3), answer.mid(3, 5), answer.mid(8, 6), answer.mid(14)},
                            40);

    SerialWidget widget;
    detector.join();
    Panel panel(widget);
    QCOMPARE(detector.identifyCommand().toHex(' '), QByteArray("0a 0b 0c 00 01 00 22 a3 b3"));
    QVERIFY(panel.showsOpen());

    QVERIFY(detector.write(oneRecordReply()));
    QTRY_COMPARE_WITH_TIMEOUT(int(widget.records().size()), 1, kReceiveTimeoutMs);
    QCOMPARE(QString::fromLatin1(widget.records()[0].timeText), QString("2024-01-02 03:04:05"));
    QTest::qWait(400);
    QCOMPARE(panel.logLinesMatching("DISCARDED"), 0);
    QCOMPARE(panel.logLinesMatching("RECV"), 1);
}

void TestSerialWidgetLink::refreshKeepsOneReadyReadConnection() {
    DetectorSimulator detector;
    QVERIFY(detector.start({"--records", "50", "--per-frame", "20"}));
    useExtraPorts({detector.devicePath()});
    SerialWidget widget;
    Panel panel(widget);
    QVERIFY(panel.showsOpen());

    StdoutCapture out;
    for (int i = 0; i < 5; ++i) {
        panel.click("REFRESH");
        // The search runs on the event loop: the click returns at once, and the port
        // controls are disabled until the search ends, so a click on them does nothing.
        QVERIFY(widget.link()->isSearching());
        QVERIFY(!panel.openButton->isEnabled() && !buttonWithText(widget, "REFRESH")->isEnabled());
        QTest::mouseClick(panel.openButton, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!widget.link()->isSearching(), kReceiveTimeoutMs);
        QVERIFY(panel.showsOpen());
    }
    const QByteArray printed = out.finish();
    QCOMPARE(printed.count("refind device 1\n"), 5);
    QVERIFY(panel.showsOpen());
    QCOMPARE(connectionCount(panel.port, SIGNAL(readyRead())), 1);

    panel.query(kQueryAllFrom, kQueryAllTo);
    QTRY_COMPARE_WITH_TIMEOUT(int(widget.records().size()), 50, kReceiveTimeoutMs);
    compareRecords(widget.records(), detector.records());
    QCOMPARE(panel.logLinesMatching("RECV \\d+ alarm records$"), 3);
}

void TestSerialWidgetLink::closeAndOpenKeepReceiving() {
    DetectorSimulator detector;
    QVERIFY(detector.start({"--records", "30"}));
    useExtraPorts({detector.devicePath()});
    SerialWidget widget;
    Panel panel(widget);

    panel.click("CLOSE");
    QVERIFY(panel.showsClosed());
    QCOMPARE(panel.portCombo->currentText(), detector.devicePath());
    panel.click("OPEN");
    QVERIFY(panel.showsOpen());

    panel.query(kQueryAllFrom, kQueryAllTo);
    QTRY_COMPARE_WITH_TIMEOUT(int(widget.records().size()), 30, kReceiveTimeoutMs);
    compareRecords(widget.records(), detector.records());
    QVERIFY(boxes_.seen().isEmpty());
}

// The test plays the detector: what the panel prints and what arrives on the line
// are compared byte for byte. A query also ends the previous result set.
void TestSerialWidgetLink::queryFrameOnTheWire() {
    PtyPeer detector;
    QVERIFY(detector.isValid());
    useExtraPorts({detector.devicePath()});
    detector.answerIdentify({detectorIdentifyAnswer()}, 0);
    SerialWidget widget;
    detector.join();
    Panel panel(widget);
    QVERIFY(panel.showsOpen());
    widget.link()->setTiming(quickTiming());
    QVERIFY(detector.write(oneRecordReply()));
    QTRY_COMPARE_WITH_TIMEOUT(int(widget.records().size()), 1, kReceiveTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(!widget.link()->isBusy(), kReceiveTimeoutMs);

    setQueryRange(widget, "2024-01-02 03:04:05", "2024-01-31 23:59:59");
    StdoutCapture out;
    panel.click("QUERY DATA");
    const QByteArray printed = out.finish();

    const QByteArray expected = "0a 0b 0b 00 0c 18 01 02 03 04 05 18 01 1f 17 3b 3b 18 a3 b3";
    QCOMPARE(printed, expected + " \n");
    QByteArray onTheWire;
    QTRY_COMPARE_WITH_TIMEOUT((onTheWire += detector.read(20 - onTheWire.size(), 0)).toHex(' '),
                              expected, 5000);
    // Emptied once the port reports the query written.
    QTRY_VERIFY_WITH_TIMEOUT(widget.records().empty(), 5000);
    QTest::qWait(50);
    QVERIFY(!detector.hasInput());
}

void TestSerialWidgetLink::recordsReachStoreAndLogInTheSelectedUnit_data() {
    QTest::addColumn<int>("unitIndex");
    QTest::newRow("PPM.M") << 0;
    QTest::newRow("%LEL.M") << 1;
    QTest::newRow("%VOL.M") << 2;
}

void TestSerialWidgetLink::recordsReachStoreAndLogInTheSelectedUnit() {
    QFETCH(int, unitIndex);
    DetectorSimulator detector;
    QVERIFY(detector.start({"--records", "400", "--per-frame", "150"}));
    useExtraPorts({detector.devicePath()});
    SerialWidget widget;
    Panel panel(widget);
    const QList<CsvRecord> all = detector.records();
    const QList<CsvRecord> expected = recordsBetween(all, all[7].timeText, all[380].timeText);

    panel.unitCombo->setCurrentIndex(unitIndex);
    panel.query(all[7].timeText, all[380].timeText);
    QTRY_COMPARE_WITH_TIMEOUT(int(widget.records().size()), expected.size(), kReceiveTimeoutMs);
    compareRecords(widget.records(), expected);

    const QString unit = panel.unitCombo->currentText();
    QStringList recordLines = panel.logLines().filter(QRegularExpression("^>> \\d{4}-"));
    QCOMPARE(recordLines.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i) {
        QCOMPARE(recordLines[i], ">> " + expected[i].timeText + "    " +
                                     logValueText(expected[i].value, unitIndex) + "  " + unit);
    }
}

void TestSerialWidgetLink::repliesAfterOneQueryAddUp() {
    DetectorSimulator detector;
    QVERIFY(detector.start({"--records", "30", "--per-frame", "20"}));
    useExtraPorts({detector.devicePath()});
    SerialWidget widget;
    Panel panel(widget);

    panel.query(kQueryAllFrom, kQueryAllTo);
    QTRY_COMPARE_WITH_TIMEOUT(int(widget.records().size()), 30, kReceiveTimeoutMs);
    compareRecords(widget.records(), detector.records());
    const QStringList headers = panel.logLines().filter(" RECV ");
    QCOMPARE(headers.size(), 2);
    QVERIFY(headers[0].endsWith("] RECV 20 alarm records"));
    QVERIFY(headers[1].endsWith("] RECV 10 alarm records"));
}

// Stray bytes and broken copies come before intact frames: every record still
// arrives once, each run of dropped bytes leaves one line, and a second query is
// answered as well.
void TestSerialWidgetLink::badBytesAreDiscardedAndTheLinkStaysAlive() {
    DetectorSimulator detector;
    QVERIFY(detector.start({"--records", "120", "--per-frame", "20", "--stray", "0",
                            "--bad-checksum", "1", "--bad-trailer", "2", "--bad-length", "5",
                            "--pieces", "40", "--max-delay-ms", "1"}));
    useExtraPorts({detector.devicePath()});
    SerialWidget widget;
    Panel panel(widget);
    const QList<CsvRecord> all = detector.records();

    panel.query(kQueryAllFrom, kQueryAllTo);
    QTRY_COMPARE_WITH_TIMEOUT(int(widget.records().size()), 120, kReceiveTimeoutMs);
    compareRecords(widget.records(), all);
    QTRY_COMPARE_WITH_TIMEOUT(panel.logLinesMatching("DISCARDED"), 4, kReceiveTimeoutMs);
    const QStringList discarded = panel.logLines().filter("DISCARDED");
    QVERIFY2(discarded[0].endsWith("DISCARDED 7 bytes (no header)"), qPrintable(discarded[0]));
    QVERIFY2(discarded[1].endsWith("(bad checksum)"), qPrintable(discarded[1]));
    QVERIFY2(discarded[2].endsWith("(bad trailer)"), qPrintable(discarded[2]));
    QVERIFY2(discarded[3].contains(QRegularExpression("\\((incomplete frame|bad trailer)\\)$")),
             qPrintable(discarded[3]));
    QTRY_VERIFY_WITH_TIMEOUT(panel.showsOpen(), kReceiveTimeoutMs);

    panel.query(all[0].timeText, all[9].timeText);
    QTRY_COMPARE_WITH_TIMEOUT(int(widget.records().size()), 10, kReceiveTimeoutMs);
    compareRecords(widget.records(), all.mid(0, 10));
}

// The detector hangs up after the identify answer and two reply frames. The port
// then reports read errors until it is closed: the panel closes it at the first one.
void TestSerialWidgetLink::lostLineClosesThePanelOnce() {
    DetectorSimulator detector;
    QVERIFY(detector.start({"--records", "100", "--per-frame", "10", "--hangup-after", "3"}));
    useExtraPorts({detector.devicePath()});
    SerialWidget widget;
    Panel panel(widget);
    QVERIFY(panel.showsOpen());
    int errorSignals = 0;
    connect(panel.port, &QSerialPort::errorOccurred,
            [&errorSignals](QSerialPort::SerialPortError e) {
                if (e == QSerialPort::ReadError || e == QSerialPort::ResourceError) {
                    ++errorSignals;
                }
            });

    panel.query(kQueryAllFrom, kQueryAllTo);
    QTRY_VERIFY_WITH_TIMEOUT(panel.showsClosed(), kReceiveTimeoutMs);
    QTest::qWait(500);
    QVERIFY(panel.showsClosed());
    QCOMPARE(errorSignals, 1);
    const QStringList lost = panel.logLines().filter("LINK LOST");
    QCOMPARE(lost.size(), 1);
    QVERIFY2(QRegularExpression("^>> \\[\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\] LINK LOST: "
                                "serial port (read|resource) error \u2014 port closed$")
                 .match(lost[0])
                 .hasMatch(),
             qPrintable(lost[0]));
    compareRecords(widget.records(), detector.records().mid(0, 20));
    QVERIFY(detector.stop());
}

// The detector hangs up before the panel has noticed: the query is accepted into the
// port's buffer, and the line fails when the port tries to send it.
void TestSerialWidgetLink::queryOnAHungUpLineIsReportedNotSent() {
    DetectorSimulator detector;
    QVERIFY(detector.start({"--records", "5"}));
    useExtraPorts({detector.devicePath()});
    SerialWidget widget;
    Panel panel(widget);
    QVERIFY(detector.stop());

    panel.query(kQueryAllFrom, kQueryAllTo);
    QTRY_COMPARE_WITH_TIMEOUT(boxes_.texts(), QStringList("Query not sent!"), kReceiveTimeoutMs);
    QCOMPARE(panel.logLinesMatching("QUERY NOT SENT: .+"), 1);
}

// The title bar counts the seconds until the first frame; from the query to its end
// line QUERY DATA, REFRESH and EXPORT DATA wait. CLOSE stops the download, and the log,
// the title and the line of a later save say that it did not finish.
void TestSerialWidgetLink::stoppedDownloadSaysSo() {
    DetectorSimulator detector;
    QVERIFY(detector.start(
        {"--records", "60", "--per-frame", "10", "--gap-ms", "200", "--first-delay-ms", "1600"}));
    useExtraPorts({detector.devicePath()});
    SerialWidget widget;
    Panel panel(widget);
    DetectorLink::Timing timing = quickTiming();
    timing.firstByteMs = 5000;
    widget.link()->setTiming(timing);
    QSignalSpy status(&widget, &SerialWidget::statusText);
    panel.query(kQueryAllFrom, kQueryAllTo);
    QTRY_VERIFY_WITH_TIMEOUT(widget.records().size() >= 20, kReceiveTimeoutMs);
    QCOMPARE(status.at(1).first().toString(), QString("WAITING FOR THE DETECTOR: 1 s"));
    for (const char* caption : {"QUERY DATA", "REFRESH", "EXPORT DATA"}) {
        QVERIFY2(!buttonWithText(widget, caption)->isEnabled(), caption);
    }

    panel.click("CLOSE");
    const QString stored = QString::number(widget.records().size());
    QVERIFY(panel.logLines().last().endsWith("] RECV STOPPED " + stored +
                                             " records: the download did not finish"));
    QCOMPARE(status.last().first().toString(),
             "INCOMPLETE: " + stored + " records, the download did not finish");
    QTemporaryDir dir;
    boxes_.answerSaveDialog(dir.filePath("part.csv"));
    panel.click("EXPORT DATA");
    QVERIFY(boxes_.seen().isEmpty());
    QVERIFY(panel.logLines().last().endsWith("SAVED " + stored + " records to " +
                                             dir.filePath("part.csv") +
                                             " (the download did not finish)"));
}

QTEST_MAIN(TestSerialWidgetLink)
#include "tst_SerialWidgetLink.moc"
