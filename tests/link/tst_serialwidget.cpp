#include <QComboBox>
#include <QDateTimeEdit>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSerialPort>
#include <QtTest>

#include "LinkTestSupport.h"
#include "link/SerialWidget.h"
#include "widgets/ApplicationFont.h"
#include "widgets/QSimpleLed.h"

class TestSerialWidget : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void unitComboStartsAtPpmWithThreeItems();
    void editsShowBuildMomentInEnglishUnderGermanLocale();
    void logIsReadOnly();
    void clearRecvEmptiesLogButKeepsRecords();
    void leftColumnKeepsItsWidthWhenResized();
    void groupsCarryTheirCaptions();
    void withoutDetectorTheSearchReportsDeviceNotFound();
    void openWithoutFoundPortFails();
    void queryOnClosedPortKeepsStoreAndAsksToOpen();
    void editsHoldOnlyTimesTheQueryFrameCarries();
    void busyWhileAReplyArrivesAndCaptionsFit();

private:
    // Every panel starts with a device search; without a detector it ends in a box.
    MessageBoxWatcher boxes_;
};

// No test opens a real port: the system's list is replaced by an empty one.
void TestSerialWidget::initTestCase() {
    qputenv("VENTRIX_SYSTEM_PORTS", "");
}

void TestSerialWidget::init() {
    qunsetenv("VENTRIX_EXTRA_PORTS");
    boxes_.clear();
}

void TestSerialWidget::unitComboStartsAtPpmWithThreeItems() {
    SerialWidget panel;
    auto* unit = panel.findChild<QComboBox*>("unitCombo");
    QVERIFY(unit);
    QCOMPARE(unit->count(), 3);
    QCOMPARE(unit->itemText(0), QString("PPM.M"));
    QCOMPARE(unit->itemText(1), QString("%LEL.M"));
    QCOMPARE(unit->itemText(2), QString("%VOL.M"));
    QCOMPARE(unit->currentIndex(), 0);
    QCOMPARE(unit->currentText(), QString("PPM.M"));
}

void TestSerialWidget::editsShowBuildMomentInEnglishUnderGermanLocale() {
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QDateTime before = QDateTime::currentDateTime().addMSecs(-1000);
    SerialWidget panel;
    const QDateTime after = QDateTime::currentDateTime().addMSecs(1000);
    QLocale::setDefault(previous);

    for (const char* name : {"startEdit", "endEdit"}) {
        auto* edit = panel.findChild<QDateTimeEdit*>(name);
        QVERIFY(edit);
        QCOMPARE(edit->locale().language(), QLocale::English);
        QCOMPARE(edit->displayFormat(), QString("yyyy-MM-dd hh:mm:ss"));
        QVERIFY(edit->calendarPopup());
        QVERIFY(edit->dateTime() >= before && edit->dateTime() <= after);
        QCOMPARE(edit->text(), edit->dateTime().toString("yyyy-MM-dd hh:mm:ss"));
    }
}

void TestSerialWidget::logIsReadOnly() {
    SerialWidget panel;
    panel.show();
    auto* log = panel.findChild<QPlainTextEdit*>("log");
    QVERIFY(log);
    QVERIFY(log->isReadOnly());
    log->setFocus();
    QTest::keyClicks(log, "typed");
    QCOMPARE(log->toPlainText(), QString());
}

