#include "link/PortSearch.h"

#include <QFile>
#include <cstdio>

#include "link/LinkFrame.h"

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

struct PortSearch::Probe {
    PortVerdict verdict;
    QSerialPort port;
    QByteArray bytes;
    // Where the identify answer starts in `bytes`, or -1.
    int answerAt = -1;

    bool answered() const { return answerAt >= 0; }
    // The head of a reply frame without an identify answer: a detector that is still
    // sending the reply to an earlier query.
    bool stillSending() const {
        static const QByteArray replyHead = QByteArray::fromHex("0a0b0b");
        return !answered() && bytes.contains(replyHead);
    }
    bool answerComplete() const {
        return answered() &&
               bytes.size() - answerAt >=
                   framePayloadLength(reinterpret_cast<const unsigned char*>(bytes.constData()) +
                                      answerAt) +
                       kFrameOverhead;
    }
};

namespace {

DiagnosticChannel g_diagnosticChannel = DiagnosticChannel::StandardOutput;

// Where the detector's identify answer starts among `bytes`, or -1.
int identifyAnswerIndex(const QByteArray& bytes) {
    for (int at = bytes.indexOf(char(kFrameHeader0)); at >= 0;
         at = bytes.indexOf(char(kFrameHeader0), at + 1)) {
        if (bytes.size() - at < kIdentifyAnswerCheckLength) {
            return -1;
        }
        if (isIdentifyAnswer(bytes.mid(at, kIdentifyAnswerCheckLength))) {
            return at;
        }
    }
    return -1;
}

// The device's own access rights decide whether "permission denied" is the cause: a
// port that we may read and write but cannot open is held by another program.
bool mayOpen(const QString& portName) {
#ifdef Q_OS_UNIX
    const QString path = portName.startsWith('/') ? portName : QStringLiteral("/dev/") + portName;
    return ::access(QFile::encodeName(path).constData(), R_OK | W_OK) == 0;
#else
    Q_UNUSED(portName);
    return true;
#endif
}

}  // namespace

void setDiagnosticChannel(DiagnosticChannel channel) {
    g_diagnosticChannel = channel;
}

void printLine(const QByteArray& text) {
    if (g_diagnosticChannel == DiagnosticChannel::None) {
        return;
    }
    std::FILE* out = g_diagnosticChannel == DiagnosticChannel::StandardError ? stderr : stdout;
    std::fputs(text.constData(), out);
    std::fflush(out);
}

// Why an open failed, in the operator's words: "permission denied" (with the hint on
// the serial group on Linux), "in use by another program", "no such port", or the
// port's own error text.
QString openFailureReason(const QSerialPort& port, const QString& portName) {
    switch (port.error()) {
        case QSerialPort::PermissionError:
            if (!mayOpen(portName)) {
#ifdef Q_OS_LINUX
                return QStringLiteral(
                    "permission denied (the user must be in the dialout group: "
                    "sudo usermod -aG dialout $USER, then log in again)");
#else
                return QStringLiteral("permission denied");
#endif
            }
            return QStringLiteral("in use by another program");
        case QSerialPort::DeviceNotFoundError:
            return QStringLiteral("no such port");
        default:
            return port.errorString();
    }
}

bool openConfigured(QSerialPort& port, const QString& portName) {
    port.setPortName(portName);
    if (!port.open(QIODevice::ReadWrite)) {
        return false;
    }
    port.setBaudRate(QSerialPort::Baud115200, QSerialPort::AllDirections);
    port.setParity(QSerialPort::NoParity);
    port.setDataBits(QSerialPort::Data8);
    port.setStopBits(QSerialPort::OneStop);
    port.setFlowControl(QSerialPort::NoFlowControl);
    return true;
}

QStringList SearchResult::failureLines() const {
    QStringList lines;
    for (const PortVerdict& verdict : verdicts) {
        switch (verdict.outcome) {
            case PortVerdict::Outcome::CannotOpen:
                lines << verdict.portName + QStringLiteral(": cannot open: ") + verdict.reason;
                break;
            case PortVerdict::Outcome::NoAnswer:
                lines << verdict.portName + QStringLiteral(": no answer");
                break;
            case PortVerdict::Outcome::OtherDevice:
                lines << verdict.portName + QStringLiteral(": a different device answered");
                break;
            case PortVerdict::Outcome::StillSending:
                lines << verdict.portName + QStringLiteral(": still sending a reply");
                break;
            case PortVerdict::Outcome::Found:
            case PortVerdict::Outcome::NotReached:
                break;
        }
    }
    return lines;
}

