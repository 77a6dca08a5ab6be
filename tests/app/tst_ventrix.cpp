#include <QGuiApplication>
#include <QLayout>
#include <QMouseEvent>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "app/Ventrix.h"
#include "link/LinkTestSupport.h"
#include "link/SerialWidget.h"
#include "widgets/WinTitleBar.h"

class TestVentrix : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cannotShrinkBelowMinimumAndHasNoNativeFrame();
    void closingHidesWithoutDeleting();
    void panelFillsWindowWithoutMargins();
    void startsWithoutIconFileInWorkingDirectory();
    void titleBarSitsAboveThePanel();
    void doubleClickMaximisesToWorkAreaAndRestores();
    void closeButtonEndsEventLoopWithStatusZero();

private:
    MessageBoxWatcher boxes_;
};

// The panel searches for the detector whenever a window is built: on no port
// at all here, and the "Device not found!" box that follows is closed at once.
void TestVentrix::initTestCase() {
    qputenv("VENTRIX_SYSTEM_PORTS", "");
    qunsetenv("VENTRIX_EXTRA_PORTS");
}

static void doubleClick(QWidget* target) {
    const QPoint local(300, 10);
    const QPoint global = target->mapToGlobal(local);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                              QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, local, global, Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    }
}

void TestVentrix::cannotShrinkBelowMinimumAndHasNoNativeFrame() {
    Ventrix window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    window.resize(300, 200);
    QCOMPARE(window.size(), QSize(800, 550));
    QVERIFY(window.isWindow());
    QVERIFY(window.windowFlags().testFlag(Qt::FramelessWindowHint));
    QVERIFY(window.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(window.testAttribute(Qt::WA_StyledBackground));
}

void TestVentrix::closingHidesWithoutDeleting() {
    QPointer<Ventrix> window = new Ventrix;
    window->show();
    QVERIFY(window->close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!window.isNull());
    QVERIFY(!window->isVisible());
    delete window;
}

void TestVentrix::panelFillsWindowWithoutMargins() {
    Ventrix window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* panel = window.findChild<SerialWidget*>();
    QVERIFY(panel);
    QCOMPARE(panel->parentWidget(), &window);
    QCOMPARE(window.layout()->contentsMargins(), QMargins(0, 0, 0, 0));
    QCOMPARE(panel->geometry().left(), 0);
    QCOMPARE(panel->geometry().right(), window.width() - 1);
}

// The icon is looked up in the working directory; without it the program
// still starts and runs.
void TestVentrix::startsWithoutIconFileInWorkingDirectory() {
    QTemporaryDir emptyDir;
    QVERIFY(emptyDir.isValid());
    QProcess app;
    app.setWorkingDirectory(emptyDir.path());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    app.setProcessEnvironment(env);
    app.start(VENTRIX_EXECUTABLE, QStringList());
    QVERIFY(app.waitForStarted());
    QVERIFY(!app.waitForFinished(1500));
    QCOMPARE(app.state(), QProcess::Running);
    app.kill();
    app.waitForFinished();
}

void TestVentrix::titleBarSitsAboveThePanel() {
    Ventrix window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* bar = window.findChild<WinTitleBar*>();
    auto* panel = window.findChild<SerialWidget*>();
    QVERIFY(bar && panel);
    QCOMPARE(bar->height(), 40);
    QCOMPARE(bar->y(), 0);
    QVERIFY(panel->y() >= bar->geometry().bottom());
    QCOMPARE(window.windowTitle(), QString("ventrix"));
    QStringList names;
    for (const char* button : {"minButton", "maxButton", "restoreButton", "closeButton"})
        names << bar->findChild<QWidget*>(button)->accessibleName();
    QCOMPARE(names, QStringList({"Minimize", "Maximize", "Restore", "Close"}));
}

// Maximising covers the work area and overhangs it by three pixels on every
// side; restoring returns to the geometry the window had just before.
void TestVentrix::doubleClickMaximisesToWorkAreaAndRestores() {
    Ventrix window;
    window.setGeometry(40, 30, 820, 560);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QRect normal = window.geometry();
    auto* bar = window.findChild<WinTitleBar*>();

    doubleClick(bar);
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QCOMPARE(window.geometry(), area.adjusted(-3, -3, 3, 3));

    doubleClick(bar);
    QCOMPARE(window.geometry(), normal);
}

// The close button ends the event loop with status 0 at once, even while
// other work keeps the loop busy; the window is left to its owner.
void TestVentrix::closeButtonEndsEventLoopWithStatusZero() {
    Ventrix window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* close = window.findChild<WinTitleBar*>()->findChild<QPushButton*>("closeButton");
    QVERIFY(close);

    QTimer busy;
    busy.start(0);
    QTimer::singleShot(10, close, [close] { close->click(); });
    QCOMPARE(QCoreApplication::exec(), 0);
    QVERIFY(!window.isVisible());
}

QTEST_MAIN(TestVentrix)
#include "tst_ventrix.moc"
