#include "link/SerialWidget.h"

#include <QComboBox>
#include <QDateTime>
#include <QDateTimeEdit>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QLocale>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <cstdio>

#include "export/RecordExporter.h"
#include "link/LineErrors.h"
#include "link/LinkFrame.h"
#include "link/PortList.h"
#include "link/RecordLog.h"
#include "widgets/QSimpleLed.h"

namespace {

// Time a port gets to answer the identify command, its whole answer included.
constexpr int kIdentifyBudgetMs = 400;
// A line without new bytes for this long has nothing more to deliver.
constexpr int kQuietLineMs = 200;
constexpr int kLedClosed = 0;
constexpr int kLedOpen = 3;
const char* const kOpenCaption = "OPEN";
const char* const kCloseCaption = "CLOSE";

const char* const kPortGroupStyle =
    "QGroupBox{alignment:center;color:rgb(4, 12, 89);font:bold 16px;border: 2px solid rgb(4, 12, "
    "89);margin-top:10px;}QGroupBox::title{subcontrol-origin:margin; top:2px; left: 10px}";
const char* const kGroupStyle =
    "QGroupBox{color:rgb(4, 12, 89);font:bold 16px;border: 2px solid rgb(4, 12, "
    "89);alignment:center;margin-top:10px;}QGroupBox::title{subcontrol-origin:margin; top:2px; "
    "left: 10px}";
const char* const kPortLabelStyle =
    "QLabel{min-height:25px;max-height:25px;color:rgb(4, 12, 89);font:bold 15px;border: none;}";
const char* const kLabelStyle =
    "QLabel{min-height:25px;max-height:25px;color:rgb(4, 12, 89);font:bold 14px;}";
const char* const kComboStyle =
    "QComboBox{min-height:25px;max-height:25px;color:rgb(4, 12, 89);font:bold 15px;border: 2px "
    "solid rgb(4, 12, 89);}";
const char* const kSmallButtonStyle =
    "QPushButton{min-height:25px;max-height:25px;color:rgb(4, 12, 89);font:bold 15px;border: 2px "
    "solid rgb(4, 12, 89);}";
const char* const kButtonStyle =
    "QPushButton{min-height:25px;max-height:25px;color:rgb(4, 12, 89);font:bold 16px;border: 2px "
    "solid rgb(4, 12, 89);}";
const char* const kDateStyle =
    "QDateTimeEdit{min-height:25px;max-height:25px;color:black;font:bold 14px;}";
const char* const kLogStyle = "QPlainTextEdit{font:14px;border: 2px solid rgb(4, 12, 89);}";

QLabel* makeLabel(const QString& text, const char* style) {
    auto* label = new QLabel(text);
    label->setStyleSheet(style);
    return label;
}

QPushButton* makeButton(const QString& text, const char* style) {
    auto* button = new QPushButton(text);
    button->setStyleSheet(style);
    return button;
}

QComboBox* makeCombo() {
    auto* combo = new QComboBox;
    combo->setStyleSheet(kComboStyle);
    combo->setView(new QListView);
    return combo;
}

// Both time-range edits start at the moment the panel is built and always
// use the English locale, so the display does not depend on the system.
QDateTimeEdit* makeDateTimeEdit(const char* objectName) {
    const QDateTime now = QDateTime::currentDateTime();
    auto* edit = new QDateTimeEdit(now);
    edit->setObjectName(objectName);
    edit->setLocale(QLocale(QLocale::English, QLocale::AnyCountry));
    edit->setCalendarPopup(true);
    edit->setDateTime(now);
    edit->setDisplayFormat("yyyy-MM-dd hh:mm:ss");
    edit->setStyleSheet(kDateStyle);
    edit->setContentsMargins(0, 0, 0, 0);
    return edit;
}

void showError(const QString& text) {
    QMessageBox::critical(nullptr, QStringLiteral("Error"), text, QMessageBox::Ok);
}

// Diagnostic lines are flushed at once, so that whoever reads standard output
// through a pipe sees each one when it happens.
void printPortLine(const char* format, const QString& portName) {
    std::printf(format, portName.toUtf8().constData());
    std::fflush(stdout);
}

void printLine(const QByteArray& text) {
    std::fputs(text.constData(), stdout);
    std::fflush(stdout);
}

}  // namespace

