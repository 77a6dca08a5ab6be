#include <QImage>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include "widgets/QSimpleLed.h"

namespace {

const char* const kUnknownState = "LED - unknown states!!!";

QTimer* blinkTimer(const QSimpleLed& led) {
    const auto timers = led.findChildren<QTimer*>();
    return timers.size() == 1 ? timers.first() : nullptr;
}

int brightness(QRgb pixel) {
    return qRed(pixel) + qGreen(pixel) + qBlue(pixel);
}

}  // namespace

class QSimpleLedTest : public QObject {
    Q_OBJECT

private slots:
    void startsDarkInItsConstructionColour();
    void colourIndexOutsideThePaletteShowsGrey();
    void setState_data();
    void setState();
    void blinkTogglesEveryIntervalWithOneTimer();
    void blinkKeepsThePreviousColour();
    void steadyStateEndsABlink();
    void lampIsAsLargeAsTheShorterSideAndCentred_data();
    void lampIsAsLargeAsTheShorterSideAndCentred();
    void litAndDarkLensShading();
    void mouseAndKeyboardCannotToggleIt();
};

void QSimpleLedTest::startsDarkInItsConstructionColour() {
    QSimpleLed led(nullptr, 6);
    QVERIFY(led.isCheckable());
    QVERIFY(!led.isChecked());
    QCOMPARE(led.state(), 0);
    QCOMPARE(led.colorIndex(), 6);
    QCOMPARE(led.minimumSize(), QSize(64, 64));
    QVERIFY(led.findChildren<QTimer*>().isEmpty());
}

void QSimpleLedTest::colourIndexOutsideThePaletteShowsGrey() {
    for (int index : {-1, 7, 1000}) {
        QSimpleLed led(nullptr, index);
        QCOMPARE(led.colorIndex(), 6);
        led.resize(64, 64);
        const QImage image = led.grab().toImage();
        const QRgb centre = image.pixel(32, 32);
        QCOMPARE(qRed(centre), qGreen(centre));
        QCOMPARE(qGreen(centre), qBlue(centre));
    }
}

// Every state is applied on top of a lit red lamp (state 2).
void QSimpleLedTest::setState_data() {
    QTest::addColumn<int>("requested");
    QTest::addColumn<bool>("checked");
    QTest::addColumn<int>("colour");
    QTest::addColumn<int>("stored");
    QTest::addColumn<bool>("blinking");
    QTest::addColumn<bool>("unknown");

    QTest::newRow("0 off") << 0 << false << 6 << 0 << false << false;
    QTest::newRow("1 green") << 1 << true << 2 << 1 << false << false;
    QTest::newRow("2 red") << 2 << true << 1 << 2 << false << false;
    QTest::newRow("3 amber") << 3 << true << 4 << 3 << false << false;
    QTest::newRow("4 blink") << 4 << false << 1 << 4 << true << false;
    QTest::newRow("5 unknown") << 5 << true << 1 << 2 << false << true;
    QTest::newRow("7 unknown") << 7 << true << 1 << 2 << false << true;
    QTest::newRow("-1 unknown") << -1 << true << 1 << 2 << false << true;
}

void QSimpleLedTest::setState() {
    QFETCH(int, requested);
    QFETCH(bool, checked);
    QFETCH(int, colour);
    QFETCH(int, stored);
    QFETCH(bool, blinking);
    QFETCH(bool, unknown);

    QSimpleLed led(nullptr, 6);
    led.setState(2);
    if (unknown) {
        QTest::ignoreMessage(QtDebugMsg, kUnknownState);
    }
    led.setState(requested);

    QCOMPARE(led.isChecked(), checked);
    QCOMPARE(led.colorIndex(), colour);
    QCOMPARE(led.state(), stored);
    QTimer* timer = blinkTimer(led);
    QCOMPARE(timer != nullptr, blinking);
    if (timer) {
        QVERIFY(timer->isActive());
        QCOMPARE(timer->interval(), 200);
        QVERIFY(!timer->isSingleShot());
    }
}

void QSimpleLedTest::blinkTogglesEveryIntervalWithOneTimer() {
    QSimpleLed led(nullptr, 6);
    led.setState(4);
    QVERIFY(!led.isChecked());
    QTRY_VERIFY_WITH_TIMEOUT(led.isChecked(), 1000);
    QTRY_VERIFY_WITH_TIMEOUT(!led.isChecked(), 1000);
    QTRY_VERIFY_WITH_TIMEOUT(led.isChecked(), 1000);

    // A second request restarts from dark on the same timer, connected once:
    // a double connection would toggle twice per tick and never light up.
    led.setState(4);
    QVERIFY(!led.isChecked());
    QCOMPARE(led.findChildren<QTimer*>().size(), 1);
    QVERIFY(blinkTimer(led)->remainingTime() > 100);
    QTRY_VERIFY_WITH_TIMEOUT(led.isChecked(), 1000);
    QCOMPARE(led.state(), 4);
}

