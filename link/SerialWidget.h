#pragma once

#include <QMessageBox>
#include <QPointer>
#include <QSerialPort>
#include <QWidget>

#include "link/DetectorRecord.h"
#include "link/PortSearch.h"

class DetectorLink;
class LinkLog;
class QComboBox;
class QDateTimeEdit;
class QGroupBox;
class QPlainTextEdit;
class QPushButton;
class QSimpleLed;
class QVBoxLayout;

// The central panel: the port and link controls on the left, the log of
// everything received on the right. The link to the detector (port, search,
// query, record store) is a DetectorLink; the panel wires its controls to it
// and shows what it reports.
//
// The panel shows Open (caption "CLOSE", lamp state 3), Closed (caption
// "OPEN", lamp state 0) or busy from a query until the end line of its reply
// (lamp blinking; QUERY DATA, REFRESH and EXPORT DATA disabled, CLOSE the way
// to stop). While a search runs, the port controls are disabled.
class SerialWidget : public QWidget {
    Q_OBJECT

public:
    explicit SerialWidget(QWidget* parent = nullptr);
    ~SerialWidget() override;

    const RecordStore& records() const;
    DetectorLink* link() const { return m_link; }

    // Searches every candidate port for the detector and waits for the result
    // (before the window is shown). Shows "Device not found!", with each port
    // tried and why it was not taken, when none answers.
    bool findDevice();

    // Closes the port and starts a search; its outcome is shown when it ends.
    // False when a search is already running.
    bool refindDevice();

signals:
    // What the link is doing, for the title bar: the progress of a reply;
    // empty when there is nothing to say.
    void statusText(const QString& text);

public slots:
    void on_open_com();
    void on_rescan_com();
    void on_clear_text();
    void on_query_data();
    void on_export_data();

private slots:
    void on_linkOpened(const QString& portName);
    void on_linkClosed();
    void on_busyChanged(bool busy);
    void on_searchFinished(const SearchResult& result);
    // Disabled while a search runs; REFRESH also while a reply arrives.
    void enablePortControls();
    void on_queryNotSent(const QString& reason);
    void appendLogLines(const QStringList& lines);
    void on_saveFilterSelected(const QString& filter);

private:
    QWidget* buildLeftColumn();
    QGroupBox* buildPortGroup();
    QGroupBox* buildTextGroup();
    QGroupBox* buildCommandGroup();
    QWidget* buildRightColumn();
    void connectLink();
    void reportSearch(const SearchResult& result, bool wait);
    void showSearchBox(const QString& text, const QString& details, bool wait);
    void addChart(QVBoxLayout* layout);
    QString saveFileName();
    static bool replaceConfirmed(const QString& fileName);

    DetectorLink* m_link = nullptr;
    LinkLog* m_linkLog = nullptr;
    // The running search was started by REFRESH, whose outcome the operator is shown.
    bool m_refreshing = false;
    // "Device not found!" while on screen: closed when the detector is found.
    QPointer<QMessageBox> m_searchBox;
    QComboBox* m_portCombo = nullptr;
    QPushButton* m_openButton = nullptr;
    QPushButton* m_refreshButton = nullptr;
    QSimpleLed* m_led = nullptr;
    QPlainTextEdit* m_log = nullptr;
    QComboBox* m_unitCombo = nullptr;
    QDateTimeEdit* m_startEdit = nullptr;
    QDateTimeEdit* m_endEdit = nullptr;
    QPushButton* m_queryButton = nullptr;
    QPushButton* m_exportButton = nullptr;
    // A window of its own, opened by "CHART"; follows the store and the unit.
};
