// "EXPORT DATA" on the serial panel: the save dialog, what a cancelled dialog and
// a failed save do, and the workbook a reader finds, for records that came over a
// pseudo-terminal from the stand-in detector.

#include <QComboBox>
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>
#include <cerrno>
#include <system_error>

#include "LinkTestSupport.h"
#include "QuickTiming.h"
#include "export/RecordExporter.h"
#include "link/SerialWidget.h"
#include "tests/FileSizeLimit.h"

namespace {

constexpr int kReceiveTimeoutMs = 30000;

QStringList rowsOf(const RecordStore& records, int unit) {
    QStringList rows;
    for (const DetectorRecord& record : records) {
        rows << QString("t:%1\tt:%2")
                    .arg(QString::fromLatin1(record.timeText),
                         QString::fromStdString(RecordExporter::valueText(record.value, unit)));
    }
    return rows;
}

QByteArray fileContent(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class TestSerialWidgetExport : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void cancelledDialogWritesNothing();
    void nameWithoutSuffixGetsXlsAndRowsFollowTheStore();
    void failedExportIsReportedAndKeepsTheEarlierFile();
    void suffixAddedAfterTheDialogAsksBeforeReplacing();

private:
    // A panel connected to the simulator, holding `count` received records.
    void receiveRecords(SerialWidget& panel, int count);

    MessageBoxWatcher boxes_;
    DetectorSimulator simulator_;
    QTemporaryDir workDir_;
    QString previousDir_;
};

void TestSerialWidgetExport::initTestCase() {
    qputenv("VENTRIX_SYSTEM_PORTS", "");
    QVERIFY(simulator_.start({"--records", "1500", "--seed", "11"}));
    qputenv("VENTRIX_EXTRA_PORTS", simulator_.devicePath().toLocal8Bit());
    previousDir_ = QDir::currentPath();
    QVERIFY(QDir::setCurrent(workDir_.path()));
}

void TestSerialWidgetExport::init() {
    boxes_.clear();
}

void TestSerialWidgetExport::cleanup() {
    QDir dir(workDir_.path());
    for (const QString& name : dir.entryList(QDir::Files | QDir::NoDotAndDotDot))
        dir.remove(name);
}

void TestSerialWidgetExport::receiveRecords(SerialWidget& panel, int count) {
    panel.link()->setTiming(quickTiming());
    setQueryRange(panel, "2000-01-01 00:00:00", "2099-12-31 23:59:59");
    QVERIFY(clickButton(panel, "QUERY DATA"));
    QTRY_VERIFY_WITH_TIMEOUT(!panel.link()->isBusy(), kReceiveTimeoutMs);
    QCOMPARE(int(panel.records().size()), count);
}

void TestSerialWidgetExport::cancelledDialogWritesNothing() {
    SerialWidget panel;
    receiveRecords(panel, 1500);

    QVERIFY(clickButton(panel, "EXPORT DATA"));

    QCOMPARE(boxes_.seenDialogs().size(), 1);
    const MessageBoxWatcher::SeenDialog& dialog = boxes_.seenDialogs().first();
    QCOMPARE(dialog.title, QString("Save File"));
    QCOMPARE(dialog.directory, QDir::currentPath());
    QCOMPARE(dialog.nameFilters, QStringList({"All Files (*.xls)", "CSV (*.csv)"}));
    QVERIFY(!dialog.hasParent);
    QCOMPARE(QDir(workDir_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList());
    QVERIFY(boxes_.seen().isEmpty());
}

void TestSerialWidgetExport::nameWithoutSuffixGetsXlsAndRowsFollowTheStore() {
    SerialWidget panel;
    receiveRecords(panel, 1500);
    panel.findChild<QComboBox*>("unitCombo")->setCurrentIndex(2);
    boxes_.answerSaveDialog(workDir_.filePath("alarms"));

    QVERIFY(clickButton(panel, "EXPORT DATA"));

    QVERIFY(boxes_.seen().isEmpty());
    QVERIFY(!QFile::exists(workDir_.filePath("alarms")));
    const QStringList rows = firstSheetRows(readWorkbook(workDir_.filePath("alarms.xls")));
    QCOMPARE(rows.value(0), QString("t:DateTime\tt:VOL.M"));
    QCOMPARE(rows.mid(1), rowsOf(panel.records(), 2));
}

// The file size limit makes the save fail; the box tells the system's reason.
void TestSerialWidgetExport::failedExportIsReportedAndKeepsTheEarlierFile() {
    SerialWidget panel;
    receiveRecords(panel, 1500);
    const QString target = workDir_.filePath("alarms.xls");
    {
        QFile earlier(target);
        QVERIFY(earlier.open(QIODevice::WriteOnly));
        earlier.write("an earlier export");
    }
    boxes_.answerSaveDialog(target);

    {
        const FileSizeLimit limit(4096);
        QVERIFY(clickButton(panel, "EXPORT DATA"));
    }

    QCOMPARE(boxes_.texts(), QStringList("Export failed!"));
    const MessageBoxWatcher::Seen& box = boxes_.seen().first();
    QCOMPARE(box.informativeText, QString::fromStdString(std::generic_category().message(EFBIG)));
    QCOMPARE(box.title, QString("Error"));
    QCOMPARE(box.icon, QMessageBox::Critical);
    QCOMPARE(box.buttons, QStringList("OK"));
    QVERIFY(!box.hasParent);
    QCOMPARE(fileContent(target), QByteArray("an earlier export"));
    QCOMPARE(QDir(workDir_.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList("alarms.xls"));
}

// A name with dots gets ".xls" after the dialog, and the question about the file it
// then names, answered No, writes nothing.
void TestSerialWidgetExport::suffixAddedAfterTheDialogAsksBeforeReplacing() {
    SerialWidget panel;
    const QString target = workDir_.filePath("alarms_2024.12.07.xls");
    QFile earlier(target);
    QVERIFY(earlier.open(QIODevice::WriteOnly) && earlier.write("an earlier export") > 0);
    earlier.close();
    boxes_.answerSaveDialog(workDir_.filePath("alarms_2024.12.07"));
    QVERIFY(clickButton(panel, "EXPORT DATA"));
    QCOMPARE(boxes_.texts(),
             QStringList("alarms_2024.12.07.xls already exists.\nDo you want to replace it?"));
    QCOMPARE(fileContent(target), QByteArray("an earlier export"));
}

QTEST_MAIN(TestSerialWidgetExport)
#include "tst_SerialWidgetExport.moc"
