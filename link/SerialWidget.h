#ifndef VENTRIX_LINK_SERIALWIDGET_H
#define VENTRIX_LINK_SERIALWIDGET_H

#include <QSerialPort>
#include <QWidget>

#include "link/DetectorRecord.h"

class QComboBox;
class QDateTimeEdit;
class QGroupBox;
class QPlainTextEdit;
class QPushButton;
class QSimpleLed;

// The central panel: the port and link controls on the left, the log of
// everything received on the right. It owns the serial port and the record
// store that the export reads.
class SerialWidget : public QWidget {
    Q_OBJECT

public:
    explicit SerialWidget(QWidget* parent = nullptr);
    ~SerialWidget() override;

    const RecordStore& records() const { return m_records; }

public slots:
    void on_errHandler(QSerialPort::SerialPortError errNum);
    void on_recvSlot();
    void on_open_com();
    void on_rescan_com();
    void on_clear_text();
    void on_query_data();
    void on_export_data();

private:
    QWidget* buildLeftColumn();
    QGroupBox* buildPortGroup();
    QGroupBox* buildTextGroup();
    QGroupBox* buildCommandGroup();
    QWidget* buildRightColumn();

    QSerialPort* m_port = nullptr;
    QComboBox* m_portCombo = nullptr;
    QPushButton* m_openButton = nullptr;
    QPushButton* m_refreshButton = nullptr;
    QSimpleLed* m_led = nullptr;
    QPlainTextEdit* m_log = nullptr;
    QComboBox* m_unitCombo = nullptr;
    QDateTimeEdit* m_startEdit = nullptr;
    QDateTimeEdit* m_endEdit = nullptr;
    RecordStore m_records;
};

#endif
