#include "link/SerialWidget.h"

#include <QComboBox>
#include <QDateTime>
#include <QDateTimeEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "widgets/QSimpleLed.h"

namespace {

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

}  // namespace

SerialWidget::SerialWidget(QWidget* /*parent*/) : QWidget(nullptr) {
    m_port = new QSerialPort(this);
    connect(m_port, SIGNAL(error(QSerialPort::SerialPortError)), this,
            SLOT(on_errHandler(QSerialPort::SerialPortError)));

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(buildLeftColumn());
    layout->addWidget(buildRightColumn());
}

SerialWidget::~SerialWidget() = default;

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

void SerialWidget::on_errHandler(QSerialPort::SerialPortError /*errNum*/) {}

void SerialWidget::on_recvSlot() {}

void SerialWidget::on_open_com() {}

void SerialWidget::on_rescan_com() {}

void SerialWidget::on_clear_text() {
    m_log->clear();
}

void SerialWidget::on_query_data() {}

void SerialWidget::on_export_data() {}
