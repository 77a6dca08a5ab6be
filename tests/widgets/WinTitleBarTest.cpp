#include <QApplication>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "widgets/ApplicationDirectory.h"
#include "widgets/WinTitleBar.h"

namespace {

const QRgb kBarBlue = qRgb(4, 12, 89);

void sendMouse(QWidget* target, QEvent::Type type, const QPoint& global) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(10, 10), QPointF(global), button, held, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

void doubleClick(QWidget* target, const QPoint& global) {
    sendMouse(target, QEvent::MouseButtonPress, global);
    sendMouse(target, QEvent::MouseButtonRelease, global);
    sendMouse(target, QEvent::MouseButtonDblClick, global);
    sendMouse(target, QEvent::MouseButtonRelease, global);
}

QPushButton* button(const WinTitleBar& bar, const char* name) {
    return bar.findChild<QPushButton*>(QString::fromUtf8(name));
}

QPixmap logoPixmap(const WinTitleBar& bar) {
    const QLabel* logo = bar.findChild<QLabel*>(QStringLiteral("logoLabel"));
#if QT_VERSION >= QT_VERSION_CHECK(5, 15, 0)
    return logo->pixmap(Qt::ReturnByValue);
#else
    return logo->pixmap() ? *logo->pixmap() : QPixmap();
#endif
}

QString titleText(const WinTitleBar& bar) {
    return bar.findChild<QLabel*>(QStringLiteral("titleLabel"))->text();
}

void rollTitle(WinTitleBar& bar) {
    QVERIFY(QMetaObject::invokeMethod(&bar, "onRollTitle"));
}

// The title bar inside a plain top-level window, as the main window holds it.
struct Window {
    QWidget window;
    WinTitleBar* bar;

    Window() : bar(new WinTitleBar(&window)) {
        window.setGeometry(100, 100, 800, 550);
        bar->setFixedHeight(40);
        bar->setTitleBarColor(4, 12, 89, false);
    }

    bool isMaximised() const {
        return button(*bar, "maxButton")->isHidden() && !button(*bar, "restoreButton")->isHidden();
    }

    QPoint dragBy(const QPoint& start, const QVector<QPoint>& steps) {
        sendMouse(bar, QEvent::MouseButtonPress, start);
        QPoint at = start;
        for (const QPoint& step : steps) {
            at += step;
            sendMouse(bar, QEvent::MouseMove, at);
        }
        sendMouse(bar, QEvent::MouseButtonRelease, at);
        return window.pos();
    }
};

}  // namespace

class WinTitleBarTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void methodsInMetaObjectOrder();
    void buttonsShowTheImagesNextToTheExecutable();
    void missingImagesLeaveAWorkingBar();
    void dragMovesTheWindowOnEveryMove();
    void noDragWhileMaximised();
    void maximiseButtonIsDisabledAndDoubleClickToggles();
    void restoreButtonTakesTheMaximiseButtonsPlace();
    void minimiseAndCloseButtonsEmit();
    void restoreInfoRoundTrip();
    void followsTheParentWidthAtTheNextRepaint();
    void paintsARoundedBackgroundUnlessTransparent();
    void barWithoutParentNeitherDragsNorResizes();
    void rollTitleScrollsWithOneSharedPosition();
    void rollTitleWithEmptyText();
};

void WinTitleBarTest::init() {
    g_applicationDirectory = QCoreApplication::applicationDirPath();
}

void WinTitleBarTest::methodsInMetaObjectOrder() {
    const QMetaObject& meta = WinTitleBar::staticMetaObject;
    const QStringList expected = {
        "signalButtonMinClicked()",   "signalButtonRestoreClicked()", "signalButtonMaxClicked()",
        "signalButtonCloseClicked()", "onButtonMinClicked()",         "onButtonRestoreClicked()",
        "onButtonMaxClicked()",       "onButtonCloseClicked()",       "onRollTitle()"};
    QCOMPARE(meta.methodCount() - meta.methodOffset(), expected.size());
    for (int i = 0; i < expected.size(); ++i) {
        const QMetaMethod method = meta.method(meta.methodOffset() + i);
        QCOMPARE(QString::fromLatin1(method.methodSignature()), expected[i]);
        QCOMPARE(method.methodType(), i < 4 ? QMetaMethod::Signal : QMetaMethod::Slot);
    }
}

void WinTitleBarTest::buttonsShowTheImagesNextToTheExecutable() {
    Window w;
    for (const char* name : {"minButton", "maxButton", "restoreButton", "closeButton"}) {
        QPushButton* b = button(*w.bar, name);
        QVERIFY2(b, name);
        QVERIFY2(!b->icon().isNull(), name);
        QCOMPARE(b->size(), QSize(30, 30));
        QCOMPARE(b->iconSize(), QSize(30, 30));
        QVERIFY(!b->toolTip().isEmpty());
    }
    QCOMPARE(button(*w.bar, "minButton")->toolTip(), QString::fromUtf8("最小化"));
    QCOMPARE(button(*w.bar, "maxButton")->toolTip(), QString::fromUtf8("最大化"));
    QCOMPARE(button(*w.bar, "closeButton")->toolTip(), QString::fromUtf8("关闭"));
    QCOMPARE(logoPixmap(*w.bar).size(), QSize(180, 60));
}

