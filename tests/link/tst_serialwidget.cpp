#include <QComboBox>
#include <QDateTimeEdit>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include "link/SerialWidget.h"

class TestSerialWidget : public QObject {
    Q_OBJECT

private slots:
    void unitComboStartsAtPpmWithThreeItems();
    void editsShowBuildMomentInEnglishUnderGermanLocale();
    void logIsReadOnly();
    void clearRecvEmptiesLogButKeepsRecords();
    void leftColumnKeepsItsWidthWhenResized();
    void groupsCarryTheirCaptions();
};

static QPushButton* buttonWithText(QWidget& parent, const QString& text) {
    for (QPushButton* button : parent.findChildren<QPushButton*>()) {
        if (button->text() == text)
            return button;
    }
    return nullptr;
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
    SerialWidget panel;
    auto* log = panel.findChild<QPlainTextEdit*>("log");
    log->appendPlainText(">> a line");
    const size_t recordsBefore = panel.records().size();

    QPushButton* clear = buttonWithText(panel, "CLEAR RECV");
    QVERIFY(clear);
    QTest::mouseClick(clear, Qt::LeftButton);

    QCOMPARE(log->toPlainText(), QString());
    QCOMPARE(panel.records().size(), recordsBefore);
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

QTEST_MAIN(TestSerialWidget)
#include "tst_serialwidget.moc"
