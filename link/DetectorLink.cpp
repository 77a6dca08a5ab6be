#include "link/DetectorLink.h"

#include <QEventLoop>
#include <QTimer>

#include "link/LineErrors.h"
#include "link/LinkFrame.h"
#include "link/PortList.h"
#include "link/RecordDecoder.h"

namespace {

constexpr int kWatchIntervalMs = 1000;
constexpr int kWaitTickMs = 1000;

QTimer* makeTimer(QObject* owner, bool singleShot, const char* slot) {
    auto* timer = new QTimer(owner);
    timer->setSingleShot(singleShot);
    QObject::connect(timer, SIGNAL(timeout()), owner, slot);
    return timer;
}

bool isFrameReason(DiscardReason reason) {
    return reason != DiscardReason::NoHeader;
}

}  // namespace

DetectorLink::DetectorLink(QObject* parent)
    : QObject(parent),
      m_port(new QSerialPort(this)),
      m_drainPort(new QSerialPort(this)),
      m_sendTimer(makeTimer(this, true, SLOT(on_sendLimit()))),
      m_replyTimer(makeTimer(this, true, SLOT(on_replyTimer()))),
      m_waitTicker(makeTimer(this, false, SLOT(on_waitTick()))),
      m_watchTimer(makeTimer(this, false, SLOT(on_watchPorts()))),
      m_drainTimer(makeTimer(this, true, SLOT(on_drainSilent()))) {
    registerLinkEventTypes();
    qRegisterMetaType<SearchResult>("SearchResult");
    connect(m_port, SIGNAL(error(QSerialPort::SerialPortError)), this,
            SLOT(on_errHandler(QSerialPort::SerialPortError)));
    connect(m_port, SIGNAL(readyRead()), this, SLOT(on_recvSlot()));
    connect(m_port, SIGNAL(bytesWritten(qint64)), this, SLOT(on_bytesWritten(qint64)));
    connect(m_drainPort, SIGNAL(readyRead()), this, SLOT(on_drainRead()));
    m_readStarter.watch(m_port);
    m_readStarter.watch(m_drainPort);
    m_reader.setFrameHandler(
        [this](const unsigned char* frame, int length) { handleFrame(frame, length); });
    m_reader.setDiscardHandler(
        [this](int byteCount, DiscardReason reason) { handleDiscard(byteCount, reason); });
    m_sinceSearch.start();
}

// The ports are destroyed with the children, after this object has stopped being a
// DetectorLink: nothing they emit then may reach the slots.
DetectorLink::~DetectorLink() {
    disconnect(m_port, nullptr, this, nullptr);
    disconnect(m_drainPort, nullptr, this, nullptr);
}

bool DetectorLink::isOpen() const {
    return m_port->isOpen();
}

bool DetectorLink::isBusy() const {
    return m_state != ReplyState::Idle && m_state != ReplyState::Ended;
}

bool DetectorLink::isWatching() const {
    return m_watchTimer->isActive();
}

QString DetectorLink::portName() const {
    return m_port->portName();
}

// ---- Device search -------------------------------------------------------------------

SearchResult DetectorLink::findDevice() {
    startSearch();
    return waitForSearch();
}

SearchResult DetectorLink::waitForSearch(const QObject* interrupter, const char* signal) {
    SearchResult result;
    QEventLoop loop;
    const QMetaObject::Connection done =
        connect(this, &DetectorLink::searchFinished, &loop, [&](const SearchResult& finished) {
            result = finished;
            loop.quit();
        });
    if (interrupter != nullptr) {
        connect(interrupter, signal, &loop, SLOT(quit()));
    }
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    disconnect(done);
    return result;
}

void DetectorLink::startSearch() {
    if (m_search != nullptr) {
        return;
    }
    m_closedByOperator = false;
    stopLooking();
    m_search = new PortSearch(m_searchPorts.isEmpty() ? candidatePorts() : m_searchPorts, this);
    connect(m_search, SIGNAL(finished()), this, SLOT(on_searchDone()));
    emit searchStarted();
    m_search->start();
}

void DetectorLink::refindDevice() {
    if (isOpen()) {
        shutPort();
    }
    startSearch();
}

void DetectorLink::on_searchDone() {
    SearchResult result = m_search->result();
    m_search->deleteLater();
    m_search = nullptr;
    m_sinceSearch.restart();
    takeFoundPort(result);
    if (!result.found()) {
        const QString stillSending = result.stillSendingPort();
        if (stillSending.isEmpty()) {
            startWatching();
        } else {
            startDraining(stillSending);
        }
    }
    emit searchFinished(result);
}

// The search closed the port it found; the link's own port opens it again. A port that
// fails to open now is not reported as found.
void DetectorLink::takeFoundPort(SearchResult& result) {
    if (!result.found()) {
        return;
    }
    if (!openConfigured(*m_port, result.foundPort)) {
        result.openFailure = openFailureReason(*m_port, result.foundPort);
        result.foundPort.clear();
        return;
    }
    emit opened(result.foundPort);
    emit deviceFound(result.foundPort);
}

