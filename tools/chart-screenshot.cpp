// Renders the chart window offscreen with the records of one query to the
// detector simulator and saves it as a PNG, for the README:
//
//   chart-screenshot OUT.png
//
// The simulator serves gas readings on a pseudo-terminal; the panel finds it,
// queries a month in %LEL.M, and the chart shows what arrived.
#include <qwt_plot.h>
#include <qwt_plot_canvas.h>
#include <QApplication>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QTextStream>
#include <QThread>

#include "chart/RecordChart.h"
#include "link/DetectorLink.h"
#include "link/SerialWidget.h"
#include "widgets/ApplicationFont.h"

namespace {

const char* const kFirst = "2024-03-01 00:00:00";
const char* const kQueryEnd = "2024-03-31 23:59:59";
constexpr int kGiveUpMs = 20000;

QString startSimulator(QProcess& simulator) {
    simulator.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    simulator.start(VENTRIX_DETECTOR_SIM, {"--values", "readings", "--records", "2000", "--seed",
                                           "7", "--first", kFirst, "--per-frame", "500"});
    if (!simulator.waitForStarted(5000))
        return QString();
    while (!simulator.canReadLine() && simulator.waitForReadyRead(5000)) {
    }
    return QString::fromLocal8Bit(simulator.readLine()).trimmed();
}

QPushButton* button(const QWidget& parent, const QString& caption) {
    for (QPushButton* candidate : parent.findChildren<QPushButton*>()) {
        if (candidate->text() == caption)
            return candidate;
    }
    return nullptr;
}

// Runs the event loop until the reply has ended.
void waitForRecords(const SerialWidget& panel) {
    QElapsedTimer total;
    total.start();
    while (total.elapsed() < kGiveUpMs && panel.link()->isBusy()) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
}

void query(SerialWidget& panel) {
    const QString format = QStringLiteral("yyyy-MM-dd hh:mm:ss");
    panel.findChild<QComboBox*>("unitCombo")->setCurrentIndex(1);
    panel.findChild<QDateTimeEdit*>("startEdit")
        ->setDateTime(QDateTime::fromString(kFirst, format));
    panel.findChild<QDateTimeEdit*>("endEdit")->setDateTime(
        QDateTime::fromString(kQueryEnd, format));
    button(panel, "QUERY DATA")->click();
    waitForRecords(panel);
}

// A pointer resting on the plot, so that the picture shows its read-out.
void pointAt(RecordChart& chart, double xShare, double yShare) {
    QWidget* canvas = chart.plot()->canvas();
    const QPoint position(static_cast<int>(canvas->width() * xShare),
                          static_cast<int>(canvas->height() * yShare));
    QMouseEvent move(QEvent::MouseMove, position, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(canvas, &move);
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    useApplicationFont();
    if (argc != 2) {
        QTextStream(stderr) << "usage: chart-screenshot OUT.png\n";
        return 2;
    }
    QProcess simulator;
    const QString port = startSimulator(simulator);
    if (!port.startsWith("/dev/")) {
        QTextStream(stderr) << "chart-screenshot: the detector simulator did not start\n";
        return 1;
    }
    qputenv("VENTRIX_SYSTEM_PORTS", "");
    qputenv("VENTRIX_EXTRA_PORTS", port.toLocal8Bit());

    SerialWidget panel;
    query(panel);
    button(panel, "CHART")->click();
    auto* chart = panel.findChild<RecordChart*>();
    chart->resize(1000, 560);
    chart->refresh();
    QApplication::processEvents();
    pointAt(*chart, 0.62, 0.3);
    QApplication::processEvents();

    simulator.terminate();
    simulator.waitForFinished(5000);
    if (panel.records().empty() || !chart->grab().save(QString::fromLocal8Bit(argv[1]))) {
        QTextStream(stderr) << "chart-screenshot: no records, or cannot write " << argv[1] << "\n";
        return 1;
    }
    return 0;
}
