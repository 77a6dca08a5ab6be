#pragma once

#include <QDateTime>
#include <QObject>
#include <QSerialPort>
#include <QStringList>

#include "link/DetectorRecord.h"
#include "link/FrameReader.h"
#include "link/PortSearch.h"

class QTimer;

// The link to the detector, without a window: the one serial port, the device search,
// the query, the frame reader and the record store. It says what happened through
// signals; the panel only shows it.
//
// The link is Open (port open) or Closed. While it is Closed because no detector was
// found or the line was lost, it looks at the candidate ports about once a second and
// searches again by itself when one appears. Closed by the operator, it stays closed.
//
// From a query until its reply has ended (no byte for a second after the last one, or
// none at all within three seconds) the link is busy.
class DetectorLink : public QObject {
    Q_OBJECT

public:
    enum class QueryResult { Sent, NotOpen, NotSent };

    explicit DetectorLink(QObject* parent = nullptr);
    ~DetectorLink() override;

    const RecordStore& records() const { return m_records; }
    bool isOpen() const;
    bool isBusy() const { return m_busy; }
    bool isWatching() const;
    QString portName() const;

    // Searches every candidate port at once; found, the port is open and configured.
    SearchResult findDevice();
    // Closes the port and searches again.
    SearchResult refindDevice();
    // Opens the named port as the operator asks; false when it cannot be opened.
    bool openPort(const QString& portName);
    // Closes the port as the operator asks: it stays closed until opened again.
    void closePort();
    // Sends the query for the records between `start` and `end`. A query that is sent
    // ends the previous result set; one that is not keeps it.
    QueryResult sendQuery(const QDateTime& start, const QDateTime& end);

signals:
    void logLines(const QStringList& lines);
    void opened(const QString& portName);
    void closed();
    void busyChanged(bool busy);
    // Records received so far for the running query, and the share of its time range
    // they cover (0 to 100), from the newest record's time stamp.
    void progress(int records, int percent);
    void recordsAppended(int first, int count);
    void recordsCleared();
    void queryNotSent(const QString& portError);

public slots:
    // The unit of the log lines of frames handled from now on.
    void setUnitIndex(int unitIndex) { m_unitIndex = unitIndex; }
    void on_recvSlot();
    void on_errHandler(QSerialPort::SerialPortError errNum);

private slots:
    void on_lineQuiet();
    void on_replyEnded();
    void on_watchPorts();

private:
    void handleFrame(const unsigned char* frame, int length);
    void takeFoundPort(const SearchResult& result);
    void shutPort();
    void linkLost(QSerialPort::SerialPortError error);
    void endBusy();
    void startWatching();
    void stopWatching();
    void log(const QString& line);
    int rangeShare() const;

    QSerialPort* m_port;
    FrameReader m_reader;
    RecordStore m_records;
    int m_unitIndex = 0;
    bool m_busy = false;
    QDateTime m_queryStart;
    QDateTime m_queryEnd;
    // Restarted by every delivery; when it runs out, the line has gone quiet.
    QTimer* m_quietTimer;
    // Ends the busy state: started by a query, restarted by every delivery.
    QTimer* m_replyTimer;
    // Looks for ports that appear while the link waits for a detector.
    QTimer* m_watchTimer;
    QStringList m_knownPorts;
};