bool DetectorLink::openPort(const QString& portName) {
    if (isOpen()) {
        return true;
    }
    if (portName.isEmpty() || !openConfigured(*m_port, portName)) {
        return false;
    }
    m_closedByOperator = false;
    stopLooking();
    emit opened(portName);
    return true;
}

void DetectorLink::closePort() {
    m_closedByOperator = true;
    stopLooking();
    if (isOpen()) {
        shutPort();
    }
}

// The reply under way is Stopped; a query still in the buffer is thrown away with it.
void DetectorLink::shutPort() {
    m_port->clear(QSerialPort::AllDirections);
    m_port->close();
    emit closed();
    if (m_state == ReplyState::Sending) {
        abortQuery(QStringLiteral("the port was closed before the query left"));
    } else {
        stopReply(ReplyOutcome::Stopped);
    }
}

// A line that fails while the link is Open has gone for good (an unplugged adapter, a
// peer that hung up); left open, the port would report a read error on every turn of
// the event loop.
void DetectorLink::linkLost(QSerialPort::SerialPortError error) {
    const QString portError = m_port->errorString();
    m_port->close();
    emit closed();
    emit lineLost(lineLostCause(error));
    if (m_state == ReplyState::Sending) {
        abortQuery(portError);
    } else {
        stopReply(ReplyOutcome::Lost);
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
        if (m_state == ReplyState::Sending) {
            abortQuery(m_port->errorString());
        }
    } else if (isLineLost(errNum)) {
        linkLost(errNum);
    }
}

void DetectorLink::startWatching() {
    if (m_closedByOperator || isOpen()) {
        return;
    }
    m_knownPorts = presentPorts();
    m_watchTimer->start(kWatchIntervalMs);
}

// Neither watches the ports nor drains one: the operator or a search has taken over.
void DetectorLink::stopLooking() {
    m_watchTimer->stop();
    stopDraining();
}

// A port that newly appears is searched at once, the others every few seconds.
void DetectorLink::on_watchPorts() {
    const QStringList present = presentPorts();
    bool appeared = false;
    for (const QString& port : present) {
        appeared = appeared || !m_knownPorts.contains(port);
    }
    m_knownPorts = present;
    if (appeared || m_sinceSearch.elapsed() >= m_timing.retryMs) {
        startSearch();
    }
}

void DetectorLink::startDraining(const QString& portName) {
    if (!openConfigured(*m_drainPort, portName)) {
        startWatching();
        return;
    }
    m_drainTimer->start(m_timing.drainSilenceMs);
}

void DetectorLink::stopDraining() {
    m_drainTimer->stop();
    if (m_drainPort->isOpen()) {
        m_drainPort->clear(QSerialPort::AllDirections);
        m_drainPort->close();
    }
}

void DetectorLink::on_drainRead() {
    m_drainPort->readAll();
    m_drainTimer->start(m_timing.drainSilenceMs);
}

void DetectorLink::on_drainSilent() {
    stopDraining();
    startSearch();
}

// ---- Query and reply -----------------------------------------------------------------

DetectorLink::QueryResult DetectorLink::sendQuery(const QDateTime& start, const QDateTime& end) {
    if (!isOpen()) {
        return QueryResult::NotOpen;
    }
    if (isBusy()) {
        return QueryResult::Busy;
    }
    const QByteArray frame = queryFrame(start, end);
    printLine(frameHexText(frame));
    if (m_port->write(frame) != frame.size()) {
        emit queryNotSent(m_port->errorString());
        return QueryResult::NotSent;
    }
    m_queryStart = start;
    m_queryEnd = end;
    m_queryBytesLeft = frame.size();
    m_stateBeforeQuery = m_state;
    enterState(ReplyState::Sending);
    m_sendTimer->start(m_timing.sendLimitMs);
    return QueryResult::Sent;
}

void DetectorLink::on_bytesWritten(qint64 bytes) {
    m_queryBytesLeft -= bytes;
    if (m_state == ReplyState::Sending && m_queryBytesLeft <= 0) {
        queryLeft();
    }
}

// Some drivers report written bytes late or not at all; an empty output buffer says
// that the query was passed on all the same.
void DetectorLink::on_sendLimit() {
    if (m_state != ReplyState::Sending) {
        return;
    }
    if (m_port->bytesToWrite() == 0) {
        queryLeft();
        return;
    }
    m_port->clear(QSerialPort::Output);
    abortQuery(
        QStringLiteral("the port did not send it within %1 s").arg(m_timing.sendLimitMs / 1000.0));
}

