#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include "link/LinkEvents.h"

class DetectorLink;

// The words for what a DetectorLink reports, without a window: the log lines (a header
// and one line per record for every reply frame, discarded bytes, the end of a reply, a
// lost line, a query that did not leave, a device found) and the status text for the
// title bar. The serial panel shows them; a program without a window can print them.
class LinkLog : public QObject {
    Q_OBJECT

public:
    explicit LinkLog(DetectorLink* link, QObject* parent = nullptr);

signals:
    void lines(const QStringList& lines);
    void statusTextChanged(const QString& text);

public slots:
    // The unit of the record lines of frames handled from now on.
    void setUnitIndex(int unitIndex) { m_unitIndex = unitIndex; }

private slots:
    void on_recordsAppended(int first, int count);
    void on_bytesDiscarded(int byteCount, DiscardReason reason);
    void on_replyEnded(ReplyOutcome outcome, int records, int framesDiscarded);
    void on_recordsIgnored(int records);
    void on_lineLost(const QString& cause);
    void on_queryNotSent(const QString& reason);
    void on_deviceFound(const QString& portName);
    void on_waiting(int seconds);
    void on_progress(int records, int percent);
    void on_busyChanged(bool busy);

private:
    void log(const QString& line);
    void setStatus(const QString& text);

    DetectorLink* m_link;
    int m_unitIndex = 0;
    // The status text last sent, so that each change goes out once.
    QString m_status;
};
