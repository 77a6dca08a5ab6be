#pragma once

// Helpers for tests that drive the serial panel over pseudo-terminals: the stand-in
// detector as a child process, a pseudo-terminal that the test itself answers on,
// standard output captured around an action, and the closing of modal message boxes.
// None of them opens a real serial port.

#include <QByteArray>
#include <QFileDialog>
#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QProcess>
#include <QPushButton>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <thread>

struct CsvRecord {
    QString timeText;
    int value;
};

// The simulator as a child process, serving one pseudo-terminal; stopped with SIGTERM
// when the test ends.
class DetectorSimulator {
public:
    DetectorSimulator() = default;
    DetectorSimulator(const DetectorSimulator&) = delete;
    DetectorSimulator& operator=(const DetectorSimulator&) = delete;
    ~DetectorSimulator();

    // Starts it with `arguments` and reads the device path from its first line.
    bool start(const QStringList& arguments);
    // Stops it with SIGTERM; true when it exited cleanly (also when it had ended by
    // itself).
    bool stop();

    QString devicePath() const { return devicePath_; }
    QProcess& process() { return process_; }
    // Its data set, as written by --dump-csv.
    QList<CsvRecord> records() const;

private:
    QTemporaryDir dir_;
    QString csvPath_;
    QString devicePath_;
    QProcess process_;
};

// A pseudo-terminal whose detector side the test plays itself, byte by byte. Both
// sides stay open for its whole life, so the line never hangs up.
class PtyPeer {
public:
    PtyPeer();
    PtyPeer(const PtyPeer&) = delete;
    PtyPeer& operator=(const PtyPeer&) = delete;
    ~PtyPeer();

    bool isValid() const { return master_ >= 0 && slave_ >= 0; }
    QString devicePath() const { return path_; }

    // Reads exactly `count` bytes unless `timeoutMs` pass first (0: only what is
    // there already); returns what came.
    QByteArray read(int count, int timeoutMs);
    // True when bytes from the application are waiting to be read.
    bool hasInput() const;
    bool write(const QByteArray& bytes);

    // In a thread of its own: waits for the identify command, keeps it in
    // identifyCommand(), then writes `pieces` with `pauseMs` between them. For the
    // application's device search, which blocks the test's thread.
    void answerIdentify(const QList<QByteArray>& pieces, int pauseMs);
    // Waits for that thread; the command it read is then in identifyCommand().
    void join();
    QByteArray identifyCommand() const { return identifyCommand_; }

private:
    int master_ = -1;
    int slave_ = -1;
    QString path_;
    std::thread answerer_;
    QByteArray identifyCommand_;
};

// The whole identify answer of a detector: 0a 0b 0c 00 09 "Q781 1.00" fa a3 b3.
QByteArray detectorIdentifyAnswer();

// Redirects standard output into a temporary file from construction to finish().
// Keep the window short: test failures reported inside it land in the file as well.
// Qt Test's own message lines (QWARN and the like) are left out of the result.
class StdoutCapture {
public:
    StdoutCapture();
    StdoutCapture(const StdoutCapture&) = delete;
    StdoutCapture& operator=(const StdoutCapture&) = delete;
    ~StdoutCapture();

    // Restores standard output and returns what was written meanwhile.
    QByteArray finish();

private:
    std::FILE* file_ = nullptr;
    int saved_ = -1;
};

// Closes every modal message box as soon as it shows (with its OK button when it has
// one) and remembers what it showed. A save-file dialog is answered with the name set
// by answerSaveDialog(), or cancelled when none is set.
class MessageBoxWatcher : public QObject {
    Q_OBJECT

public:
    struct Seen {
        QString title;
        QString text;
        QString informativeText;
        QMessageBox::Icon icon;
        QStringList buttons;
        bool hasParent;
    };
    struct SeenDialog {
        QString title;
        QString directory;
        QStringList nameFilters;
        bool hasParent;
    };

    MessageBoxWatcher();

    QStringList texts() const;
    const QList<Seen>& seen() const { return seen_; }
    const QList<SeenDialog>& seenDialogs() const { return seenDialogs_; }
    void clear() {
        seen_.clear();
        seenDialogs_.clear();
        saveAs_.clear();
    }
    // The file name typed into the next save dialogs; empty: cancel them.
    void answerSaveDialog(const QString& fileName) { saveAs_ = fileName; }

private:
    void closeActiveModal();
    void answerFileDialog(QFileDialog* dialog);

    QTimer timer_;
    QList<Seen> seen_;
    QList<SeenDialog> seenDialogs_;
    QString saveAs_;
};

// The workbook as a reader (python3-xlrd) sees it, one line per row: see
// tests/export/dump_workbook.py. Empty when the file cannot be read.
QStringList readWorkbook(const QString& path);

// The rows of the first sheet of readWorkbook's lines, header included; empty when the
// workbook has no first and second sheet.
QStringList firstSheetRows(const QStringList& workbook);

// The push button of `parent` with that caption; null when there is none.
QPushButton* buttonWithText(const QWidget& parent, const QString& text);
// Clicks the push button of `parent` with that caption; false when there is none.
bool clickButton(const QWidget& parent, const QString& text);
// Sets the panel's query range ("startEdit" and "endEdit") from two
// "yyyy-MM-dd hh:mm:ss" texts.
void setQueryRange(const QWidget& panel, const QString& from, const QString& to);

// Number of connections from `signal` of `sender` (a SIGNAL() string).
int connectionCount(const QObject* sender, const char* signal);

// The records of `all` whose time text lies between `from` and `to`, both included.
QList<CsvRecord> recordsBetween(const QList<CsvRecord>& all, const QString& from,
                                const QString& to);
