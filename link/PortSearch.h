#pragma once

#include <QSerialPort>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class QEventLoop;

// What became of one port the device search tried.
struct PortVerdict {
    enum class Outcome { Found, CannotOpen, NoAnswer, OtherDevice, NotReached };
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

    bool found() const { return !foundPort.isEmpty(); }
    // One line per port tried and why it was not taken, for the operator.
    QStringList failureLines() const;
};

// Sends the identify command to every candidate port at once and waits one identify
// budget for the answers. The result is what trying the ports one at a time would give:
// the first port in list order whose bytes hold the detector's identify answer. Bytes
// waiting on a port before the command are discarded; the answer may come among other
// bytes (a detector still finishing an earlier reply). Every port is closed again.
//
// Runs a local event loop that leaves out user input, so the window is not frozen by
// anything the operator can start.
class PortSearch {
public:
    static constexpr int kIdentifyBudgetMs = 400;

    explicit PortSearch(const QStringList& candidates);
    ~PortSearch();
    PortSearch(const PortSearch&) = delete;
    PortSearch& operator=(const PortSearch&) = delete;

    SearchResult run();

private:
    struct Probe;

    void openAndIdentify(Probe& probe);
    void collect(Probe& probe);
    bool decided() const;
    SearchResult conclude() const;

    std::vector<std::unique_ptr<Probe>> m_probes;
    QEventLoop* m_loop = nullptr;
};

// Opens `port` read-write with the link's settings: 115200 baud, 8 data bits, no
// parity, one stop bit, no flow control.
bool openConfigured(QSerialPort& port, const QString& portName);

// Writes `text` to standard output and flushes it at once, so that a reader of the
// program's output sees each line as it happens.
void printLine(const QByteArray& text);
