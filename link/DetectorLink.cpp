#include "link/DetectorLink.h"

#include <QTimer>

#include "link/LineErrors.h"
#include "link/LinkFrame.h"
#include "link/PortList.h"
#include "link/RecordLog.h"

namespace {

// A line without new bytes for this long has nothing more to deliver.
constexpr int kQuietLineMs = 200;
// A reply has ended when no byte came for this long after the last one ...
constexpr int kReplyEndMs = 1000;
// ... or when nothing came at all for this long after the query.
constexpr int kNoReplyMs = 3000;
constexpr int kWatchIntervalMs = 1000;

QTimer* makeTimer(QObject* owner, int intervalMs, bool singleShot, const char* slot) {
    auto* timer = new QTimer(owner);
    timer->setSingleShot(singleShot);
    timer->setInterval(intervalMs);
    QObject::connect(timer, SIGNAL(timeout()), owner, slot);
    return timer;
}

}  // namespace

DetectorLink::DetectorLink(QObject* parent)
    : QObject(parent),
      m_port(new QSerialPort(this)),
      m_quietTimer(makeTimer(this, kQuietLineMs, true, SLOT(on_lineQuiet()))),
      m_replyTimer(makeTimer(this, kNoReplyMs, true, SLOT(on_replyEnded()))),
      m_watchTimer(makeTimer(this, kWatchIntervalMs, false, SLOT(on_watchPorts()))) {
    connect(m_port, SIGNAL(error(QSerialPort::SerialPortError)), this,
            SLOT(on_errHandler(QSerialPort::SerialPortError)));
    connect(m_port, SIGNAL(readyRead()), this, SLOT(on_recvSlot()));
    m_reader.setFrameHandler(
        [this](const unsigned char* frame, int length) { handleFrame(frame, length); });
    m_reader.setDiscardHandler([this](int byteCount, DiscardReason reason) {
        log(discardLine(QDateTime::currentDateTime(), byteCount, reason));
    });
}

// The port is destroyed with the children, after this object has stopped being a
// DetectorLink: nothing it emits then may reach the slots.
DetectorLink::~DetectorLink() {
    disconnect(m_port, nullptr, this, nullptr);
}

bool DetectorLink::isOpen() const {
    return m_port->isOpen();
}

bool DetectorLink::isWatching() const {
    return m_watchTimer->isActive();
}

QString DetectorLink::portName() const {
    return m_port->portName();
}

SearchResult DetectorLink::findDevice() {
    stopWatching();
    const SearchResult result = PortSearch(candidatePorts()).run();
    takeFoundPort(result);
    return result;
}

SearchResult DetectorLink::refindDevice() {
    if (isOpen()) {
        shutPort();
    }
    return findDevice();
}

// The search closed the port it found; the link's own port opens it again.
void DetectorLink::takeFoundPort(const SearchResult& result) {
    if (result.found() && openConfigured(*m_port, result.foundPort)) {
        emit opened(result.foundPort);
        log(deviceFoundLine(QDateTime::currentDateTime(), result.foundPort));
    } else {
        startWatching();
    }
}

bool DetectorLink::openPort(const QString& portName) {
    if (isOpen()) {
        return true;
    }
    if (portName.isEmpty() || !openConfigured(*m_port, portName)) {
        return false;
    }
    stopWatching();
    emit opened(portName);
    return true;
}

void DetectorLink::closePort() {
    stopWatching();
    if (isOpen()) {
        shutPort();
    }
}

void DetectorLink::shutPort() {
    endBusy();
    m_port->clear(QSerialPort::AllDirections);
    m_port->close();
    emit closed();
}

