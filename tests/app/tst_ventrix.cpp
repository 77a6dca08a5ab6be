#include <QLayout>
#include <QPointer>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "app/Ventrix.h"
#include "link/LinkTestSupport.h"
#include "link/SerialWidget.h"

class TestVentrix : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cannotShrinkBelowMinimumAndHasNoNativeFrame();
    void closingHidesWithoutDeleting();
    void panelFillsWindowWithoutMargins();
    void startsWithoutIconFileInWorkingDirectory();

private:
    MessageBoxWatcher boxes_;
};

// The panel searches for the detector whenever a window is built: on no port
// at all here, and the "Device not found!" box that follows is closed at once.
void TestVentrix::initTestCase() {
    qputenv("VENTRIX_SYSTEM_PORTS", "");
    qunsetenv("VENTRIX_EXTRA_PORTS");
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

QTEST_MAIN(TestVentrix)
#include "tst_ventrix.moc"
