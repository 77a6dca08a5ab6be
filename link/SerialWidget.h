#pragma once

#include <QSerialPort>
#include <QWidget>

#include "link/DetectorRecord.h"
#include "link/FrameReader.h"

class QComboBox;
class QDateTimeEdit;
class QGroupBox;
class QPlainTextEdit;
class QPushButton;
class QSimpleLed;
class QTimer;
class RecordChart;

// The central panel: the port and link controls on the left, the log of
// everything received on the right. It owns the serial port, the frame reader
// that collects the received bytes, and the record store that the export reads.
//
// The panel is Open (port open, caption "CLOSE", lamp state 3) or Closed (port
// closed, caption "OPEN", lamp state 0). The device search, the open button and
// a lost line move it between the two.
class SerialWidget : public QWidget {
    Q_OBJECT

public:
    explicit SerialWidget(QWidget* parent = nullptr);
    ~SerialWidget() override;

    const RecordStore& records() const { return m_records; }

    // Tries every candidate port and keeps the first one where the detector
    // answers; the port is then open and configured. Shows "Device not found!"
    // when no port answers.
    bool findDevice();

    // Closes the port, drops the ready-read connection and searches again; the
    // connection is made again only when the detector is found.
    bool refindDevice();

public slots:
    void on_errHandler(QSerialPort::SerialPortError errNum);
    void on_recvSlot();
    void on_open_com();
    void on_rescan_com();
    void on_clear_text();
    void on_query_data();
    void on_export_data();

private slots:
    void on_lineQuiet();
    void on_saveFilterSelected(const QString& filter);

private:
    QWidget* buildLeftColumn();
    QGroupBox* buildPortGroup();
    QGroupBox* buildTextGroup();
    QGroupBox* buildCommandGroup();
    QWidget* buildRightColumn();
    void connectFrameReader();

    bool openConfigured(const QString& portName);
    bool detectorAnswers();
    void closePort();
    void showOpen();
    void showClosed();
    void linkLost(QSerialPort::SerialPortError error);
    void queryNotSent(const QString& portError);
    QString saveFileName();
    static bool replaceConfirmed(const QString& fileName);
    void appendLogLines(const QStringList& lines);

    QSerialPort* m_port = nullptr;
    FrameReader m_reader;
    QComboBox* m_portCombo = nullptr;
    QPushButton* m_openButton = nullptr;
    QPushButton* m_refreshButton = nullptr;
    QSimpleLed* m_led = nullptr;
    QPlainTextEdit* m_log = nullptr;
    QComboBox* m_unitCombo = nullptr;
    QDateTimeEdit* m_startEdit = nullptr;
    QDateTimeEdit* m_endEdit = nullptr;
    RecordStore m_records;
    // A window of its own, opened by "CHART"; follows the store and the unit.
    RecordChart* m_chart = nullptr;
    // Restarted by every delivery; when it runs out, the line has gone quiet.
    QTimer* m_quietTimer = nullptr;
};