void QSimpleLedTest::blinkKeepsThePreviousColour() {
    QSimpleLed grey(nullptr, 6);
    grey.setState(4);
    QCOMPARE(grey.colorIndex(), 6);

    QSimpleLed red(nullptr, 6);
    red.resize(64, 64);
    red.setState(2);
    red.setState(4);
    QCOMPARE(red.colorIndex(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(red.isChecked(), 1000);
    const QRgb lens = red.grab().toImage().pixel(32, 32);
    QVERIFY(qRed(lens) > 200);
    QVERIFY(qGreen(lens) < 20);
    QVERIFY(qBlue(lens) < 20);
}

void QSimpleLedTest::steadyStateEndsABlink() {
    QSimpleLed led(nullptr, 6);
    led.setState(4);
    led.setState(1);
    QVERIFY(!blinkTimer(led)->isActive());
    QTest::qWait(450);
    QVERIFY(led.isChecked());
    QCOMPARE(led.colorIndex(), 2);
}

void QSimpleLedTest::lampIsAsLargeAsTheShorterSideAndCentred_data() {
    QTest::addColumn<QSize>("size");
    QTest::newRow("wide") << QSize(300, 100);
    QTest::newRow("tall") << QSize(100, 300);
}

// The lamp spans the shorter side; outside it the widget's background shows,
// as in its corner.
void QSimpleLedTest::lampIsAsLargeAsTheShorterSideAndCentred() {
    QFETCH(QSize, size);
    QSimpleLed led(nullptr, 6);
    led.setState(1);
    led.resize(size);
    const QImage image = led.grab().toImage();
    QCOMPARE(image.size(), size);

    const QRgb background = image.pixel(0, 0);
    const bool wide = size.width() > size.height();
    const int along = (wide ? size.width() : size.height()) / 2;
    auto at = [&](int offset) {
        return wide ? image.pixel(along + offset, 50) : image.pixel(50, along + offset);
    };
    QVERIFY(at(-52) == background);
    QVERIFY(at(52) == background);
    QVERIFY(at(-48) != background);
    QVERIFY(at(48) != background);
    const QRgb lens = at(0);
    QVERIFY(qGreen(lens) > 150);
    QVERIFY(qRed(lens) < 20);
}

void QSimpleLedTest::litAndDarkLensShading() {
    QSimpleLed led(nullptr, 6);
    led.resize(100, 100);

    led.setState(3);
    QImage image = led.grab().toImage();
    QRgb upperLeft = image.pixel(30, 30);
    QRgb lowerRight = image.pixel(70, 70);
    QVERIFY(qRed(upperLeft) > 230);
    QVERIFY(qGreen(upperLeft) > 100 && qGreen(upperLeft) < 140);
    QVERIFY(qBlue(upperLeft) < 40);
    QVERIFY(brightness(upperLeft) > brightness(lowerRight));

    led.setState(0);
    image = led.grab().toImage();
    upperLeft = image.pixel(30, 30);
    lowerRight = image.pixel(70, 70);
    for (QRgb pixel : {upperLeft, lowerRight}) {
        QCOMPARE(qRed(pixel), qGreen(pixel));
        QCOMPARE(qGreen(pixel), qBlue(pixel));
        QVERIFY(qRed(pixel) >= 128);
    }
    QVERIFY(brightness(lowerRight) < brightness(upperLeft));
}

void QSimpleLedTest::mouseAndKeyboardCannotToggleIt() {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* edit = new QLineEdit;
    auto* led = new QSimpleLed(nullptr, 6);
    layout->addWidget(edit);
    layout->addWidget(led);
    QSignalSpy clicked(led, &QAbstractButton::clicked);
    QSignalSpy toggled(led, &QAbstractButton::toggled);

    QTest::mouseClick(led, Qt::LeftButton);
    QVERIFY(!led->isChecked());
    led->setState(1);
    QTest::mouseClick(led, Qt::LeftButton);
    QVERIFY(led->isChecked());
    QCOMPARE(clicked.count(), 0);
    QCOMPARE(toggled.count(), 1);

    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    edit->setFocus();
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(&window, Qt::Key_Tab);
        QVERIFY(QApplication::focusWidget() != led);
    }
}

QTEST_MAIN(QSimpleLedTest)
#include "QSimpleLedTest.moc"
