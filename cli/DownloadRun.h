#pragma once

#include <QElapsedTimer>
#include <QEventLoop>
#include <QObject>

#include "cli/CommandLine.h"
#include "cli/ProgressMeter.h"
#include "link/DetectorLink.h"
#include "link/LinkLog.h"

class StopSignals;

// One download: the search, one query, the reply followed by the link to its end, and
// the file. Progress and a summary go to standard error; the CSV text for "-" to
// standard output. A stop request ends the reply as the window's CLOSE does.
class DownloadRun : public QObject {
    Q_OBJECT

public:
    DownloadRun(const CliRequest& request, const StopSignals& stop);

    // The exit status.
    int run();

private slots:
    void on_stopRequested();
    void on_replyEnded(ReplyOutcome outcome, int records, int framesDiscarded);
    void on_lineLost(const QString& cause);
    void on_queryNotSent(const QString& reason);
    void on_logLines(const QStringList& lines);

private:
    enum class End { Running, Done, Stopped, Lost, NotSent };

    void connectLink();
    void followReply();
    void endWith(End end);
    int conclude();
    void reportUnfinished() const;
    bool save(QString& where);
    bool saveToStdout(QString& where);
    QString summary(const QString& where) const;

    const CliRequest& m_request;
    const StopSignals& m_stop;
    DetectorLink m_link;
    LinkLog m_log;
    ProgressMeter m_meter;
    QEventLoop m_loop;
    QElapsedTimer m_sinceQuery;
    End m_end = End::Running;
    // Why the reply did not finish, in the link's words.
    QString m_reason;
    int m_framesDiscarded = 0;
};
