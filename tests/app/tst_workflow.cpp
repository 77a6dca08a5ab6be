// The whole workflow on the real window: the stand-in detector on a pseudo-terminal
// sends its alarm records in small pieces with some bad bytes among them; the window
// finds it at start-up, a query over a time range brings every record in range, and
// the exported workbook holds exactly those records, row by row.

#include <QTemporaryDir>
#include <QtTest>

#include "app/Ventrix.h"
#include "link/DetectorLink.h"
#include "link/LinkTestSupport.h"
#include "link/SerialWidget.h"

class TestWorkflow : public QObject {
    Q_OBJECT

private slots:
    void queryAndExportMatchTheDetectorsRecords();

private:
    MessageBoxWatcher boxes_;
};

void TestWorkflow::queryAndExportMatchTheDetectorsRecords() {
    DetectorSimulator simulator;
    QVERIFY(
        simulator.start({"--records", "20000", "--seed", "7", "--pieces", "48", "--max-delay-ms",
                         "1", "--stray", "3", "--bad-checksum", "40", "--bad-length", "90"}));
    qputenv("VENTRIX_SYSTEM_PORTS", "");
    qputenv("VENTRIX_EXTRA_PORTS", simulator.devicePath().toLocal8Bit());

    Ventrix window;
    window.show();
    auto* panel = window.findChild<SerialWidget*>();
    QVERIFY(boxes_.seen().isEmpty());

    const QString from = "2024-03-01 00:00:00";
    const QString to = "2025-06-30 23:59:59";
    const QList<CsvRecord> expected = recordsBetween(simulator.records(), from, to);
    QVERIFY(expected.size() > 9000);
    setQueryRange(*panel, from, to);
    QVERIFY(clickButton(*panel, "QUERY DATA"));
    QTRY_COMPARE_WITH_TIMEOUT(int(panel->records().size()), expected.size(), 60000);
    QTRY_VERIFY_WITH_TIMEOUT(!panel->link()->isBusy(), 10000);

    QTemporaryDir dir;
    const QString file = dir.filePath("alarms.xls");
    boxes_.answerSaveDialog(file);
    QVERIFY(clickButton(*panel, "EXPORT DATA"));
    QVERIFY(boxes_.seen().isEmpty());

    const QStringList workbook = readWorkbook(file);
    const int sheet = workbook.indexOf(QString("sheet Sheet1 %1").arg(expected.size() + 1));
    QVERIFY2(sheet >= 0, qPrintable(workbook.mid(0, 4).join(" | ")));
    QCOMPARE(workbook.value(sheet + 1), QString("t:DateTime\tt:PPM.M"));
    for (int i = 0; i < expected.size(); ++i) {
        const QString row = QString("t:%1\tt:%2").arg(expected[i].timeText).arg(expected[i].value);
        QCOMPARE(workbook.value(sheet + 2 + i), row);
    }
}

QTEST_MAIN(TestWorkflow)
#include "tst_workflow.moc"
