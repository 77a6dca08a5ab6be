#include "LinkTestSupport.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>
#include <QApplication>
#include <QDateTimeEdit>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <chrono>

DetectorSimulator::~DetectorSimulator() {
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished(5000);
    }
}

bool DetectorSimulator::start(const QStringList& arguments) {
    csvPath_ = dir_.filePath("records.csv");
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start(VENTRIX_DETECTOR_SIM, QStringList{"--dump-csv", csvPath_} + arguments);
    if (!process_.waitForStarted(5000)) {
        return false;
    }
    while (!process_.canReadLine() && process_.waitForReadyRead(5000)) {
    }
    devicePath_ = QString::fromLocal8Bit(process_.readLine()).trimmed();
    return devicePath_.startsWith("/dev/");
}

bool DetectorSimulator::stop() {
    if (process_.state() != QProcess::NotRunning) {
        process_.terminate();
        if (!process_.waitForFinished(5000)) {
            return false;
        }
    }
    return process_.exitStatus() == QProcess::NormalExit && process_.exitCode() == 0;
}

QList<CsvRecord> DetectorSimulator::records() const {
    QFile file(csvPath_);
    QList<CsvRecord> records;
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return records;
    }
    while (!file.atEnd()) {
        const QList<QByteArray> fields = file.readLine().trimmed().split(',');
        records.append(CsvRecord{QString::fromLatin1(fields.value(0)), fields.value(1).toInt()});
    }
    return records;
}

PtyPeer::PtyPeer() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
        return;
    }
    termios raw{};
    tcgetattr(master_, &raw);
    cfmakeraw(&raw);
    tcsetattr(master_, TCSANOW, &raw);
    path_ = QString::fromLocal8Bit(ptsname(master_));
    slave_ = ::open(ptsname(master_), O_RDWR | O_NOCTTY);
}

PtyPeer::~PtyPeer() {
    join();
    if (slave_ >= 0) {
        ::close(slave_);
    }
    if (master_ >= 0) {
        ::close(master_);
    }
}

QByteArray PtyPeer::read(int count, int timeoutMs) {
    QByteArray bytes;
    QElapsedTimer elapsed;
    elapsed.start();
    while (bytes.size() < count) {
        const qint64 left = timeoutMs - elapsed.elapsed();
        pollfd p{master_, POLLIN, 0};
        if (left < 0 || ::poll(&p, 1, static_cast<int>(left)) <= 0) {
            break;
        }
        char chunk[4096];
        const ssize_t n =
            ::read(master_, chunk, std::min<size_t>(sizeof chunk, count - bytes.size()));
        if (n <= 0) {
            break;
        }
        bytes.append(chunk, static_cast<int>(n));
    }
    return bytes;
}

bool PtyPeer::hasInput() const {
    pollfd p{master_, POLLIN, 0};
    return ::poll(&p, 1, 0) > 0 && (p.revents & POLLIN);
}

bool PtyPeer::write(const QByteArray& bytes) {
    return ::write(master_, bytes.constData(), bytes.size()) == bytes.size();
}

void PtyPeer::answerIdentify(const QList<QByteArray>& pieces, int pauseMs) {
    answerer_ = std::thread([this, pieces, pauseMs] {
        identifyCommand_ = read(9, 10000);
        for (int i = 0; i < pieces.size(); ++i) {
            if (i > 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
            }
            write(pieces[i]);
        }
    });
}

void PtyPeer::join() {
    if (answerer_.joinable()) {
        answerer_.join();
    }
}

QByteArray detectorIdentifyAnswer() {
    return QByteArray::fromHex("0a0b0c0009") + "Q781 1.00" + QByteArray::fromHex("faa3b3");
}

namespace {

// Qt Test reports warnings and debug messages on standard output as well.
bool isQtTestMessage(const QByteArray& line) {
    static const QRegularExpression prefix("^(QWARN|QDEBUG|QINFO|QSYSTEM|QFATAL|QCRITICAL) *: ");
    return prefix.match(QString::fromUtf8(line)).hasMatch();
}

}  // namespace

StdoutCapture::StdoutCapture() {
    std::fflush(stdout);
    file_ = std::tmpfile();
    saved_ = ::dup(STDOUT_FILENO);
    ::dup2(fileno(file_), STDOUT_FILENO);
}

StdoutCapture::~StdoutCapture() {
    finish();
}

