#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QStringList>
#include <QTimer>

// The reply's progress on standard error, in the window's status words: on a terminal a
// bar redrawn in place with the records, the share of the queried range and the rate;
// elsewhere (a log file, a pipe) one line a few times a minute.
class ProgressMeter : public QObject {
    Q_OBJECT

public:
    explicit ProgressMeter(QObject* parent = nullptr);

    // Prints the lines on standard error; the bar comes back below them.
    void printLines(const QStringList& lines);
    // Takes the bar away for good.
    void finish();

public slots:
    void on_waiting(int seconds);
    void on_progress(int records, int percent);

private slots:
    void on_tick();

private:
    void start();
    QString statusText() const;
    QString barText() const;
    QString rateSuffix() const;
    void clearBar();

    const bool m_terminal;
    QTimer m_ticker;
    int m_waitingSeconds = 0;
    int m_records = 0;
    int m_percent = 0;
    bool m_receiving = false;
    QElapsedTimer m_receivingSince;
    // From the first records to the newest.
    qint64 m_receivingMs = 0;
    // The characters of the bar now on the terminal's line.
    int m_barLength = 0;
};