SerialWidget::SerialWidget(QWidget* /*parent*/) : QWidget(nullptr) {
    m_port = new QSerialPort(this);
    connect(m_port, SIGNAL(error(QSerialPort::SerialPortError)), this,
            SLOT(on_errHandler(QSerialPort::SerialPortError)));

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(buildLeftColumn());
    layout->addWidget(buildRightColumn());

    m_quietTimer = new QTimer(this);
    m_quietTimer->setSingleShot(true);
    m_quietTimer->setInterval(kQuietLineMs);
    connect(m_quietTimer, SIGNAL(timeout()), this, SLOT(on_lineQuiet()));
    connectFrameReader();

    if (findDevice()) {
        connect(m_port, SIGNAL(readyRead()), this, SLOT(on_recvSlot()));
    }
}

// The port is destroyed with the widget's children, after this object has
// stopped being a SerialWidget: nothing it emits then may reach the slots.
SerialWidget::~SerialWidget() {
    disconnect(m_port, nullptr, this, nullptr);
}

QWidget* SerialWidget::buildLeftColumn() {
    auto* column = new QWidget(this);
    column->setObjectName("leftColumn");
    column->setFixedWidth(260);

    QGroupBox* portGroup = buildPortGroup();
    QGroupBox* textGroup = buildTextGroup();
    QGroupBox* commandGroup = buildCommandGroup();

    auto* layout = new QVBoxLayout(column);
    layout->addWidget(portGroup);
    layout->addWidget(textGroup);
    layout->addWidget(commandGroup);
    layout->setSpacing(15);
    layout->setContentsMargins(10, 10, 10, 10);
    return column;
}

QGroupBox* SerialWidget::buildPortGroup() {
    auto* group = new QGroupBox("PORT CONTROLS");
    group->setStyleSheet(kPortGroupStyle);
    group->setFixedHeight(145);

    QLabel* portLabel = makeLabel("PORT", kPortLabelStyle);
    portLabel->setAlignment(Qt::AlignCenter);
    m_portCombo = makeCombo();
    m_portCombo->setObjectName("portCombo");
    m_refreshButton = makeButton("REFRESH", kSmallButtonStyle);
    m_led = new QSimpleLed(this, QSimpleLed::kGreyIndex);
    m_led->setFixedHeight(30);
    m_openButton = makeButton("OPEN", kSmallButtonStyle);
    m_openButton->setObjectName("openButton");
    connect(m_openButton, SIGNAL(clicked()), this, SLOT(on_open_com()));
    connect(m_refreshButton, SIGNAL(clicked()), this, SLOT(on_rescan_com()));

    auto* grid = new QGridLayout(group);
    grid->addWidget(m_refreshButton, 0, 0, 1, 2);
    grid->addWidget(portLabel, 1, 0);
    grid->addWidget(m_portCombo, 1, 1);
    grid->addWidget(m_led, 2, 0);
    grid->addWidget(m_openButton, 2, 1);
    grid->setContentsMargins(10, 20, 10, 10);
    return group;
}

QGroupBox* SerialWidget::buildTextGroup() {
    auto* group = new QGroupBox("TEXT CONTROLS");
    group->setFixedHeight(80);
    group->setStyleSheet(kGroupStyle);

    QPushButton* clearButton = makeButton("CLEAR RECV", kButtonStyle);
    connect(clearButton, SIGNAL(clicked()), this, SLOT(on_clear_text()));

    auto* grid = new QGridLayout(group);
    grid->addWidget(clearButton, 0, 0);
    grid->setContentsMargins(10, 20, 10, 10);
    return group;
}

