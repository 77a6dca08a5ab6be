#include "link/SerialWidget.h"

#include <QComboBox>
#include <QDateTime>
#include <QDateTimeEdit>
#include <QDir>
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
#include <QVBoxLayout>

#ifdef VENTRIX_WITH_CHART
#include "chart/RecordChart.h"
#endif
#include "export/RecordFile.h"
#include "link/DetectorLink.h"
#include "link/LinkFrame.h"
#include "link/LinkLog.h"
#include "link/RecordLog.h"
#include "link/Units.h"
#include "widgets/QSimpleLed.h"

namespace {

constexpr int kLedClosed = 0;
constexpr int kLedOpen = 3;
constexpr int kLedBusy = 4;
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
// use the English locale, so the display does not depend on the system. They
// hold only times the query frame can carry.
QDateTimeEdit* makeDateTimeEdit(const char* objectName) {
    const QDateTime now = QDateTime::currentDateTime();
    auto* edit = new QDateTimeEdit(now);
    edit->setObjectName(objectName);
    edit->setLocale(QLocale(QLocale::English, QLocale::AnyCountry));
    edit->setCalendarPopup(true);
    edit->setDateTimeRange(kFirstQueryTime, kLastQueryTime);
    edit->setDateTime(now);
    edit->setDisplayFormat("yyyy-MM-dd hh:mm:ss");
    edit->setStyleSheet(kDateStyle);
    edit->setContentsMargins(0, 0, 0, 0);
    return edit;
}

// A critical box titled "Error" with an OK button; `details` as its informative text.
void showError(const QString& text, const QString& details = QString()) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Error"), text, QMessageBox::Ok);
    box.setInformativeText(details);
    box.exec();
}

}  // namespace

SerialWidget::SerialWidget(QWidget* /*parent*/) : QWidget(nullptr) {
    m_link = new DetectorLink(this);
    m_linkLog = new LinkLog(m_link, this);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(buildLeftColumn());
    layout->addWidget(buildRightColumn());

    connectLink();
    findDevice();
}

// A box about the search does not outlive the panel.
SerialWidget::~SerialWidget() {
    if (m_searchBox) {
        m_searchBox->close();
    }
}

const RecordStore& SerialWidget::records() const {
    return m_link->records();
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
    for (int unit = 0; unit < kUnitCount; ++unit) {
        m_unitCombo->addItem(QLatin1String(unitInfo(unit).comboItem));
    }
    connect(m_unitCombo, SIGNAL(currentIndexChanged(int)), m_linkLog, SLOT(setUnitIndex(int)));
    QLabel* startLabel = makeLabel("START TIME", kLabelStyle);
    m_startEdit = makeDateTimeEdit("startEdit");
    QLabel* endLabel = makeLabel("END TIME", kLabelStyle);
    m_endEdit = makeDateTimeEdit("endEdit");
    m_queryButton = makeButton("QUERY DATA", kButtonStyle);
    connect(m_queryButton, SIGNAL(clicked()), this, SLOT(on_query_data()));
    m_exportButton = makeButton("EXPORT DATA", kButtonStyle);
    connect(m_exportButton, SIGNAL(clicked()), this, SLOT(on_export_data()));
    group->setStyleSheet(kGroupStyle);

    auto* grid = new QGridLayout(group);
    grid->addWidget(unitLabel, 0, 0);
    grid->addWidget(m_unitCombo, 0, 1);
    grid->addWidget(startLabel, 1, 0, 1, 2);
    grid->addWidget(m_startEdit, 2, 0, 1, 2);
    grid->addWidget(endLabel, 3, 0, 1, 2);
    grid->addWidget(m_endEdit, 4, 0, 1, 2);
    grid->addWidget(m_queryButton, 5, 0);
    grid->addWidget(m_exportButton, 5, 1);
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
#ifdef VENTRIX_WITH_CHART
    addChart(layout);
#endif
    return column;
}

