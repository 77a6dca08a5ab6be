#include "tools/window-driver/WindowDriver.h"

#include <QApplication>
#include <QDateTimeEdit>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSerialPort>
#include <QTextBlock>
#include <cstdio>

#include "link/SerialWidget.h"

#ifdef VENTRIX_WITH_CHART
#include "chart/RecordChart.h"
#endif

namespace {

constexpr int kModalCheckMs = 10;
// The link ends every reply by itself; this only guards against a link that does not.
// A quarter of a million records take 218 s at 115200 baud.
constexpr int kReplyLimitMs = 30 * 60 * 1000;

void report(const QString& line) {
    std::fputs(line.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// ">> 2024-01-02 03:04:05    00123  PPM.M": one record.
bool isRecordLine(const QString& line) {
    static const QRegularExpression recordLine("^>> \\d{4}-\\d{2}-\\d{2} ");
    return recordLine.match(line).hasMatch();
}

// The line that ends a reply: "RECV DONE ...", "RECV NONE: ..." or "RECV STOPPED ...".
bool isEndLine(const QString& line) {
    static const QRegularExpression endLine("^>> \\[[^]]*\\] RECV (DONE|NONE|STOPPED) ");
    return endLine.match(line).hasMatch();
}

}  // namespace

WindowDriver::WindowDriver() {
    connect(&m_modalTimer, SIGNAL(timeout()), this, SLOT(answerModal()));
    m_modalTimer.start(kModalCheckMs);
}

bool WindowDriver::attach(QWidget& window) {
    m_panel = window.findChild<SerialWidget*>();
    m_port = window.findChild<QSerialPort*>();
    if (m_panel != nullptr) {
        m_startEdit = m_panel->findChild<QDateTimeEdit*>("startEdit");
        m_endEdit = m_panel->findChild<QDateTimeEdit*>("endEdit");
        m_log = m_panel->findChild<QPlainTextEdit*>("log");
    }
    if (m_panel == nullptr || m_port == nullptr || m_startEdit == nullptr || m_endEdit == nullptr ||
        m_log == nullptr) {
        report("driver: no serial panel with its port, range edits and log");
        return false;
    }
    connect(m_port, SIGNAL(errorOccurred(QSerialPort::SerialPortError)), this,
            SLOT(reportPortError(QSerialPort::SerialPortError)));
    return true;
}

bool WindowDriver::portIsOpen() const {
    auto* openButton = m_panel->findChild<QPushButton*>("openButton");
    return openButton != nullptr && openButton->text() == "CLOSE";
}

// Waits for the end line of the reply, as an operator waits before exporting.
int WindowDriver::query(const QString& from, const QString& to) {
    const QString format = QStringLiteral("yyyy-MM-dd hh:mm:ss");
    m_startEdit->setDateTime(QDateTime::fromString(from, format));
    m_endEdit->setDateTime(QDateTime::fromString(to, format));
    const int before = recordLineCount();
    int checked = m_log->document()->isEmpty() ? 0 : m_log->blockCount();
    if (!click("QUERY DATA")) {
        return -1;
    }
    QElapsedTimer waited;
    waited.start();
    bool ended = false;
    while (!ended && waited.elapsed() < kReplyLimitMs) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
        for (QTextBlock block = m_log->document()->findBlockByNumber(checked); block.isValid();
             block = block.next()) {
            ended = ended || isEndLine(block.text());
        }
        checked = m_log->blockCount();
    }
    const int received = recordLineCount() - before;
    reportLogLines();
    report(QString("driver: %1 record lines%2").arg(received).arg(ended ? "" : ", no end line"));
    return ended ? received : -1;
}

bool WindowDriver::exportTo(const QString& path) {
    QFile::remove(path);
    m_saveAs = path;
    const bool clicked = click("EXPORT DATA");
    m_saveAs.clear();
    const bool written = clicked && QFileInfo(path).isFile();
    report(QString("driver: export to %1 %2").arg(path, written ? "written" : "missing"));
    return written;
}

// Errors while the line works are worth seeing; time-outs of the search are not.
void WindowDriver::reportPortError(QSerialPort::SerialPortError error) {
    if (error != QSerialPort::NoError && error != QSerialPort::TimeoutError) {
        report(QString("driver: port error %1 (%2)").arg(error).arg(m_port->errorString()));
    }
}

void WindowDriver::answerModal() {
    QWidget* modal = QApplication::activeModalWidget();
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        answerMessageBox(box);
    } else if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
        answerFileDialog(dialog);
    } else if (modal != nullptr) {
        modal->close();
    }
}

void WindowDriver::answerMessageBox(QMessageBox* box) {
    report("message box: " + box->windowTitle() + ": " + box->text());
    for (const QString& line : box->informativeText().split('\n', Qt::SkipEmptyParts)) {
        report("message box:   " + line);
    }
    if (QAbstractButton* ok = box->button(QMessageBox::Ok)) {
        ok->click();
    } else {
        box->reject();
    }
}

// The name is typed into the dialog's name field, in the folder it names:
// selectFile leaves that field as it is while it has the focus, which the
// dialog gives it at some moment after it shows.
void WindowDriver::answerFileDialog(QFileDialog* dialog) {
    if (m_saveAs.isEmpty()) {
        dialog->reject();
        return;
    }
    const QFileInfo file(m_saveAs);
    dialog->setDirectory(file.absolutePath());
    if (auto* nameField = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
        nameField->setText(file.fileName());
    } else {
        dialog->selectFile(m_saveAs);
    }
    static_cast<QDialog*>(dialog)->accept();
}

bool WindowDriver::click(const QString& caption) {
    for (QPushButton* button : m_panel->findChildren<QPushButton*>()) {
        if (button->text() == caption) {
            button->click();
            return true;
        }
    }
    report("driver: no button " + caption);
    return false;
}

int WindowDriver::recordLineCount() const {
    int count = 0;
    for (QTextBlock block = m_log->document()->begin(); block.isValid(); block = block.next()) {
        count += isRecordLine(block.text()) ? 1 : 0;
    }
    return count;
}

// Every log line other than a record line: frame headers, discarded bytes, a
// lost line.
void WindowDriver::reportLogLines() const {
    for (QTextBlock block = m_log->document()->begin(); block.isValid(); block = block.next()) {
        if (!isRecordLine(block.text())) {
            report("log: " + block.text());
        }
    }
}

#ifdef VENTRIX_WITH_CHART
namespace {

void processEventsFor(int ms) {
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < ms) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    }
}

}  // namespace

// The window gets a moment to show and take in the records, as an operator
// would give it before looking.
int WindowDriver::showChart() {
    constexpr int kShowMs = 500;
    auto* chart = m_panel->findChild<RecordChart*>();
    if (chart == nullptr || !click("CHART")) {
        report("driver: no chart window");
        return -1;
    }
    processEventsFor(kShowMs);
    if (!chart->isVisible()) {
        report("driver: the chart window stays hidden");
        return -1;
    }
    const auto shown = static_cast<int>(chart->series().samples().size());
    report(QString("driver: chart shows %1 records").arg(shown));
    return shown;
}
#else
int WindowDriver::showChart() {
    report("driver: no chart in this build");
    return -1;
}
#endif
