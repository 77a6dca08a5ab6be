// The serial panel's receive path end to end: the detector simulator on a
// pseudo-terminal answers one query, and every ready-read the panel handles is
// timed (frame reader, decoding, record store and log pane included). Runs on
// the offscreen platform unless another one is chosen.
//
//   bench_panel_receive [RECORDS_PER_FRAME...]   (default: 6553 100)
//
// For each size it reports one frame of 6553 records on its own and 100,000
// records in one session: the slowest ready-read, the slowest one that
// completed a frame, the longest time the event loop was held up (painting
// included) and the whole transfer.

#include <QApplication>
#include <QDateTimeEdit>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QProcess>
#include <QSerialPort>
#include <QTimer>
#include <algorithm>
#include <cstdio>

#include "link/DetectorLink.h"
#include "link/SerialWidget.h"

namespace {

struct Timing {
    int deliveries = 0;
    int frameDeliveries = 0;
    double slowestMs = 0;
    double slowestFrameMs = 0;
    double frameMsTotal = 0;
    double wallMs = 0;
    double longestStallMs = 0;
    std::size_t records = 0;
    int logLines = 0;
};

class Simulator {
public:
    bool start(const QStringList& arguments) {
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start(VENTRIX_DETECTOR_SIM, arguments);
        if (!process_.waitForStarted(5000)) {
            return false;
        }
        while (!process_.canReadLine() && process_.waitForReadyRead(5000)) {
        }
        path_ = QString::fromLocal8Bit(process_.readLine()).trimmed();
        return path_.startsWith("/dev/");
    }
    ~Simulator() {
        process_.terminate();
        if (!process_.waitForFinished(5000)) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }
    QString path() const { return path_; }

private:
    QProcess process_;
    QString path_;
};

double msSince(const QElapsedTimer& timer) {
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

// One query answered with `records` records, `perFrame` to a frame; every
// ready-read goes through the panel's slot under a stopwatch.
bool measure(int records, int perFrame, Timing& timing) {
    Simulator sim;
    if (!sim.start(
            {"--records", QString::number(records), "--per-frame", QString::number(perFrame)})) {
        std::fprintf(stderr, "bench_panel_receive: the simulator did not start\n");
        return false;
    }
    qputenv("VENTRIX_EXTRA_PORTS", sim.path().toLocal8Bit());
    SerialWidget panel;
    panel.resize(1000, 640);
    panel.show();
    auto* port = panel.findChild<QSerialPort*>();
    if (!port->isOpen()) {
        return false;
    }
    DetectorLink* link = panel.link();
    QObject::disconnect(port, SIGNAL(readyRead()), link, SLOT(on_recvSlot()));
    QObject::connect(port, &QSerialPort::readyRead, [&] {
        const std::size_t before = panel.records().size();
        QElapsedTimer handling;
        handling.start();
        link->on_recvSlot();
        const double ms = msSince(handling);
        ++timing.deliveries;
        timing.slowestMs = std::max(timing.slowestMs, ms);
        if (panel.records().size() != before) {
            ++timing.frameDeliveries;
            timing.frameMsTotal += ms;
            timing.slowestFrameMs = std::max(timing.slowestFrameMs, ms);
        }
    });

    panel.findChild<QDateTimeEdit*>("startEdit")->setDateTime(QDate(2000, 1, 1).startOfDay());
    panel.findChild<QDateTimeEdit*>("endEdit")->setDateTime(QDate(2099, 12, 31).startOfDay());
    // A timer due at every turn of the event loop: the longest gap between its
    // ticks is the longest time the window could not react to anything.
    QElapsedTimer sinceTick;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        timing.longestStallMs = std::max(timing.longestStallMs, msSince(sinceTick));
        sinceTick.restart();
    });
    QElapsedTimer wall;
    wall.start();
    sinceTick.start();
    ticker.start(0);
    panel.on_query_data();
    while (panel.records().size() < static_cast<std::size_t>(records) && wall.elapsed() < 300000) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    ticker.stop();
    timing.wallMs = msSince(wall);
    timing.records = panel.records().size();
    timing.logLines = panel.findChild<QPlainTextEdit*>("log")->blockCount();
    return timing.records == static_cast<std::size_t>(records);
}

void report(const char* name, const Timing& t) {
    std::printf(
        "%-28s records %7zu  log lines %7d  ready-reads %5d  slowest %7.2f ms  "
        "frame-completing: %4d, slowest %7.2f ms, mean %7.2f ms  longest event-loop stall "
        "%7.2f ms  whole transfer %8.1f ms\n",
        name, t.records, t.logLines, t.deliveries, t.slowestMs, t.frameDeliveries, t.slowestFrameMs,
        t.frameDeliveries ? t.frameMsTotal / t.frameDeliveries : 0.0, t.longestStallMs, t.wallMs);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    qputenv("VENTRIX_SYSTEM_PORTS", "");
    QApplication app(argc, argv);
    // A search that finds nothing ends in a message box; close it and fail.
    QTimer closeMessageBoxes;
    QObject::connect(&closeMessageBoxes, &QTimer::timeout, [] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            modal->close();
        }
    });
    closeMessageBoxes.start(10);

    QList<int> sizes;
    for (int i = 1; i < argc; ++i) {
        sizes << QString::fromLocal8Bit(argv[i]).toInt();
    }
    if (sizes.isEmpty()) {
        sizes = {6553, 100};
    }
    bool ok = true;
    Timing single;
    ok = measure(6553, 6553, single) && ok;
    report("one frame of 6553 records", single);
    for (int perFrame : sizes) {
        Timing session;
        ok = measure(100000, perFrame, session) && ok;
        const QByteArray name = "100000 records, " + QByteArray::number(perFrame) + "/frame";
        report(name.constData(), session);
    }
    return ok ? 0 : 1;
}
