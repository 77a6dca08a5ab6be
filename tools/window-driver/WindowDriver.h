#pragma once

#include <QObject>
#include <QSerialPort>
#include <QString>
#include <QTimer>

class QDateTimeEdit;
class QFileDialog;
class QMessageBox;
class QPlainTextEdit;
class QWidget;

// Stands in for the operator at the main window, for runs with nobody at the
// screen: answers every modal dialog (message boxes with their OK button, the
// save dialog with a chosen file name), presses the panel's buttons and reads
// the log. Every step reports on standard output.
class WindowDriver : public QObject {
    Q_OBJECT

public:
    // Starts answering dialogs at once: build the window afterwards, since its
    // device search may already show a message box.
    WindowDriver();

    // Takes the panel of the window that has just been built; false when the
    // window lacks a widget the driver works with.
    bool attach(QWidget& window);

    // True when the start-up search left a port open (caption "CLOSE").
    bool portIsOpen() const;

    // Queries the range and waits for the reply's end line; returns the number
    // of record lines the log gained, or -1 when no end line came.
    int query(const QString& from, const QString& to);

    // Presses "EXPORT DATA" and saves as `path`; true when the file exists.
    bool exportTo(const QString& path);

    // Presses "CHART" and returns the number of records its window shows, -1
    // when the window is missing (a build without the chart) or stays hidden.
    int showChart();

private slots:
    void answerModal();
    void reportPortError(QSerialPort::SerialPortError error);

private:
    void answerMessageBox(QMessageBox* box);
    void answerFileDialog(QFileDialog* dialog);
    bool click(const QString& caption);
    int recordLineCount() const;
    void reportLogLines() const;

    QTimer m_modalTimer;
    QWidget* m_panel = nullptr;
    QSerialPort* m_port = nullptr;
    QDateTimeEdit* m_startEdit = nullptr;
    QDateTimeEdit* m_endEdit = nullptr;
    QPlainTextEdit* m_log = nullptr;
    QString m_saveAs;
};
