#include "link/LinkLog.h"

#include <QDateTime>

#include "link/DetectorLink.h"
#include "link/RecordLog.h"

LinkLog::LinkLog(DetectorLink* link, QObject* parent) : QObject(parent), m_link(link) {
    connect(link, SIGNAL(recordsAppended(int, int)), this, SLOT(on_recordsAppended(int, int)));
    connect(link, SIGNAL(bytesDiscarded(int, DiscardReason)), this,
            SLOT(on_bytesDiscarded(int, DiscardReason)));
    connect(link, SIGNAL(replyEnded(ReplyOutcome, int, int)), this,
            SLOT(on_replyEnded(ReplyOutcome, int, int)));
    connect(link, SIGNAL(recordsIgnored(int)), this, SLOT(on_recordsIgnored(int)));
    connect(link, SIGNAL(lineLost(QString)), this, SLOT(on_lineLost(QString)));
    connect(link, SIGNAL(queryNotSent(QString)), this, SLOT(on_queryNotSent(QString)));
    connect(link, SIGNAL(deviceFound(QString)), this, SLOT(on_deviceFound(QString)));
    connect(link, SIGNAL(waiting(int)), this, SLOT(on_waiting(int)));
    connect(link, SIGNAL(progress(int, int)), this, SLOT(on_progress(int, int)));
    connect(link, SIGNAL(busyChanged(bool)), this, SLOT(on_busyChanged(bool)));
}

// The header and the record lines of one frame go out as one block.
void LinkLog::on_recordsAppended(int first, int count) {
    emit lines(
        frameLines(QDateTime::currentDateTime(), m_link->records(), first, count, m_unitIndex));
}

void LinkLog::on_bytesDiscarded(int byteCount, DiscardReason reason) {
    log(discardLine(QDateTime::currentDateTime(), byteCount, reason));
}

void LinkLog::on_replyEnded(ReplyOutcome outcome, int records, int framesDiscarded) {
    log(replyEndLine(QDateTime::currentDateTime(), outcome, records, framesDiscarded));
}

void LinkLog::on_recordsIgnored(int records) {
    if (records > 0) {
        log(ignoredLine(QDateTime::currentDateTime(), records));
    }
}

void LinkLog::on_lineLost(const QString& cause) {
    log(linkLostLine(QDateTime::currentDateTime(), cause));
}

void LinkLog::on_queryNotSent(const QString& reason) {
    log(queryNotSentLine(QDateTime::currentDateTime(), reason));
}

void LinkLog::on_deviceFound(const QString& portName) {
    log(deviceFoundLine(QDateTime::currentDateTime(), portName));
}

void LinkLog::on_waiting(int seconds) {
    setStatus(waitingText(seconds));
}

void LinkLog::on_progress(int records, int percent) {
    setStatus(receivingText(records, percent));
}

void LinkLog::on_busyChanged(bool busy) {
    if (!busy) {
        setStatus(m_link->isStoreComplete()
                      ? QString()
                      : incompleteText(static_cast<int>(m_link->records().size())));
    }
}

void LinkLog::log(const QString& line) {
    emit lines(QStringList(line));
}

void LinkLog::setStatus(const QString& text) {
    if (text != m_status) {
        m_status = text;
        emit statusTextChanged(text);
    }
}