void WinTitleBarTest::missingImagesLeaveAWorkingBar() {
    g_applicationDirectory = QStringLiteral("/nonexistent-ventrix-folder");
    Window w;
    QVERIFY(button(*w.bar, "minButton")->icon().isNull());
    QVERIFY(button(*w.bar, "closeButton")->icon().isNull());
    QVERIFY(logoPixmap(*w.bar).isNull());

    QSignalSpy maximise(w.bar, SIGNAL(signalButtonMaxClicked()));
    doubleClick(w.bar, QPoint(300, 110));
    QCOMPARE(maximise.count(), 1);
    w.bar->resize(400, 40);
    QCOMPARE(w.bar->grab().toImage().pixel(200, 20), kBarBlue);
}

void WinTitleBarTest::dragMovesTheWindowOnEveryMove() {
    Window w;
    w.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.window));
    const QPoint origin = w.window.pos();

    sendMouse(w.bar, QEvent::MouseButtonPress, QPoint(300, 120));
    sendMouse(w.bar, QEvent::MouseMove, QPoint(325, 110));
    QCOMPARE(w.window.pos(), origin + QPoint(25, -10));
    sendMouse(w.bar, QEvent::MouseMove, QPoint(350, 100));
    QCOMPARE(w.window.pos(), origin + QPoint(50, -20));
    sendMouse(w.bar, QEvent::MouseButtonRelease, QPoint(350, 100));

    sendMouse(w.bar, QEvent::MouseMove, QPoint(400, 100));
    QCOMPARE(w.window.pos(), origin + QPoint(50, -20));
}

void WinTitleBarTest::noDragWhileMaximised() {
    Window w;
    const QPoint origin = w.window.pos();

    doubleClick(w.bar, QPoint(300, 110));
    QVERIFY(w.isMaximised());
    QCOMPARE(w.dragBy(QPoint(300, 110), {QPoint(25, -10), QPoint(5, 5)}), origin);

    doubleClick(w.bar, QPoint(300, 110));
    QVERIFY(!w.isMaximised());
    QCOMPARE(w.dragBy(QPoint(300, 110), {QPoint(25, -10)}), origin + QPoint(25, -10));
}

void WinTitleBarTest::maximiseButtonIsDisabledAndDoubleClickToggles() {
    Window w;
    w.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.window));
    QSignalSpy maximise(w.bar, SIGNAL(signalButtonMaxClicked()));
    QSignalSpy restore(w.bar, SIGNAL(signalButtonRestoreClicked()));
    QPushButton* maxButton = button(*w.bar, "maxButton");
    QPushButton* restoreButton = button(*w.bar, "restoreButton");

    QVERIFY(maxButton->isVisible());
    QVERIFY(!maxButton->isEnabled());
    QVERIFY(!restoreButton->isVisible());
    QTest::mouseClick(maxButton, Qt::LeftButton);
    QCOMPARE(maximise.count(), 0);

    doubleClick(w.bar, QPoint(300, 110));
    QCOMPARE(maximise.count(), 1);
    QCOMPARE(restore.count(), 0);
    QVERIFY(!maxButton->isVisible());
    QVERIFY(restoreButton->isVisible());

    doubleClick(w.bar, QPoint(300, 110));
    QCOMPARE(maximise.count(), 1);
    QCOMPARE(restore.count(), 1);
    QVERIFY(maxButton->isVisible());
    QVERIFY(!restoreButton->isVisible());
}

void WinTitleBarTest::restoreButtonTakesTheMaximiseButtonsPlace() {
    Window w;
    w.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.window));
    QPushButton* maxButton = button(*w.bar, "maxButton");
    QPushButton* restoreButton = button(*w.bar, "restoreButton");
    QPushButton* closeButton = button(*w.bar, "closeButton");
    const QRect maxPlace = maxButton->geometry();
    const QRect closePlace = closeButton->geometry();
    QCOMPARE(restoreButton->toolTip(), QString::fromUtf8("还原"));

    doubleClick(w.bar, QPoint(300, 110));
    w.bar->layout()->activate();
    QCOMPARE(restoreButton->geometry(), maxPlace);
    QCOMPARE(closeButton->geometry(), closePlace);

    QSignalSpy restore(w.bar, SIGNAL(signalButtonRestoreClicked()));
    QTest::mouseClick(restoreButton, Qt::LeftButton);
    QCOMPARE(restore.count(), 1);
    QVERIFY(maxButton->isVisible());
    QVERIFY(!restoreButton->isVisible());
    w.bar->layout()->activate();
    QCOMPARE(maxButton->geometry(), maxPlace);
}