void TestSerialWidget::clearRecvEmptiesLogButKeepsRecords() {
    DetectorSimulator detector;
    QVERIFY(detector.start({"--records", "25", "--per-frame", "10"}));
    qputenv("VENTRIX_EXTRA_PORTS", detector.devicePath().toLocal8Bit());
    SerialWidget panel;
    auto* log = panel.findChild<QPlainTextEdit*>("log");
    panel.findChild<QDateTimeEdit*>("startEdit")->setDateTime(QDate(2000, 1, 1).startOfDay());
    QTest::mouseClick(buttonWithText(panel, "QUERY DATA"), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(int(panel.records().size()), 25, 30000);
    QVERIFY(log->toPlainText().contains("RECV 10 alarm records"));

    QPushButton* clear = buttonWithText(panel, "CLEAR RECV");
    QVERIFY(clear);
    QTest::mouseClick(clear, Qt::LeftButton);

    QCOMPARE(log->toPlainText(), QString());
    QCOMPARE(int(panel.records().size()), 25);
    QCOMPARE(QString::fromLatin1(panel.records().back().timeText),
             detector.records().back().timeText);
}

void TestSerialWidget::leftColumnKeepsItsWidthWhenResized() {
    SerialWidget panel;
    panel.resize(800, 500);
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    auto* left = panel.findChild<QWidget*>("leftColumn");
    auto* log = panel.findChild<QPlainTextEdit*>("log");
    QCOMPARE(left->width(), 260);
    const int logWidth = log->width();

    panel.resize(1200, 700);
    QCoreApplication::processEvents();
    QCOMPARE(left->width(), 260);
    QCOMPARE(log->width(), logWidth + 400);
}

void TestSerialWidget::groupsCarryTheirCaptions() {
    SerialWidget panel;
    QStringList titles;
    for (QGroupBox* group : panel.findChildren<QGroupBox*>())
        titles << group->title();
    QCOMPARE(titles, QStringList({"PORT CONTROLS", "TEXT CONTROLS", "COMMAND CONTROLS"}));
    for (const char* caption : {"REFRESH", "OPEN", "CLEAR RECV", "QUERY DATA", "EXPORT DATA"})
        QVERIFY2(buttonWithText(panel, caption), caption);
}

void TestSerialWidget::withoutDetectorTheSearchReportsDeviceNotFound() {
    SerialWidget panel;
    QTRY_COMPARE(boxes_.texts(), QStringList{"Device not found!"});
    const MessageBoxWatcher::Seen& box = boxes_.seen().first();
    QCOMPARE(box.title, QString("Error"));
    QCOMPARE(box.icon, QMessageBox::Critical);
    QCOMPARE(box.buttons, QStringList{"OK"});
    QVERIFY(!box.hasParent);
    QCOMPARE(panel.findChild<QComboBox*>("portCombo")->count(), 0);
    QCOMPARE(panel.findChild<QSimpleLed*>()->state(), 0);
    QVERIFY(!panel.findChild<QSerialPort*>()->isOpen());
}

void TestSerialWidget::openWithoutFoundPortFails() {
    SerialWidget panel;
    boxes_.clear();
    QPushButton* open = buttonWithText(panel, "OPEN");
    QTest::mouseClick(open, Qt::LeftButton);
    QCOMPARE(boxes_.texts(), QStringList{"Open serial failed!"});
    QCOMPARE(boxes_.seen().first().title, QString("Error"));
    QCOMPARE(open->text(), QString("OPEN"));
    QCOMPARE(panel.findChild<QSimpleLed*>()->state(), 0);
    QVERIFY(!panel.findChild<QSerialPort*>()->isOpen());
}

// Records received on an open line, then the port closed: a query that cannot be
// sent keeps them for the export.
void TestSerialWidget::queryOnClosedPortKeepsStoreAndAsksToOpen() {
    DetectorSimulator detector;
    QVERIFY(detector.start({"--records", "5"}));
    qputenv("VENTRIX_EXTRA_PORTS", detector.devicePath().toLocal8Bit());
    SerialWidget panel;
    panel.findChild<QDateTimeEdit*>("startEdit")->setDateTime(QDate(2000, 1, 1).startOfDay());
    QTest::mouseClick(buttonWithText(panel, "QUERY DATA"), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(int(panel.records().size()), 5, 30000);
    QTest::mouseClick(buttonWithText(panel, "CLOSE"), Qt::LeftButton);
    QVERIFY(boxes_.seen().isEmpty());

    StdoutCapture out;
    QTest::mouseClick(buttonWithText(panel, "QUERY DATA"), Qt::LeftButton);
    const QByteArray printed = out.finish();
    QCOMPARE(boxes_.texts(), QStringList{"Please open the serial port!"});
    QCOMPARE(boxes_.seen().first().title, QString("Error"));
    QCOMPARE(int(panel.records().size()), 5);
    QCOMPARE(printed, QByteArray());
}

void TestSerialWidget::editsHoldOnlyTimesTheQueryFrameCarries() {
    SerialWidget panel;
    setQueryRange(panel, "1999-12-31 23:59:59", "2256-01-01 00:00:00");
    QCOMPARE(panel.findChild<QDateTimeEdit*>("startEdit")->dateTime(),
             QDate(2000, 1, 1).startOfDay());
    QCOMPARE(panel.findChild<QDateTimeEdit*>("endEdit")->dateTime(),
             QDateTime(QDate(2255, 12, 31), QTime(23, 59, 59)));
}

// While a reply arrives the lamp blinks and a second query or search cannot start;
// with the application's font every caption fits inside its button.
void TestSerialWidget::busyWhileAReplyArrivesAndCaptionsFit() {
    useApplicationFont();
    DetectorSimulator detector;
    QVERIFY(detector.start({"--records", "300", "--per-frame", "10", "--max-delay-ms", "20"}));
    qputenv("VENTRIX_EXTRA_PORTS", detector.devicePath().toLocal8Bit());
    SerialWidget panel;
    panel.show();
    for (QPushButton* button : panel.findChildren<QPushButton*>()) {
        QVERIFY2(button->fontMetrics().horizontalAdvance(button->text()) <= button->width() - 4,
                 qPrintable(button->text()));
    }
    auto* lamp = panel.findChild<QSimpleLed*>();
    setQueryRange(panel, "2000-01-01 00:00:00", "2099-12-31 23:59:59");
    QVERIFY(clickButton(panel, "QUERY DATA"));
    QCOMPARE(lamp->state(), 4);
    QVERIFY(!buttonWithText(panel, "QUERY DATA")->isEnabled());
    QVERIFY(!buttonWithText(panel, "REFRESH")->isEnabled());
    QTRY_COMPARE_WITH_TIMEOUT(lamp->state(), 3, 30000);
    QCOMPARE(int(panel.records().size()), 300);
    QVERIFY(buttonWithText(panel, "QUERY DATA")->isEnabled());
}

QTEST_MAIN(TestSerialWidget)
#include "tst_serialwidget.moc"