#ifdef VENTRIX_WITH_CHART
// The chart is a window of its own, opened by "CHART" under the log; it
// follows the record store and the unit.
void SerialWidget::addChart(QVBoxLayout* layout) {
    auto* chart = new RecordChart(m_link->records(), this);
    chart->setWindowFlags(Qt::Window);
    QPushButton* chartButton = makeButton("CHART", kButtonStyle);
    chartButton->setMinimumWidth(120);
    connect(chartButton, SIGNAL(clicked()), chart, SLOT(showWindow()));
    layout->addWidget(chartButton, 0, Qt::AlignRight);

    connect(m_link, SIGNAL(recordsAppended(int, int)), chart, SLOT(recordsAppended()));
    connect(m_link, SIGNAL(recordsCleared()), chart, SLOT(storeCleared()));
    connect(m_unitCombo, SIGNAL(currentIndexChanged(int)), chart, SLOT(setUnit(int)));
}
#endif

void SerialWidget::connectLink() {
    connect(m_linkLog, SIGNAL(lines(QStringList)), this, SLOT(appendLogLines(QStringList)));
    connect(m_linkLog, SIGNAL(statusTextChanged(QString)), this, SIGNAL(statusText(QString)));
    connect(m_link, SIGNAL(opened(QString)), this, SLOT(on_linkOpened(QString)));
    connect(m_link, SIGNAL(closed()), this, SLOT(on_linkClosed()));
    connect(m_link, SIGNAL(busyChanged(bool)), this, SLOT(on_busyChanged(bool)));
    connect(m_link, SIGNAL(searchStarted()), this, SLOT(enablePortControls()));
    connect(m_link, SIGNAL(searchFinished(SearchResult)), this,
            SLOT(on_searchFinished(SearchResult)));
    connect(m_link, SIGNAL(queryNotSent(QString)), this, SLOT(on_queryNotSent(QString)));
}

// The lines of one frame go in as one block: one paragraph per line, but a
// single edit of the document however many records the frame carries.
void SerialWidget::appendLogLines(const QStringList& lines) {
    if (!lines.isEmpty()) {
        m_log->appendPlainText(lines.join(QLatin1Char('\n')));
    }
}

// The box about a failed search waits for OK here, before the window is shown.
bool SerialWidget::findDevice() {
    m_portCombo->clear();
    const SearchResult result = m_link->findDevice();
    reportSearch(result, true);
    return result.found();
}

bool SerialWidget::refindDevice() {
    if (m_link->isSearching()) {
        return false;
    }
    m_portCombo->clear();
    m_refreshing = true;
    m_link->refindDevice();
    return true;
}

void SerialWidget::on_searchFinished(const SearchResult& result) {
    enablePortControls();
    const bool refreshed = m_refreshing;
    m_refreshing = false;
    if (result.found() && m_searchBox) {
        m_searchBox->close();
    }
    if (refreshed) {
        printLine(result.found() ? "refind device 1\n" : "refind device 0\n");
        reportSearch(result, false);
    }
}

// The operator learns why nothing was taken: no detector answered, or the one that
// did could not be opened again.
void SerialWidget::reportSearch(const SearchResult& result, bool wait) {
    if (!result.openFailure.isEmpty()) {
        showSearchBox(QStringLiteral("Open serial failed!"), result.openFailure, wait);
    } else if (!result.found()) {
        showSearchBox(QStringLiteral("Device not found!"),
                      result.reportLines().join(QLatin1Char('\n')), wait);
    }
}

// The link goes on searching while the box is shown, and a detector found meanwhile
// closes it. Unless asked to wait, the box returns at once.
void SerialWidget::showSearchBox(const QString& text, const QString& details, bool wait) {
    if (m_searchBox) {
        m_searchBox->close();
    }
    auto* box =
        new QMessageBox(QMessageBox::Critical, QStringLiteral("Error"), text, QMessageBox::Ok);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setInformativeText(details);
    m_searchBox = box;
    if (wait) {
        box->exec();
    } else {
        box->setWindowModality(Qt::ApplicationModal);
        box->show();
    }
}

void SerialWidget::enablePortControls() {
    const bool searching = m_link->isSearching();
    m_refreshButton->setEnabled(!searching && !m_link->isBusy());
    m_openButton->setEnabled(!searching);
    m_portCombo->setEnabled(!searching);
}