QGroupBox* SerialWidget::buildCommandGroup() {
    auto* group = new QGroupBox("COMMAND CONTROLS");
    group->setFixedHeight(235);

    QLabel* unitLabel = makeLabel("UNIT", kLabelStyle);
    m_unitCombo = makeCombo();
    m_unitCombo->setObjectName("unitCombo");
    m_unitCombo->addItem("PPM.M");
    m_unitCombo->addItem("%LEL.M");
    m_unitCombo->addItem("%VOL.M");
    QLabel* startLabel = makeLabel("START TIME", kLabelStyle);
    m_startEdit = makeDateTimeEdit("startEdit");
    QLabel* endLabel = makeLabel("END TIME", kLabelStyle);
    m_endEdit = makeDateTimeEdit("endEdit");
    QPushButton* queryButton = makeButton("QUERY DATA", kButtonStyle);
    connect(queryButton, SIGNAL(clicked()), this, SLOT(on_query_data()));
    QPushButton* exportButton = makeButton("EXPORT DATA", kButtonStyle);
    connect(exportButton, SIGNAL(clicked()), this, SLOT(on_export_data()));
    group->setStyleSheet(kGroupStyle);

    auto* grid = new QGridLayout(group);
    grid->addWidget(unitLabel, 0, 0);
    grid->addWidget(m_unitCombo, 0, 1);
    grid->addWidget(startLabel, 1, 0, 1, 2);
    grid->addWidget(m_startEdit, 2, 0, 1, 2);
    grid->addWidget(endLabel, 3, 0, 1, 2);
    grid->addWidget(m_endEdit, 4, 0, 1, 2);
    grid->addWidget(queryButton, 5, 0);
    grid->addWidget(exportButton, 5, 1);
    grid->setContentsMargins(10, 20, 10, 10);
    return group;
}

QWidget* SerialWidget::buildRightColumn() {
    auto* column = new QWidget(this);
    m_log = new QPlainTextEdit;
    m_log->setObjectName("log");
    m_log->setReadOnly(true);
    m_log->setStyleSheet(kLogStyle);

    auto* layout = new QVBoxLayout(column);
    layout->addWidget(m_log);
    return column;
}

void SerialWidget::connectFrameReader() {
    m_reader.setFrameHandler([this](const unsigned char* frame, int length) {
        appendLogLines(handleReplyFrame(frame, length, m_unitCombo->currentIndex(),
                                        QDateTime::currentDateTime(), m_records));
    });
    m_reader.setDiscardHandler([this](int byteCount, DiscardReason reason) {
        m_log->appendPlainText(discardLine(QDateTime::currentDateTime(), byteCount, reason));
    });
}

// The lines of one frame go in as one block: one paragraph per line, but a
// single edit of the document however many records the frame carries.
void SerialWidget::appendLogLines(const QStringList& lines) {
    if (!lines.isEmpty()) {
        m_log->appendPlainText(lines.join(QLatin1Char('\n')));
    }
}

bool SerialWidget::findDevice() {
    m_portCombo->clear();
    for (const QString& portName : candidatePorts()) {
        printPortLine("device %s\n", portName);
        if (!openConfigured(portName)) {
            printLine("device can not open\n");
            continue;
        }
        if (detectorAnswers()) {
            printPortLine("find device %s\n", portName);
            m_portCombo->addItem(portName);
            showOpen();
            return true;
        }
        closePort();
    }
    showError(QStringLiteral("Device not found!"));
    return false;
}

bool SerialWidget::refindDevice() {
    if (m_port->isOpen()) {
        closePort();
        showClosed();
    }
    disconnect(m_port, SIGNAL(readyRead()), this, SLOT(on_recvSlot()));
    const bool found = findDevice();
    std::printf("refind device %d\n", found ? 1 : 0);
    std::fflush(stdout);
    if (found) {
        connect(m_port, SIGNAL(readyRead()), this, SLOT(on_recvSlot()));
    }
    return found;
}

bool SerialWidget::openConfigured(const QString& portName) {
    m_port->setPortName(portName);
    if (!m_port->open(QIODevice::ReadWrite)) {
        return false;
    }
    m_port->setBaudRate(QSerialPort::Baud115200, QSerialPort::AllDirections);
    m_port->setParity(QSerialPort::NoParity);
    m_port->setDataBits(QSerialPort::Data8);
    m_port->setStopBits(QSerialPort::OneStop);
    m_port->setFlowControl(QSerialPort::NoFlowControl);
    return true;
}