QStringList SearchResult::reportLines() const {
    const QStringList lines = failureLines();
    return lines.isEmpty() ? QStringList(QStringLiteral("No serial port was found.")) : lines;
}

QString SearchResult::stillSendingPort() const {
    for (const PortVerdict& verdict : verdicts) {
        if (verdict.outcome == PortVerdict::Outcome::StillSending) {
            return verdict.portName;
        }
    }
    return QString();
}

PortSearch::PortSearch(const QStringList& candidates, QObject* parent) : QObject(parent) {
    m_budget.setSingleShot(true);
    m_budget.setInterval(kIdentifyBudgetMs);
    connect(&m_budget, SIGNAL(timeout()), this, SLOT(finish()));
    for (const QString& name : candidates) {
        auto probe = std::make_unique<Probe>();
        probe->verdict.portName = name;
        m_probes.push_back(std::move(probe));
    }
}

PortSearch::~PortSearch() {
    for (const auto& probe : m_probes) {
        QObject::disconnect(&probe->port, nullptr, nullptr, nullptr);
        if (probe->port.isOpen()) {
            probe->port.clear(QSerialPort::AllDirections);
            probe->port.close();
        }
    }
}

void PortSearch::openAndIdentify(Probe& probe) {
    if (!openConfigured(probe.port, probe.verdict.portName)) {
        probe.verdict.outcome = PortVerdict::Outcome::CannotOpen;
        probe.verdict.reason = openFailureReason(probe.port, probe.verdict.portName);
        return;
    }
    probe.port.clear(QSerialPort::Input);
    probe.port.readAll();
    probe.port.write(identifyCommand());
    m_readStarter.watch(&probe.port);
    QObject::connect(&probe.port, &QSerialPort::readyRead, [this, &probe] { collect(probe); });
}

// An accepted answer is read to the end of its frame, so that no part of it reaches
// the receive path.
void PortSearch::collect(Probe& probe) {
    probe.bytes += probe.port.readAll();
    if (!probe.answered()) {
        probe.answerAt = identifyAnswerIndex(probe.bytes);
    }
    if (decided()) {
        QMetaObject::invokeMethod(this, "finish", Qt::QueuedConnection);
    }
}

// Decided once a port has its whole answer and every port before it failed to open:
// no earlier port can still answer first.
bool PortSearch::decided() const {
    for (const auto& probe : m_probes) {
        if (probe->answerComplete()) {
            return true;
        }
        if (probe->port.isOpen()) {
            return false;
        }
    }
    return true;
}

void PortSearch::start() {
    for (const auto& probe : m_probes) {
        openAndIdentify(*probe);
    }
    if (decided()) {
        QMetaObject::invokeMethod(this, "finish", Qt::QueuedConnection);
    } else {
        m_budget.start();
    }
}

// Reached from the budget's end or, queued, from the answer that decided the search;
// whichever comes second finds the search finished.
void PortSearch::finish() {
    if (m_finished) {
        return;
    }
    m_finished = true;
    m_budget.stop();
    conclude();
    for (const auto& probe : m_probes) {
        if (probe->port.isOpen()) {
            probe->port.clear(QSerialPort::AllDirections);
            probe->port.close();
        }
    }
    emit finished();
}

// The lines a one-at-a-time search prints: each port up to the one found.
void PortSearch::conclude() {
    bool found = false;
    for (const auto& probe : m_probes) {
        PortVerdict verdict = probe->verdict;
        if (!found) {
            printLine("device " + verdict.portName.toUtf8() + '\n');
            if (verdict.outcome == PortVerdict::Outcome::CannotOpen) {
                printLine("device can not open\n");
            } else if (probe->answered()) {
                verdict.outcome = PortVerdict::Outcome::Found;
                m_result.foundPort = verdict.portName;
                found = true;
                printLine("find device " + verdict.portName.toUtf8() + '\n');
            } else if (probe->stillSending()) {
                verdict.outcome = PortVerdict::Outcome::StillSending;
            } else {
                verdict.outcome = probe->bytes.isEmpty() ? PortVerdict::Outcome::NoAnswer
                                                         : PortVerdict::Outcome::OtherDevice;
            }
        }
        m_result.verdicts.push_back(verdict);
    }
}
