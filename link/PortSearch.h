#pragma once

#include <QMetaType>
#include <QObject>
#include <QSerialPort>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <memory>
#include <vector>

#include "link/ReadStarter.h"

// What became of one port the device search tried.
struct PortVerdict {
    enum class Outcome { Found, CannotOpen, NoAnswer, OtherDevice, StillSending, NotReached };
    QString portName;
    Outcome outcome = Outcome::NotReached;
    // For CannotOpen: why, from the port's own error.
    QString reason;
};

struct SearchResult {
    // Every candidate port in list order.
    std::vector<PortVerdict> verdicts;
    // The port where the detector answered; empty when none did.
    QString foundPort;
    // Why the port where the detector answered could not be opened again for the link;
    // empty when it could (foundPort is then empty as well).
    QString openFailure;

    bool found() const { return !foundPort.isEmpty(); }
    // The first port where a detector is still sending a reply; empty when none is.
    QString stillSendingPort() const;
    // One line per port tried and why it was not taken, for the operator.
    QStringList failureLines() const;
    // failureLines(), or the one line "No serial port was found." when there was no port
    // to try.
    QStringList reportLines() const;
};

Q_DECLARE_METATYPE(SearchResult)

// Sends the identify command to every candidate port at once and waits one identify
// budget for the answers. The result is what trying the ports one at a time would give:
// the first port in list order whose bytes hold the detector's identify answer. Bytes
// waiting on a port before the command are discarded; the answer may come among other
// bytes (a detector still finishing an earlier reply). A port that answers with frames
// of the link but without the identify answer is a detector still sending a reply.
// Every port is closed again.
//
// Runs on the ports' signals and a timer: start() returns at once and finished() comes
// from the event loop.
class PortSearch : public QObject {
    Q_OBJECT

public:
    static constexpr int kIdentifyBudgetMs = 400;

    explicit PortSearch(const QStringList& candidates, QObject* parent = nullptr);
    ~PortSearch() override;

    // Opens every candidate port and sends it the identify command.
    void start();

    // Complete once finished() has been emitted.
    const SearchResult& result() const { return m_result; }

signals:
    void finished();

private slots:
    void finish();

private:
    struct Probe;

    void openAndIdentify(Probe& probe);
    void collect(Probe& probe);
    bool decided() const;
    void conclude();

    std::vector<std::unique_ptr<Probe>> m_probes;
    QTimer m_budget;
    ReadStarter m_readStarter;
    SearchResult m_result;
    bool m_finished = false;
};

// Opens `port` read-write with the link's settings: 115200 baud, 8 data bits, no
// parity, one stop bit, no flow control.
bool openConfigured(QSerialPort& port, const QString& portName);

// Why an open of `portName` on `port` failed, in the operator's words.
QString openFailureReason(const QSerialPort& port, const QString& portName);

// Where the diagnostic lines go: standard output (the default), standard error, or
// nowhere. One choice for the whole process, made before anything is printed.
enum class DiagnosticChannel { StandardOutput, StandardError, None };
void setDiagnosticChannel(DiagnosticChannel channel);

// Writes `text` to the diagnostic channel and flushes it at once, so that a reader of
// the program's output sees each line as it happens.
void printLine(const QByteArray& text);