// Sends the identify command and collects the answer, which may arrive in
// pieces, within one time budget for the port. An accepted answer is read to
// the end of its frame, so that no part of it reaches the receive path.
bool SerialWidget::detectorAnswers() {
    m_port->write(identifyCommand());
    QElapsedTimer elapsed;
    elapsed.start();
    QByteArray answer;
    const auto readMore = [&]() {
        const qint64 left = kIdentifyBudgetMs - elapsed.elapsed();
        if (left <= 0 || !m_port->waitForReadyRead(static_cast<int>(left))) {
            return false;
        }
        answer += m_port->readAll();
        return true;
    };
    while (answer.size() < kIdentifyAnswerCheckLength) {
        if (!readMore()) {
            return false;
        }
    }
    if (!isIdentifyAnswer(answer)) {
        return false;
    }
    const int frameLength =
        framePayloadLength(reinterpret_cast<const unsigned char*>(answer.constData())) +
        kFrameOverhead;
    while (answer.size() < frameLength && readMore()) {
    }
    return true;
}

void SerialWidget::closePort() {
    m_port->clear(QSerialPort::AllDirections);
    m_port->close();
}

void SerialWidget::showOpen() {
    m_openButton->setText(kCloseCaption);
    m_led->setState(kLedOpen);
}

void SerialWidget::showClosed() {
    m_openButton->setText(kOpenCaption);
    m_led->setState(kLedClosed);
}

// A line that fails while the panel shows Open has gone for good (an
// unplugged adapter, a peer that hung up); left open, the port would report a
// read error on every turn of the event loop. The panel shows Closed before
// the port is closed, so errors raised by the closing itself are not taken
// for a second loss.
void SerialWidget::linkLost(QSerialPort::SerialPortError error) {
    showClosed();
    m_port->close();
    m_log->appendPlainText(linkLostLine(QDateTime::currentDateTime(), lineLostCause(error)));
}

// Errors count only while the panel shows Open: the device search opens,
// rejects and closes ports while it shows Closed, and time-outs of waits are
// not failures of the line.
void SerialWidget::on_errHandler(QSerialPort::SerialPortError errNum) {
    if (isLineLost(errNum) && m_port->isOpen() && m_openButton->text() == kCloseCaption) {
        linkLost(errNum);
    }
}

void SerialWidget::on_recvSlot() {
    m_reader.receive(m_port->readAll());
    m_quietTimer->start();
}

void SerialWidget::on_lineQuiet() {
    m_reader.lineQuiet();
}

void SerialWidget::on_open_com() {
    if (m_openButton->text() == kOpenCaption) {
        if (m_port->isOpen()) {
            return;
        }
        if (!openConfigured(m_portCombo->currentText())) {
            showError(QStringLiteral("Open serial failed!"));
            return;
        }
        showOpen();
    } else {
        m_openButton->setText(kOpenCaption);
        if (m_port->isOpen()) {
            closePort();
        }
        m_led->setState(kLedClosed);
    }
}

void SerialWidget::on_rescan_com() {
    refindDevice();
}

void SerialWidget::on_clear_text() {
    m_log->clear();
}

// The store is emptied first, whether or not the query can be sent: a query
// ends the previous result set.
void SerialWidget::on_query_data() {
    m_records.clear();
    if (!m_port->isOpen()) {
        showError(QStringLiteral("Please open the serial port!"));
        return;
    }
    const QByteArray frame = queryFrame(m_startEdit->dateTime(), m_endEdit->dateTime());
    printLine(frameHexText(frame));
    m_port->write(frame);
}

// Saves the records received since the last query. A cancelled dialog does
// nothing; a name without a suffix gets ".xls"; a failed save is reported and
// leaves any earlier file of that name as it was.
void SerialWidget::on_export_data() {
    QString fileName = QFileDialog::getSaveFileName(nullptr, tr("Save File"), QDir::currentPath(),
                                                    tr("All Files (*.xls)"));
    if (fileName.isEmpty())
        return;
    if (QFileInfo(fileName).suffix().isEmpty())
        fileName += QStringLiteral(".xls");

    RecordExporter exporter;
    if (!exporter.exportRecords(m_records, fileName.toStdU16String(), m_unitCombo->currentIndex()))
        showError(QStringLiteral("Export failed!"));
}