// From here on the previous result set is gone and the reply counts from zero.
void DetectorLink::queryLeft() {
    m_sendTimer->stop();
    m_records.clear();
    m_framesDiscarded = 0;
    m_storeComplete = true;
    m_ignoreLateBytes = false;
    emit recordsCleared();
    enterState(ReplyState::Waiting);
    m_replyTimer->start(m_timing.firstByteMs);
    m_waitingSince.start();
    m_waitTicker->start(kWaitTickMs);
    emit waiting(0);
}

// The records stay as they were. Whether a query that was being sent reached the
// detector cannot be known, so a reply that may still come is not stored.
void DetectorLink::abortQuery(const QString& reason) {
    m_sendTimer->stop();
    m_ignoreLateBytes = true;
    m_state = m_stateBeforeQuery == ReplyState::Idle ? ReplyState::Idle : ReplyState::Ended;
    emit queryNotSent(reason);
    emit busyChanged(false);
}

void DetectorLink::on_waitTick() {
    if (m_state == ReplyState::Waiting) {
        emit waiting(static_cast<int>((m_waitingSince.elapsed() + 500) / 1000));
    }
}

void DetectorLink::on_recvSlot() {
    const QByteArray bytes = m_port->readAll();
    if (bytes.isEmpty()) {
        return;
    }
    bytesArrived();
    m_reader.receive(bytes);
}

// Bytes begin a reply, re-open the one that ended, or are the tail of a stopped one.
void DetectorLink::bytesArrived() {
    switch (m_state) {
        case ReplyState::Idle:
        case ReplyState::Ended:
            m_recordsIgnored = 0;
            enterState(m_ignoreLateBytes ? ReplyState::Ignoring : ReplyState::Receiving);
            break;
        case ReplyState::Waiting:
            startReceiving();
            break;
        case ReplyState::Sending:
        case ReplyState::Receiving:
        case ReplyState::Ignoring:
            break;
    }
    if (m_state != ReplyState::Sending) {
        m_replyTimer->start(m_timing.replyEndMs);
    }
}

void DetectorLink::handleFrame(const unsigned char* frame, int length) {
    if (length < kShortestReplyFrame) {
        return;
    }
    if (m_state == ReplyState::Sending) {
        queryLeft();
        startReceiving();
    }
    if (m_state == ReplyState::Ignoring) {
        m_recordsIgnored += replyRecordCount(frame, length);
        return;
    }
    const int first = static_cast<int>(m_records.size());
    const int count = decodeRecords(frame, length, m_records);
    emit recordsAppended(first, count);
    if (count > 0) {
        emit progress(static_cast<int>(m_records.size()), rangeShare());
    }
}

// The first byte of the reply has come; the reply ends once the line falls silent.
void DetectorLink::startReceiving() {
    m_waitTicker->stop();
    enterState(ReplyState::Receiving);
    m_replyTimer->start(m_timing.replyEndMs);
}

void DetectorLink::handleDiscard(int byteCount, DiscardReason reason) {
    if (isFrameReason(reason) && m_state != ReplyState::Ignoring) {
        ++m_framesDiscarded;
    }
    emit bytesDiscarded(byteCount, reason);
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

void DetectorLink::on_replyTimer() {
    switch (m_state) {
        case ReplyState::Waiting:
        case ReplyState::Receiving:
            m_reader.endOfReply();
            endReply(m_records.empty() && m_framesDiscarded == 0 ? ReplyOutcome::None
                                                                 : ReplyOutcome::Done);
            break;
        case ReplyState::Ignoring:
            endIgnoring();
            break;
        default:
            break;
    }
}

// The port is closed or the line gone: what is buffered is all there will be.
void DetectorLink::stopReply(ReplyOutcome outcome) {
    if (m_state == ReplyState::Waiting || m_state == ReplyState::Receiving) {
        m_reader.endOfReply();
        endReply(outcome);
    } else if (m_state == ReplyState::Ignoring) {
        endIgnoring();
    } else {
        m_reader.endOfReply();
    }
}

// The end line comes before the busy state ends, so that everything that follows the
// busy state finds the reply complete.
void DetectorLink::endReply(ReplyOutcome outcome) {
    m_replyTimer->stop();
    m_waitTicker->stop();
    m_state = ReplyState::Ended;
    if (outcome == ReplyOutcome::Stopped || outcome == ReplyOutcome::Lost) {
        m_storeComplete = false;
        m_ignoreLateBytes = true;
    }
    emit replyEnded(outcome, static_cast<int>(m_records.size()), m_framesDiscarded);
    emit busyChanged(false);
}

void DetectorLink::endIgnoring() {
    m_replyTimer->stop();
    m_reader.endOfReply();
    m_state = ReplyState::Ended;
    emit recordsIgnored(m_recordsIgnored);
    emit busyChanged(false);
}

void DetectorLink::enterState(ReplyState state) {
    const bool wasBusy = isBusy();
    m_state = state;
    if (wasBusy != isBusy()) {
        emit busyChanged(isBusy());
    }
}
