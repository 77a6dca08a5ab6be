#include "cli/DownloadRun.h"

#include <QDir>

#include "cli/Console.h"
#include "cli/DetectorSearch.h"
#include "cli/ExitStatus.h"
#include "cli/StopSignals.h"
#include "export/CsvExport.h"
#include "export/RecordFile.h"
#include "xls/XlsError.h"

DownloadRun::DownloadRun(const CliRequest& request, const StopSignals& stop)
    : m_request(request), m_stop(stop), m_log(&m_link) {
    m_log.setUnitIndex(request.unitIndex);
    connectLink();
}

void DownloadRun::connectLink() {
    connect(&m_stop, SIGNAL(stopRequested()), this, SLOT(on_stopRequested()));
    connect(&m_link, SIGNAL(replyEnded(ReplyOutcome, int, int)), this,
            SLOT(on_replyEnded(ReplyOutcome, int, int)));
    connect(&m_link, SIGNAL(lineLost(QString)), this, SLOT(on_lineLost(QString)));
    connect(&m_link, SIGNAL(queryNotSent(QString)), this, SLOT(on_queryNotSent(QString)));
    connect(&m_link, SIGNAL(waiting(int)), &m_meter, SLOT(on_waiting(int)));
    connect(&m_link, SIGNAL(progress(int, int)), &m_meter, SLOT(on_progress(int, int)));
    if (m_request.verbose) {
        connect(&m_log, SIGNAL(lines(QStringList)), this, SLOT(on_logLines(QStringList)));
    }
}

int DownloadRun::run() {
    const bool found = searchDetector(m_link, m_request.ports, m_stop).found();
    if (m_stop.isRequested()) {
        return kExitInterrupted;
    }
    if (!found) {
        return kExitNoDetector;
    }
    followReply();
    m_meter.finish();
    return conclude();
}

// A query that fails to leave has ended the run before the loop would start.
void DownloadRun::followReply() {
    m_sinceQuery.start();
    if (m_link.sendQuery(m_request.from, m_request.to) != DetectorLink::QueryResult::Sent &&
        m_end == End::Running) {
        m_reason = QStringLiteral("the port did not take it");
        m_end = End::NotSent;
    }
    if (m_end == End::Running) {
        m_loop.exec();
    }
}

void DownloadRun::on_stopRequested() {
    if (m_link.isOpen()) {
        m_link.closePort();
    }
}

void DownloadRun::on_replyEnded(ReplyOutcome outcome, int /*records*/, int framesDiscarded) {
    m_framesDiscarded = framesDiscarded;
    switch (outcome) {
        case ReplyOutcome::Done:
        case ReplyOutcome::None:
            endWith(End::Done);
            break;
        case ReplyOutcome::Stopped:
            endWith(End::Stopped);
            break;
        case ReplyOutcome::Lost:
            endWith(End::Lost);
            break;
    }
}

// Comes before the reply's Lost end.
void DownloadRun::on_lineLost(const QString& cause) {
    m_reason = cause;
}

void DownloadRun::on_queryNotSent(const QString& reason) {
    m_reason = reason;
    endWith(End::NotSent);
}

void DownloadRun::on_logLines(const QStringList& lines) {
    m_meter.printLines(lines);
}

void DownloadRun::endWith(End end) {
    if (m_end == End::Running) {
        m_end = end;
        m_loop.quit();
    }
}

// A complete reply is saved; one that did not finish only with --keep-incomplete, and a
// query that did not leave never.
int DownloadRun::conclude() {
    reportUnfinished();
    if (m_end == End::NotSent) {
        return m_stop.isRequested() ? kExitInterrupted : kExitIncomplete;
    }
    QString where = QStringLiteral("nothing saved");
    const bool notSaved = (m_end == End::Done || m_request.keepIncomplete) && !save(where);
    printNote(summary(where));
    if (notSaved) {
        return kExitNotSaved;
    }
    return m_end == End::Done      ? kExitDone
           : m_end == End::Stopped ? kExitInterrupted
                                   : kExitIncomplete;
}

void DownloadRun::reportUnfinished() const {
    if (m_end == End::Stopped || (m_end == End::NotSent && m_stop.isRequested())) {
        printError(QStringLiteral("interrupted"));
    } else if (m_end == End::Lost) {
        printError(QStringLiteral("the line was lost: ") + m_reason);
    } else if (m_end == End::NotSent) {
        printError(QStringLiteral("the query was not sent: ") + m_reason);
    }
}

bool DownloadRun::save(QString& where) {
    if (m_request.toStandardOutput()) {
        return saveToStdout(where);
    }
    xls::SaveError error;
    if (!saveRecordFile(m_link.records(), m_request.output.toStdU16String(), m_request.unitIndex,
                        &error)) {
        printError(QStringLiteral("cannot save %1: %2")
                       .arg(QDir::toNativeSeparators(m_request.output),
                            QString::fromStdString(xls::SaveErrorText(error))));
        where = QStringLiteral("not saved");
        return false;
    }
    where = QStringLiteral("saved to ") + QDir::toNativeSeparators(m_request.output);
    return true;
}

bool DownloadRun::saveToStdout(QString& where) {
    const std::string text = csvText(m_link.records(), m_request.unitIndex);
    if (!writeToStdout(text.data(), text.size())) {
        printError(QStringLiteral("cannot write to standard output: ") +
                   QString::fromStdString(xls::SaveErrorText(xls::LastSystemError())));
        where = QStringLiteral("not saved");
        return false;
    }
    where = QStringLiteral("written to standard output");
    return true;
}

// "n records, k frames discarded, s.s s, " + where the records went, after "the download
// did not finish: " when they are incomplete.
QString DownloadRun::summary(const QString& where) const {
    return QStringLiteral("%1 records, %2 frames discarded, %3 s, %4%5")
        .arg(m_link.records().size())
        .arg(m_framesDiscarded)
        .arg(m_sinceQuery.elapsed() / 1000.0, 0, 'f', 1)
        .arg(m_end == End::Done ? QString() : QStringLiteral("the download did not finish: "),
             where);
}