void WinTitleBarTest::minimiseAndCloseButtonsEmit() {
    Window w;
    w.window.show();
    QVERIFY(QTest::qWaitForWindowActive(&w.window));
    QSignalSpy minimise(w.bar, SIGNAL(signalButtonMinClicked()));
    QSignalSpy close(w.bar, SIGNAL(signalButtonCloseClicked()));
    QTest::mouseClick(button(*w.bar, "minButton"), Qt::LeftButton);
    QCOMPARE(minimise.count(), 1);
    QCOMPARE(close.count(), 0);
    QTest::mouseClick(button(*w.bar, "closeButton"), Qt::LeftButton);
    QCOMPARE(minimise.count(), 1);
    QCOMPARE(close.count(), 1);
    // Clicked, the buttons take no focus, so no focus rectangle is drawn on them.
    QCOMPARE(QApplication::focusWidget(), nullptr);
}

void WinTitleBarTest::restoreInfoRoundTrip() {
    Window w;
    QPoint position(7, 7);
    QSize size(1, 1);
    w.bar->getRestoreInfo(position, size);
    QCOMPARE(position, QPoint(0, 0));
    QVERIFY(!size.isValid());

    w.bar->saveRestoreInfo(QPoint(120, 80), QSize(800, 550));
    w.bar->getRestoreInfo(position, size);
    QCOMPARE(position, QPoint(120, 80));
    QCOMPARE(size, QSize(800, 550));
}

void WinTitleBarTest::followsTheParentWidthAtTheNextRepaint() {
    Window w;
    w.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.window));
    w.window.resize(900, 550);
    w.bar->repaint();
    QCOMPARE(w.bar->width(), 900);
    w.window.resize(820, 550);
    w.bar->repaint();
    QCOMPARE(w.bar->width(), 820);
}

void WinTitleBarTest::paintsARoundedBackgroundUnlessTransparent() {
    QWidget window;
    window.resize(400, 300);
    auto* bar = new WinTitleBar(&window);
    bar->setFixedHeight(40);

    // The first paint stretches the bar over its parent.
    bar->grab();
    QCOMPARE(bar->width(), 400);
    QImage image = bar->grab().toImage();
    QCOMPARE(image.pixel(200, 20), qRgb(153, 153, 153));

    bar->setTitleBarColor(4, 12, 89, false);
    image = bar->grab().toImage();
    QCOMPARE(image.pixel(200, 20), kBarBlue);
    QCOMPARE(image.pixel(200, 0), kBarBlue);
    QCOMPARE(image.pixel(0, 20), kBarBlue);
    for (const QPoint& corner : {QPoint(0, 0), QPoint(399, 0), QPoint(0, 39), QPoint(399, 39)}) {
        QVERIFY(image.pixel(corner) != kBarBlue);
    }

    bar->setTitleBarColor(4, 12, 89, true);
    image = bar->grab().toImage();
    int blue = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            blue += image.pixel(x, y) == kBarBlue;
        }
    }
    QCOMPARE(blue, 0);
}

void WinTitleBarTest::barWithoutParentNeitherDragsNorResizes() {
    WinTitleBar bar(nullptr);
    bar.resize(500, 60);
    QCOMPARE(bar.grab().toImage().width(), 500);
    sendMouse(&bar, QEvent::MouseButtonPress, QPoint(10, 10));
    sendMouse(&bar, QEvent::MouseMove, QPoint(40, 20));
    sendMouse(&bar, QEvent::MouseButtonRelease, QPoint(40, 20));
    QCOMPARE(bar.width(), 500);
}

void WinTitleBarTest::rollTitleScrollsWithOneSharedPosition() {
    Window first;
    Window second;
    first.bar->setTitleText(QStringLiteral("abc"));
    second.bar->setTitleText(QStringLiteral("xyz"));

    // Bring the shared position to the end of the text, wherever it was.
    for (int i = 0; i < 5 && !(titleText(*first.bar).isEmpty() && i > 0); ++i) {
        rollTitle(*first.bar);
    }
    QCOMPARE(titleText(*first.bar), QString());

    const QStringList expected = {"abc", "bc", "c", "", "abc"};
    for (const QString& text : expected) {
        rollTitle(*first.bar);
        QCOMPARE(titleText(*first.bar), text);
    }
    rollTitle(*second.bar);
    QCOMPARE(titleText(*second.bar), QStringLiteral("yz"));
}

void WinTitleBarTest::rollTitleWithEmptyText() {
    Window w;
    w.bar->setTitleText(QStringLiteral("abc"));
    rollTitle(*w.bar);
    w.bar->setTitleText(QString());
    for (int i = 0; i < 3; ++i) {
        rollTitle(*w.bar);
        QCOMPARE(titleText(*w.bar), QString());
    }
}

QTEST_MAIN(WinTitleBarTest)
#include "WinTitleBarTest.moc"
