// "CHART" and the CSV export on the serial panel, for records that came over a
// pseudo-terminal from the stand-in detector.

#include <QComboBox>
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include "LinkTestSupport.h"
#include "chart/RecordChart.h"
#include "link/SerialWidget.h"
#include "link/Units.h"

namespace {

constexpr int kReceiveTimeoutMs = 30000;
constexpr int kRecords = 1500;

// The rows of a CSV file as Python's csv module reads them, fields joined by tabs.
QStringList readCsv(const QString& path) {
    QProcess reader;
    reader.start("/usr/bin/python3",
                 {"-c",
                  "import csv, sys\n"
                  "with open(sys.argv[1], newline='', encoding='utf-8') as f:\n"
                  "    for row in csv.reader(f, strict=True): print('\\t'.join(row))\n",
                  path});
    if (!reader.waitForFinished(30000) || reader.exitCode() != 0)
        return {};
    return QString::fromUtf8(reader.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
}

}  // namespace

class TestSerialWidgetChart : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void chartFollowsQueriesAndTheUnit();
    void csvNameWritesTheStoreAsCsv();

private:
    void query(SerialWidget& panel, const QString& from, const QString& to, int expected);

    MessageBoxWatcher boxes_;
    DetectorSimulator simulator_;
    QTemporaryDir workDir_;
};

void TestSerialWidgetChart::initTestCase() {
    qputenv("VENTRIX_SYSTEM_PORTS", "");
    QVERIFY(simulator_.start({"--records", QString::number(kRecords), "--seed", "5"}));
    qputenv("VENTRIX_EXTRA_PORTS", simulator_.devicePath().toLocal8Bit());
}

void TestSerialWidgetChart::query(SerialWidget& panel, const QString& from, const QString& to,
                                  int expected) {
    setQueryRange(panel, from, to);
    QTRY_VERIFY_WITH_TIMEOUT(buttonWithText(panel, "QUERY DATA")->isEnabled(), kReceiveTimeoutMs);
    QVERIFY(clickButton(panel, "QUERY DATA"));
    QTRY_COMPARE_WITH_TIMEOUT(int(panel.records().size()), expected, kReceiveTimeoutMs);
}

void TestSerialWidgetChart::chartFollowsQueriesAndTheUnit() {
    SerialWidget panel;
    query(panel, "2000-01-01 00:00:00", "2099-12-31 23:59:59", kRecords);
    QVERIFY(clickButton(panel, "CHART"));
    auto* chart = panel.findChild<RecordChart*>();
    QVERIFY(chart && chart->isWindow() && chart->isVisible());
    QTRY_COMPARE(chart->series().samples().size(), std::size_t(kRecords));

    panel.findChild<QComboBox*>("unitCombo")->setCurrentIndex(kUnitVol);
    QCOMPARE(chart->unit(), kUnitVol);

    const QList<CsvRecord> all = simulator_.records();
    const QString from = all.value(100).timeText;
    const QString to = all.value(159).timeText;
    const int inRange = recordsBetween(all, from, to).size();
    chart->zoomTo(QRectF(0, 0, 1, 1));
    query(panel, from, to, inRange);
    QTRY_COMPARE(chart->series().samples().size(), std::size_t(inRange));
    QVERIFY(chart->showsWholeRange());
}

void TestSerialWidgetChart::csvNameWritesTheStoreAsCsv() {
    SerialWidget panel;
    query(panel, "2000-01-01 00:00:00", "2099-12-31 23:59:59", kRecords);
    panel.findChild<QComboBox*>("unitCombo")->setCurrentIndex(kUnitLel);
    boxes_.answerSaveDialog(workDir_.filePath("alarms.Csv"));

    QVERIFY(clickButton(panel, "EXPORT DATA"));

    QVERIFY(boxes_.seen().isEmpty());
    QStringList expected("DateTime\t%LEL.M");
    for (const DetectorRecord& record : panel.records())
        expected << QString::fromLatin1(record.timeText) + '\t' +
                        QString::fromStdString(valueText(record.value, kUnitLel));
    QCOMPARE(readCsv(workDir_.filePath("alarms.Csv")), expected);
    QCOMPARE(QDir(workDir_.path()).entryList(QDir::Files), QStringList("alarms.Csv"));
}

QTEST_MAIN(TestSerialWidgetChart)
#include "tst_SerialWidgetChart.moc"