void SerialWidget::on_linkOpened(const QString& portName) {
    if (m_portCombo->findText(portName) < 0) {
        m_portCombo->clear();
        m_portCombo->addItem(portName);
    }
    m_openButton->setText(kCloseCaption);
    m_led->setState(kLedOpen);
}

void SerialWidget::on_linkClosed() {
    m_openButton->setText(kOpenCaption);
    m_led->setState(kLedClosed);
}

void SerialWidget::on_busyChanged(bool busy) {
    m_queryButton->setEnabled(!busy);
    m_exportButton->setEnabled(!busy);
    enablePortControls();
    m_led->setState(busy ? kLedBusy : (m_link->isOpen() ? kLedOpen : kLedClosed));
}

// The operator learns that the detector got no query, and why; the records
// received before are kept.
void SerialWidget::on_queryNotSent(const QString& /*reason*/) {
    showError(QStringLiteral("Query not sent!"));
}

void SerialWidget::on_open_com() {
    if (m_openButton->text() == kOpenCaption) {
        if (m_link->isOpen()) {
            return;
        }
        if (!m_link->openPort(m_portCombo->currentText())) {
            showError(QStringLiteral("Open serial failed!"));
        }
    } else {
        m_link->closePort();
    }
}

void SerialWidget::on_rescan_com() {
    refindDevice();
}

void SerialWidget::on_clear_text() {
    m_log->clear();
}

void SerialWidget::on_query_data() {
    if (m_link->sendQuery(m_startEdit->dateTime(), m_endEdit->dateTime()) ==
        DetectorLink::QueryResult::NotOpen) {
        showError(QStringLiteral("Please open the serial port!"));
    }
}

// Saves the records received since the last query. A cancelled dialog or a
// replace question answered No writes nothing; a failed save is reported and
// leaves any earlier file of that name as it was.
void SerialWidget::on_export_data() {
    const QString fileName = saveFileName();
    if (fileName.isEmpty())
        return;

    const RecordStore& stored = records();
    xls::SaveError error;
    if (!saveRecordFile(stored, fileName.toStdU16String(), m_unitCombo->currentIndex(), &error)) {
        showError(QStringLiteral("Export failed!"),
                  QString::fromStdString(xls::SaveErrorText(error)));
        return;
    }
    m_log->appendPlainText(savedLine(QDateTime::currentDateTime(), static_cast<int>(stored.size()),
                                     QDir::toNativeSeparators(fileName),
                                     m_link->isStoreComplete()));
}

// The dialog adds the suffix of the chosen file type (".xls" or ".csv") to a
// name without a suffix and asks before replacing the file it names. A name
// with a suffix of its own ("alarms_2024.12.07") gets the type's suffix only
// afterwards, so the replace question is asked here for it.
QString SerialWidget::saveFileName() {
    QFileDialog dialog(nullptr, tr("Save File"), QDir::currentPath(),
                       tr("All Files (*.xls)") + QLatin1String(";;") + tr("CSV (*.csv)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("xls"));
    connect(&dialog, SIGNAL(filterSelected(QString)), this, SLOT(on_saveFilterSelected(QString)));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    const QString chosen = dialog.selectedFiles().constFirst();
    if (chosen.endsWith(QLatin1String(".xls"), Qt::CaseInsensitive) ||
        isCsvFileName(chosen.toStdU16String()))
        return chosen;
    const QString named = chosen + QLatin1Char('.') + dialog.defaultSuffix();
    if (QFileInfo::exists(named) && !replaceConfirmed(named))
        return QString();
    return named;
}

void SerialWidget::on_saveFilterSelected(const QString& filter) {
    if (auto* dialog = qobject_cast<QFileDialog*>(sender()))
        dialog->setDefaultSuffix(filter.contains(QLatin1String("*.csv")) ? QStringLiteral("csv")
                                                                         : QStringLiteral("xls"));
}

bool SerialWidget::replaceConfirmed(const QString& fileName) {
    const QString question =
        tr("%1 already exists.\nDo you want to replace it?").arg(QFileInfo(fileName).fileName());
    return QMessageBox::warning(nullptr, tr("Save File"), question,
                                QMessageBox::Yes | QMessageBox::No,
                                QMessageBox::No) == QMessageBox::Yes;
}
