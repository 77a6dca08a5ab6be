#pragma once

#include <QObject>

class QSocketNotifier;

// Turns Ctrl-C and a request to terminate into stopRequested(), delivered by the event
// loop: SIGINT and SIGTERM on POSIX systems, the console's Ctrl-C and Ctrl-Break on
// Windows. The first one is caught; a second one ends the program at once, as if none
// was. One object at a time.
class StopSignals : public QObject {
    Q_OBJECT

public:
    explicit StopSignals(QObject* parent = nullptr);
    ~StopSignals() override;

    bool isRequested() const { return m_requested; }

signals:
    void stopRequested();

private slots:
    void on_caught();

private:
    void install();
    void uninstall();

    bool m_requested = false;
#ifndef Q_OS_WIN
    // Wakes the event loop when the handler has written to the pipe.
    QSocketNotifier* m_notifier = nullptr;
#endif
};
