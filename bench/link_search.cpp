// The device search and the automatic reconnection of the link, timed as an
// operator sees them:
//  - search: eight silent pseudo-terminals listed before the detector
//    simulator; the time DetectorLink::findDevice takes to find it;
//  - plug-in: the link waits for a detector at a path that does not exist;
//    the time from the path appearing to the link being Open.
// Each is run five times and reported as the median.
//
//   bench_link_search

#include <fcntl.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "link/DetectorLink.h"

namespace {

constexpr int kRuns = 5;
constexpr int kSilentPorts = 8;

// A pseudo-terminal whose far side never answers.
class SilentPort {
public:
    SilentPort() : master_(posix_openpt(O_RDWR | O_NOCTTY)) {
        if (master_ >= 0 && grantpt(master_) == 0 && unlockpt(master_) == 0)
            path_ = QString::fromLocal8Bit(ptsname(master_));
    }
    ~SilentPort() { ::close(master_); }
    QString path() const { return path_; }

private:
    int master_;
    QString path_;
};

QString startSimulator(QProcess& sim) {
    sim.start(VENTRIX_DETECTOR_SIM, QStringList());
    if (!sim.waitForStarted(5000))
        return QString();
    while (!sim.canReadLine() && sim.waitForReadyRead(5000)) {
    }
    return QString::fromLocal8Bit(sim.readLine()).trimmed();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double searchMs(const QString& detector) {
    std::vector<SilentPort> silent(kSilentPorts);
    QStringList ports;
    for (const SilentPort& port : silent)
        ports << port.path();
    ports << detector;
    qputenv("VENTRIX_EXTRA_PORTS", ports.join(':').toLocal8Bit());
    DetectorLink link;
    QElapsedTimer timer;
    timer.start();
    const bool found = link.findDevice().found();
    const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    return found ? ms : -1;
}

double plugInMs(const QString& detector) {
    QTemporaryDir dir;
    const QString path = dir.filePath("ttyDetector");
    qputenv("VENTRIX_EXTRA_PORTS", path.toLocal8Bit());
    DetectorLink link;
    link.findDevice();
    QElapsedTimer timer;
    timer.start();
    QFile::link(detector, path);
    while (!link.isOpen() && timer.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    return link.isOpen() ? static_cast<double>(timer.nsecsElapsed()) / 1e6 : -1;
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    std::freopen("/dev/null", "w", stdout);
    QProcess sim;
    const QString detector = startSimulator(sim);
    if (!detector.startsWith("/dev/")) {
        std::fprintf(stderr, "bench_link_search: the simulator did not start\n");
        return 1;
    }
    qputenv("VENTRIX_SYSTEM_PORTS", "");
    std::vector<double> search, plugIn;
    for (int run = 0; run < kRuns; ++run) {
        search.push_back(searchMs(detector));
        plugIn.push_back(plugInMs(detector));
    }
    std::fprintf(stderr, "search, %d silent ports first: median %.0f ms (target <= 500)\n",
                 kSilentPorts, median(search));
    std::fprintf(stderr, "port appears -> Open: median %.0f ms (target <= 3000)\n", median(plugIn));
    sim.terminate();
    sim.waitForFinished(5000);
    return 0;
}
