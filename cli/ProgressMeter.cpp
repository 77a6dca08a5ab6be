#include "cli/ProgressMeter.h"

#include "cli/Console.h"
#include "link/RecordLog.h"

namespace {

constexpr int kBarRedrawMs = 200;
constexpr int kLineEveryMs = 20000;
constexpr int kBarWidth = 20;

}  // namespace

ProgressMeter::ProgressMeter(QObject* parent) : QObject(parent), m_terminal(stderrIsTerminal()) {
    m_ticker.setInterval(m_terminal ? kBarRedrawMs : kLineEveryMs);
    connect(&m_ticker, SIGNAL(timeout()), this, SLOT(on_tick()));
}

void ProgressMeter::on_waiting(int seconds) {
    m_waitingSeconds = seconds;
    start();
}

void ProgressMeter::on_progress(int records, int percent) {
    if (!m_receiving) {
        m_receiving = true;
        m_receivingSince.start();
    }
    m_records = records;
    m_percent = percent;
    m_receivingMs = m_receivingSince.elapsed();
    start();
}

// The first news shows at once, then the ticker takes over.
void ProgressMeter::start() {
    if (!m_ticker.isActive()) {
        m_ticker.start();
        on_tick();
    }
}

void ProgressMeter::on_tick() {
    if (!m_terminal) {
        printNote(statusText());
        return;
    }
    const QString bar = barText();
    const int wiped = qMax(0, m_barLength - bar.size());
    printToStderr(QLatin1Char('\r') + bar + QString(wiped, QLatin1Char(' ')));
    m_barLength = bar.size();
}

void ProgressMeter::printLines(const QStringList& lines) {
    clearBar();
    for (const QString& line : lines) {
        printNote(line);
    }
}

void ProgressMeter::finish() {
    m_ticker.stop();
    clearBar();
}

// The window's status words, with the rate once records have come for a second.
QString ProgressMeter::statusText() const {
    if (!m_receiving) {
        return waitingText(m_waitingSeconds);
    }
    return receivingText(m_records, m_percent) + rateSuffix();
}

// "[#####---------------]  25 %, n records, r records/s", short enough for any terminal.
QString ProgressMeter::barText() const {
    if (!m_receiving) {
        return statusText();
    }
    const int filled = m_percent * kBarWidth / 100;
    return QStringLiteral("[%1%2] %3 %, %4 records%5")
        .arg(QString(filled, QLatin1Char('#')), QString(kBarWidth - filled, QLatin1Char('-')))
        .arg(m_percent, 3)
        .arg(m_records)
        .arg(rateSuffix());
}

// ", r records/s" up to the newest records, so that the silence that ends a reply does
// not lower it.
QString ProgressMeter::rateSuffix() const {
    return m_receivingMs < 1000
               ? QString()
               : QStringLiteral(", %1 records/s").arg(m_records * 1000LL / m_receivingMs);
}

void ProgressMeter::clearBar() {
    if (m_barLength > 0) {
        printToStderr(QLatin1Char('\r') + QString(m_barLength, QLatin1Char(' ')) +
                      QLatin1Char('\r'));
        m_barLength = 0;
    }
}