QByteArray StdoutCapture::finish() {
    if (saved_ < 0) {
        return QByteArray();
    }
    std::fflush(stdout);
    ::dup2(saved_, STDOUT_FILENO);
    ::close(saved_);
    saved_ = -1;
    QFile captured;
    captured.open(file_, QIODevice::ReadOnly);
    captured.seek(0);
    QByteArray text;
    while (!captured.atEnd()) {
        const QByteArray line = captured.readLine();
        if (!isQtTestMessage(line)) {
            text += line;
        }
    }
    captured.close();
    std::fclose(file_);
    return text;
}

MessageBoxWatcher::MessageBoxWatcher() {
    timer_.setInterval(10);
    connect(&timer_, &QTimer::timeout, this, &MessageBoxWatcher::closeActiveModal);
    timer_.start();
}

QStringList MessageBoxWatcher::texts() const {
    QStringList texts;
    for (const Seen& box : seen_) {
        texts << box.text;
    }
    return texts;
}

// The name is typed into the dialog's name field, in the folder it names:
// selectFile would leave that field as it is while it has the focus, which
// the dialog gives it at some moment after it shows.
void MessageBoxWatcher::answerFileDialog(QFileDialog* dialog) {
    seenDialogs_.append({dialog->windowTitle(), dialog->directory().absolutePath(),
                         dialog->nameFilters(), dialog->parent() != nullptr});
    auto* nameField = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (saveAs_.isEmpty() || !nameField) {
        dialog->reject();
        return;
    }
    const QFileInfo file(saveAs_);
    dialog->setDirectory(file.absolutePath());
    nameField->setText(file.fileName());
    static_cast<QDialog*>(dialog)->done(QDialog::Accepted);
}

void MessageBoxWatcher::closeActiveModal() {
    QWidget* modal = QApplication::activeModalWidget();
    if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
        answerFileDialog(dialog);
        return;
    }
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (!box) {
        if (modal) {
            modal->close();
        }
        return;
    }
    Seen seen{box->windowTitle(), box->text(), box->informativeText(),
              box->icon(),        {},          box->parent() != nullptr};
    for (QAbstractButton* button : box->buttons()) {
        seen.buttons << button->text();
    }
    seen_.append(seen);
    if (QAbstractButton* ok = box->button(QMessageBox::Ok)) {
        ok->click();
    } else {
        box->reject();
    }
}

namespace {

// Reaches QObject's protected receivers() through a member pointer taken in a
// derived class, which the language allows for any QObject.
struct ReceiverCounter : QObject {
    static int count(const QObject* sender, const char* signal) {
        return (sender->*(&ReceiverCounter::receivers))(signal);
    }
};

}  // namespace

int connectionCount(const QObject* sender, const char* signal) {
    return ReceiverCounter::count(sender, signal);
}

QList<CsvRecord> recordsBetween(const QList<CsvRecord>& all, const QString& from,
                                const QString& to) {
    QList<CsvRecord> selected;
    for (const CsvRecord& record : all) {
        if (record.timeText >= from && record.timeText <= to) {
            selected.append(record);
        }
    }
    return selected;
}

QStringList readWorkbook(const QString& path) {
    QProcess reader;
    reader.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral(VENTRIX_DUMP_WORKBOOK), path});
    if (!reader.waitForFinished(60000) || reader.exitCode() != 0) {
        return {};
    }
    return QString::fromUtf8(reader.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
}

QStringList firstSheetRows(const QStringList& workbook) {
    const int start = workbook.indexOf(QRegularExpression("^sheet Sheet1 .*"));
    const int end = workbook.indexOf(QRegularExpression("^sheet Sheet2 .*"));
    return start < 0 || end < start ? QStringList() : workbook.mid(start + 1, end - start - 1);
}

QPushButton* buttonWithText(const QWidget& parent, const QString& text) {
    for (QPushButton* button : parent.findChildren<QPushButton*>()) {
        if (button->text() == text)
            return button;
    }
    return nullptr;
}

bool clickButton(const QWidget& parent, const QString& text) {
    QPushButton* button = buttonWithText(parent, text);
    if (!button)
        return false;
    QTest::mouseClick(button, Qt::LeftButton);
    return true;
}

void setQueryRange(const QWidget& panel, const QString& from, const QString& to) {
    const QString format = QStringLiteral("yyyy-MM-dd hh:mm:ss");
    panel.findChild<QDateTimeEdit*>("startEdit")->setDateTime(QDateTime::fromString(from, format));
    panel.findChild<QDateTimeEdit*>("endEdit")->setDateTime(QDateTime::fromString(to, format));
}