DetectorLink::QueryResult DetectorLink::sendQuery(const QDateTime& start, const QDateTime& end) {
    if (!isOpen()) {
        return QueryResult::NotOpen;
    }
    const QByteArray frame = queryFrame(start, end);
    printLine(frameHexText(frame));
    if (m_port->write(frame) != frame.size()) {
        emit queryNotSent(m_port->errorString());
        return QueryResult::NotSent;
    }
    m_records.clear();
    emit recordsCleared();
    m_queryStart = start;
    m_queryEnd = end;
    m_busy = true;
    m_replyTimer->start(kNoReplyMs);
    emit busyChanged(true);
    emit progress(0, 0);
    return QueryResult::Sent;
}

void DetectorLink::on_recvSlot() {
    m_reader.receive(m_port->readAll());
    m_quietTimer->start();
    if (m_busy) {
        m_replyTimer->start(kReplyEndMs);
    }
}

void DetectorLink::handleFrame(const unsigned char* frame, int length) {
    const int first = static_cast<int>(m_records.size());
    const QStringList lines =
        handleReplyFrame(frame, length, m_unitIndex, QDateTime::currentDateTime(), m_records);
    if (!lines.isEmpty()) {
        emit logLines(lines);
    }
    const int count = static_cast<int>(m_records.size()) - first;
    if (count > 0) {
        emit recordsAppended(first, count);
        if (m_busy) {
            emit progress(static_cast<int>(m_records.size()), rangeShare());
        }
    }
}

// How far into the queried range the newest record reaches, in percent.
int DetectorLink::rangeShare() const {
    const qint64 span = m_queryStart.secsTo(m_queryEnd);
    const QDateTime newest =
        QDateTime::fromString(QLatin1String(m_records.back().timeText), "yyyy-MM-dd hh:mm:ss");
    if (span <= 0 || !newest.isValid()) {
        return 0;
    }
    const qint64 covered = m_queryStart.secsTo(newest);
    return static_cast<int>(qBound<qint64>(0, covered * 100 / span, 100));
}

void DetectorLink::on_lineQuiet() {
    m_reader.lineQuiet();
}

void DetectorLink::on_replyEnded() {
    if (!m_busy) {
        return;
    }
    m_reader.lineQuiet();
    log(replyEndLine(QDateTime::currentDateTime(), static_cast<int>(m_records.size())));
    endBusy();
}

void DetectorLink::endBusy() {
    m_replyTimer->stop();
    if (m_busy) {
        m_busy = false;
        emit busyChanged(false);
    }
}

// A line that fails while the link is Open has gone for good (an unplugged adapter, a
// peer that hung up); left open, the port would report a read error on every turn of
// the event loop. A query still waiting to go out was not sent.
void DetectorLink::linkLost(QSerialPort::SerialPortError error) {
    const bool queryWaiting = m_port->bytesToWrite() > 0;
    const QString portError = m_port->errorString();
    endBusy();
    m_port->close();
    emit closed();
    log(linkLostLine(QDateTime::currentDateTime(), lineLostCause(error)));
    if (queryWaiting) {
        emit queryNotSent(portError);
    }
    startWatching();
}

// Time-outs of waits are not failures of the line, and errors of a closed port
// (raised by the closing itself) are not a second loss.
void DetectorLink::on_errHandler(QSerialPort::SerialPortError errNum) {
    if (!m_port->isOpen()) {
        return;
    }
    if (errNum == QSerialPort::WriteError) {
        m_port->clear(QSerialPort::Output);
        endBusy();
        emit queryNotSent(m_port->errorString());
    } else if (isLineLost(errNum)) {
        linkLost(errNum);
    }
}

void DetectorLink::startWatching() {
    m_knownPorts = presentPorts();
    m_watchTimer->start();
}

void DetectorLink::stopWatching() {
    m_watchTimer->stop();
}

void DetectorLink::on_watchPorts() {
    const QStringList present = presentPorts();
    bool appeared = false;
    for (const QString& port : present) {
        appeared = appeared || !m_knownPorts.contains(port);
    }
    m_knownPorts = present;
    if (appeared) {
        findDevice();
    }
}

void DetectorLink::log(const QString& line) {
    emit logLines(QStringList(line));
}
