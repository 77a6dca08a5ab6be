#pragma once

#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QSerialPort>
#include <QStringList>

#include "link/DetectorRecord.h"
#include "link/FrameReader.h"
#include "link/LinkEvents.h"
#include "link/PortSearch.h"
#include "link/ReadStarter.h"

class QTimer;

// The link to the detector, without a window: the one serial port, the device search,
// the query, the frame reader, the reply and the record store. It says what happened
// through signals; the panel and the log wording only follow them.
//
// The port is Open or Closed. While it is Closed for a reason other than the operator's
// CLOSE, the link searches again by itself: at once when a candidate port appears, and
// every few seconds for the ports that are there but were not taken. A port where a
// detector is still sending a reply is read (and what comes is thrown away) until it has
// been silent for a while; then it is asked to identify itself again.
//
// The reply to a query is one state machine (ReplyState). A query is Sending until the
// port has passed its bytes on; only then is the previous result set emptied. The reply
// is Waiting until its first byte, Receiving until the line has been silent for a while
// after its last byte, and then Ended: Done, None, Stopped (the port was closed) or Lost
// (the line failed). Bytes after a Done or None end re-open that reply; bytes after a
// Stopped or Lost end are read and counted but not stored (Ignoring) until the next
// query. Sending, Waiting, Receiving and Ignoring are busy.
class DetectorLink : public QObject {
    Q_OBJECT

public:
    enum class QueryResult { Sent, NotOpen, NotSent, Busy };

    // The times the reply and the search follow; tests make them shorter.
    struct Timing {
        // The first byte of a reply comes within this time after the query left ...
        int firstByteMs = 10000;
        // ... and the reply has ended this long after its last byte.
        int replyEndMs = 3500;
        // A query still in the port's buffer after this time was not sent.
        int sendLimitMs = 2000;
        // A detector still sending is asked again after this long without a byte.
        int drainSilenceMs = 1000;
        // While Closed, ports that are there but were not taken are searched this often.
        int retryMs = 3000;
    };

    explicit DetectorLink(QObject* parent = nullptr);
    ~DetectorLink() override;

    void setTiming(const Timing& timing) { m_timing = timing; }
    // The ports every search tries from now on, in this order; empty (the default): the
    // candidate ports of the system and VENTRIX_*_PORTS.
    void setSearchPorts(const QStringList& ports) { m_searchPorts = ports; }
    const RecordStore& records() const { return m_records; }
    bool isOpen() const;
    bool isBusy() const;
    bool isSearching() const { return m_search != nullptr; }
    bool isWatching() const;
    // False from a Stopped or Lost end until the next query leaves.
    bool isStoreComplete() const { return m_storeComplete; }
    QString portName() const;

    // Searches every candidate port at once and waits for the result (before any
    // window is shown); found, the port is open and configured.
    SearchResult findDevice();
    // Waits for the running search, or the next one the link starts by itself, to
    // finish; `signal` of `interrupter` (when given) ends the wait with an empty result.
    SearchResult waitForSearch(const QObject* interrupter = nullptr, const char* signal = nullptr);
    // Starts the same search and returns at once; searchFinished() brings the result.
    void startSearch();
    // Closes the port and starts a search.
    void refindDevice();
    // Opens the named port as the operator asks; false when it cannot be opened.
    bool openPort(const QString& portName);
    // Closes the port as the operator asks: a reply under way is Stopped, and the port
    // stays closed until opened again.
    void closePort();
    // Hands the query for the records between `start` and `end` to the port. The
    // previous result set is emptied once the query has left; queryNotSent() reports a
    // query that did not, with the previous records intact.
    QueryResult sendQuery(const QDateTime& start, const QDateTime& end);

signals:
    void opened(const QString& portName);
    void closed();
    void deviceFound(const QString& portName);
    void searchStarted();
    void searchFinished(const SearchResult& result);
    void busyChanged(bool busy);
    void recordsCleared();
    // One per reply frame of 9 bytes or more: its records are the `count` records of the
    // store from `first` on (none for a frame without whole records).
    void recordsAppended(int first, int count);
    void bytesDiscarded(int byteCount, DiscardReason reason);
    // Seconds since the query left, while no byte of the reply has come.
    void waiting(int seconds);
    // Records received so far for the running reply, and the share of the queried time
    // range they cover (0 to 100), from the newest record's time stamp.
    void progress(int records, int percent);
    // The whole reply's record count and the frames rejected during it.
    void replyEnded(ReplyOutcome outcome, int records, int framesDiscarded);
    // Records that came after a Stopped or Lost end, when the line fell silent again.
    void recordsIgnored(int records);
    void lineLost(const QString& cause);
    void queryNotSent(const QString& reason);

public slots:
    void on_recvSlot();
    void on_errHandler(QSerialPort::SerialPortError errNum);

private slots:
    void on_bytesWritten(qint64 bytes);
    void on_sendLimit();
    void on_replyTimer();
    void on_waitTick();
    void on_searchDone();
    void on_watchPorts();
    void on_drainRead();
    void on_drainSilent();

private:
    void handleFrame(const unsigned char* frame, int length);
    void handleDiscard(int byteCount, DiscardReason reason);
    void bytesArrived();
    void startReceiving();
    void queryLeft();
    void abortQuery(const QString& reason);
    void endReply(ReplyOutcome outcome);
    void stopReply(ReplyOutcome outcome);
    void endIgnoring();
    void enterState(ReplyState state);
    void takeFoundPort(SearchResult& result);
    void shutPort();
    void linkLost(QSerialPort::SerialPortError error);
    void startWatching();
    void stopLooking();
    void startDraining(const QString& portName);
    void stopDraining();
    int rangeShare() const;

    QSerialPort* m_port;
    QSerialPort* m_drainPort;
    FrameReader m_reader;
    RecordStore m_records;
    Timing m_timing;
    ReplyState m_state = ReplyState::Idle;
    // What the state was before the query that is Sending, for a query that fails.
    ReplyState m_stateBeforeQuery = ReplyState::Idle;
    bool m_storeComplete = true;
    // Set by a Stopped or Lost end (or a query that may have left unconfirmed): later
    // bytes are not stored until the next query leaves.
    bool m_ignoreLateBytes = false;
    qint64 m_queryBytesLeft = 0;
    int m_framesDiscarded = 0;
    int m_recordsIgnored = 0;
    QDateTime m_queryStart;
    QDateTime m_queryEnd;
    QElapsedTimer m_waitingSince;
    // Sending: the limit for the query to leave the port.
    QTimer* m_sendTimer;
    // Waiting: the limit for the first byte; Receiving and Ignoring: silence after the
    // last byte.
    QTimer* m_replyTimer;
    QTimer* m_waitTicker;
    // Looks for ports to search while the link is Closed by no choice of the operator.
    QTimer* m_watchTimer;
    QTimer* m_drainTimer;
    ReadStarter m_readStarter;
    PortSearch* m_search = nullptr;
    bool m_closedByOperator = false;
    QElapsedTimer m_sinceSearch;
    QStringList m_knownPorts;
    QStringList m_searchPorts;
};
