// ventrix-cli as scripts run it, against the stand-in detector on pseudo-terminals: the
// records of a query in each kind of output, and the exit status of each way a download
// can end. Only pseudo-terminals are searched.

#include <QtTest>

#include "export/CsvExport.h"
#include "link/LinkTestSupport.h"
#include "tests/MakeRecord.h"

namespace {

constexpr int kRunTimeoutMs = 60000;
const QString kAllTime[] = {"2000-01-01", "2099-12-31"};

struct CliRun {
    int status = -1;
    QByteArray out;
    QString err;
};

// Runs ventrix-cli in `dir` with only `port` to search (none: no port at all). With
// `interrupt`, it gets SIGTERM once it waits for the reply.
CliRun runCli(const QStringList& arguments, const QString& port, const QString& dir,
              bool interrupt = false) {
    QProcess cli;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("VENTRIX_SYSTEM_PORTS", "");
    environment.insert("VENTRIX_EXTRA_PORTS", port);
    cli.setProcessEnvironment(environment);
    cli.setWorkingDirectory(dir);
    cli.setReadChannel(QProcess::StandardError);
    cli.start(VENTRIX_CLI, arguments);
    CliRun run;
    while (interrupt && !run.err.contains("WAITING FOR THE DETECTOR") &&
           cli.waitForReadyRead(kRunTimeoutMs)) {
        run.err += QString::fromLocal8Bit(cli.readAllStandardError());
    }
    if (interrupt) {
        cli.terminate();
    }
    if (cli.waitForFinished(kRunTimeoutMs) && cli.exitStatus() == QProcess::NormalExit) {
        run.status = cli.exitCode();
    }
    run.out = cli.readAllStandardOutput();
    run.err += QString::fromLocal8Bit(cli.readAllStandardError());
    return run;
}

RecordStore storeOf(const QList<CsvRecord>& records) {
    RecordStore store;
    for (const CsvRecord& record : records) {
        store.push_back(makeRecord(record.timeText.toLatin1().constData(), record.value));
    }
    return store;
}

// The CSV lines as the workbook reader shows the rows of the same export.
QStringList workbookRows(const QByteArray& csv) {
    QStringList rows;
    for (const QByteArray& line : csv.split('\n')) {
        if (!line.isEmpty()) {
            rows << "t:" + QString::fromLatin1(line.trimmed()).replace(',', "\tt:");
        }
    }
    return rows;
}

}  // namespace

class TestVentrixCli : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void recordsOfTheRangeInEachOutput_data();
    void recordsOfTheRangeInEachOutput();
    void exitStatus_data();
    void exitStatus();

private:
    DetectorSimulator simulator_;
    QTemporaryDir dir_;
};

void TestVentrixCli::initTestCase() {
    QVERIFY(simulator_.start({"--records", "600", "--seed", "7", "--per-frame", "40"}));
}

void TestVentrixCli::recordsOfTheRangeInEachOutput_data() {
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("unit");
    QTest::addColumn<int>("unitIndex");

    QTest::newRow("workbook") << "alarms.xls"
                              << "%VOL.M" << 2;
    QTest::newRow("CSV file") << "alarms.CSV"
                              << "ppm.m" << 0;
    QTest::newRow("standard output, verbose") << "-"
                                              << "%LEL.M" << 1;
}

// Standard output carries the CSV text alone, the diagnostic lines included in the run.
void TestVentrixCli::recordsOfTheRangeInEachOutput() {
    QFETCH(QString, output);
    QFETCH(QString, unit);
    QFETCH(int, unitIndex);
    const QList<CsvRecord> expected =
        recordsBetween(simulator_.records(), "2024-01-03 00:00:00", "2024-01-20 23:59:59");
    const QByteArray csv = QByteArray::fromStdString(csvText(storeOf(expected), unitIndex));
    const bool toStdout = output == "-";

    const QStringList arguments = {"download", "--from", "2024-01-03", "--to", "2024-01-20",
                                   "--unit",   unit,     "--output",   output};

    const CliRun run = runCli(arguments + (toStdout ? QStringList("--verbose") : QStringList()),
                              simulator_.devicePath(), dir_.path());

    QCOMPARE(run.status, 0);
    QVERIFY2(run.err.contains(QString("\n%1 records, 0 frames discarded").arg(expected.size())),
             qPrintable(run.err));
    QCOMPARE(run.err.contains("0a 0b 0b 00 0c 18 01 03 00 00 00 18 01 14 17 3b 3b"), toStdout);
    const QString path = dir_.filePath(output);
    if (toStdout) {
        QCOMPARE(run.out, csv);
    } else if (output.endsWith(".xls")) {
        QCOMPARE(firstSheetRows(readWorkbook(path)), workbookRows(csv));
    } else {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), csv);
    }
    QVERIFY(toStdout || run.out.isEmpty());
}

void TestVentrixCli::exitStatus_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("detector");
    QTest::addColumn<bool>("fileBefore");
    QTest::addColumn<bool>("interrupt");
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("fileAfter");
    QTest::addColumn<QString>("saying");

    const QStringList download = {"download", "--from",    kAllTime[0],
                                  "--to",     kAllTime[1], "--output"};
    const QStringList none;
    const QStringList detector = {"--records", "300"};
    const QStringList hangingUp = {"--records", "3000", "--hangup-after", "4"};
    QTest::newRow("no detector") << download + QStringList{"out.csv"} << none << false << false << 1
                                 << false << "no detector found";
    QTest::newRow("unknown option") << QStringList{"download", "--bogus"} << detector << false
                                    << false << 2 << false << "'--bogus'";
    QTest::newRow("month 13") << QStringList{"download",   "--from",   "2024-13-01", "--to",
                                             "2024-12-31", "--output", "out.csv"}
                              << detector << false << false << 2 << false << "--from";
    QTest::newRow("existing file")
        << download + QStringList{"out.csv"} << detector << true << false << 2 << true << "--force";
    QTest::newRow("detector still sending")
        << download + QStringList{"out.csv"}
        << QStringList{"--records", "2000", "--bytes-per-second", "20000", "--busy-at-start"}
        << false << false << 0 << true << "still sending a reply; waiting";
    QTest::newRow("line lost") << download + QStringList{"out.csv"} << hangingUp << false << false
                               << 3 << false << "did not finish: nothing saved";
    QTest::newRow("line lost, kept")
        << download + QStringList{"out.csv", "--keep-incomplete"} << hangingUp << false << false
        << 3 << true << "did not finish: saved to out.csv";
    QTest::newRow("folder missing") << download + QStringList{"missing/out.xls"} << detector
                                    << false << false << 4 << false << "the folder does not exist";
    QTest::newRow("interrupted") << download + QStringList{"out.csv", "--keep-incomplete"}
                                 << QStringList{"--first-delay-ms", "20000"} << false << true << 130
                                 << true << "interrupted";
}

void TestVentrixCli::exitStatus() {
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, detector);
    QFETCH(bool, fileBefore);
    QFETCH(bool, interrupt);
    QFETCH(int, status);
    QFETCH(bool, fileAfter);
    QFETCH(QString, saying);
    const QTemporaryDir dir;
    const QString path = dir.filePath("out.csv");
    QFile earlier(path);
    QVERIFY(!fileBefore || (earlier.open(QIODevice::WriteOnly) && earlier.write("earlier") > 0));
    earlier.close();
    DetectorSimulator simulator;
    QVERIFY(detector.isEmpty() || simulator.start(detector));

    const CliRun run = runCli(arguments, simulator.devicePath(), dir.path(), interrupt);

    QCOMPARE(run.status, status);
    QVERIFY2(run.err.contains(saying), qPrintable(run.err));
    QCOMPARE(QFile::exists(path), fileAfter);
    QVERIFY(!fileBefore || (earlier.open(QIODevice::ReadOnly) && earlier.readAll() == "earlier"));
    QVERIFY(run.out.isEmpty());
}

QTEST_MAIN(TestVentrixCli)
#include "tst_VentrixCli.moc"
