#include "cli/CommandLine.h"

#include <QCommandLineParser>
#include <QRegularExpression>

#include "link/LinkFrame.h"

namespace {

const QString kTimeFormat = QStringLiteral("yyyy-MM-dd hh:mm:ss");
const QString kDateFormat = QStringLiteral("yyyy-MM-dd");

// On Windows, -? and /? ask for help as well.
QStringList helpNames() {
#ifdef Q_OS_WIN
    return {QStringLiteral("h"), QStringLiteral("help"), QStringLiteral("?")};
#else
    return {QStringLiteral("h"), QStringLiteral("help")};
#endif
}

struct Options {
    QCommandLineOption help{helpNames()};
    QCommandLineOption version{QStringLiteral("version")};
    QCommandLineOption port{QStringLiteral("port"), QString(), QStringLiteral("port")};
    QCommandLineOption from{QStringLiteral("from"), QString(), QStringLiteral("time")};
    QCommandLineOption to{QStringLiteral("to"), QString(), QStringLiteral("time")};
    QCommandLineOption last{QStringLiteral("last"), QString(), QStringLiteral("duration")};
    QCommandLineOption unit{QStringLiteral("unit"), QString(), QStringLiteral("unit")};
    QCommandLineOption output{QStringLiteral("output"), QString(), QStringLiteral("file")};
    QCommandLineOption force{QStringLiteral("force")};
    QCommandLineOption keepIncomplete{QStringLiteral("keep-incomplete")};
    QCommandLineOption verbose{QStringLiteral("verbose")};

    QList<QCommandLineOption> all() const {
        return {help, version, port, from, to, last, unit, output, force, keepIncomplete, verbose};
    }
    QList<QCommandLineOption> ofDownloadOnly() const {
        return {from, to, last, unit, output, force, keepIncomplete};
    }
};

bool asksForHelp(const QCommandLineParser& parser, const Options& options) {
#ifdef Q_OS_WIN
    if (parser.positionalArguments().contains(QStringLiteral("/?"))) {
        return true;
    }
#endif
    return parser.isSet(options.help);
}

QString dashed(const QString& name) {
    return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}

QString parseError(const QCommandLineParser& parser) {
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty()) {
        return QStringLiteral("unknown option '%1'").arg(dashed(unknown.first()));
    }
    return parser.errorText();
}

// "yyyy-MM-dd hh:mm:ss", or a date alone: its first second, or its last for an end.
QDateTime parseTime(const QString& text, bool isEnd) {
    const QDateTime time = QDateTime::fromString(text, kTimeFormat);
    if (time.isValid()) {
        return time;
    }
    const QDate date = QDate::fromString(text, kDateFormat);
    return date.isValid() ? QDateTime(date, isEnd ? QTime(23, 59, 59) : QTime(0, 0, 0))
                          : QDateTime();
}

// A number followed by s, m, h or d, in seconds; -1 when the text is none.
qint64 parseDuration(const QString& text) {
    static const QRegularExpression pattern(QStringLiteral("^([0-9]{1,9})([smhd])$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch()) {
        return -1;
    }
    static const QString units = QStringLiteral("smhd");
    static const qint64 seconds[] = {1, 60, 3600, 86400};
    return match.captured(1).toLongLong() * seconds[units.indexOf(match.captured(2))];
}

class RequestReader {
public:
    RequestReader(const QCommandLineParser& parser, const Options& options, CliRequest& request,
                  QString& error)
        : m_parser(parser), m_options(options), m_request(request), m_error(error) {}

    bool read(const QDateTime& now);

private:
    bool readFind();
    bool readDownload(const QDateTime& now);
    bool readRange(const QDateTime& now);
    bool readTime(const QCommandLineOption& option, bool isEnd, QDateTime& time);
    bool readLast(const QDateTime& now);
    bool readUnit();
    bool fail(const QString& error) {
        m_error = error;
        return false;
    }

    const QCommandLineParser& m_parser;
    const Options& m_options;
    CliRequest& m_request;
    QString& m_error;
};

bool RequestReader::read(const QDateTime& now) {
    const QStringList words = m_parser.positionalArguments();
    if (words.isEmpty()) {
        return fail(QStringLiteral("no command: find or download"));
    }
    if (words.size() > 1) {
        return fail(QStringLiteral("unexpected argument '%1'").arg(words.at(1)));
    }
    m_request.ports = m_parser.values(m_options.port);
    m_request.verbose = m_parser.isSet(m_options.verbose);
    if (words.first() == QLatin1String("find")) {
        m_request.command = CliRequest::Command::Find;
        return readFind();
    }
    if (words.first() == QLatin1String("download")) {
        m_request.command = CliRequest::Command::Download;
        return readDownload(now);
    }
    return fail(QStringLiteral("unknown command '%1': find or download").arg(words.first()));
}

bool RequestReader::readFind() {
    for (const QCommandLineOption& option : m_options.ofDownloadOnly()) {
        if (m_parser.isSet(option)) {
            return fail(QStringLiteral("%1 is an option of download, not of find")
                            .arg(dashed(option.names().first())));
        }
    }
    return true;
}

bool RequestReader::readDownload(const QDateTime& now) {
    if (!readRange(now) || !readUnit()) {
        return false;
    }
    m_request.output = m_parser.value(m_options.output);
    if (m_request.output.isEmpty()) {
        return fail(QStringLiteral("download needs --output FILE (- for standard output)"));
    }
    m_request.force = m_parser.isSet(m_options.force);
    m_request.keepIncomplete = m_parser.isSet(m_options.keepIncomplete);
    return true;
}

bool RequestReader::readRange(const QDateTime& now) {
    const bool fromOrTo = m_parser.isSet(m_options.from) || m_parser.isSet(m_options.to);
    if (m_parser.isSet(m_options.last)) {
        return fromOrTo ? fail(QStringLiteral("--last goes without --from and --to"))
                        : readLast(now);
    }
    if (!m_parser.isSet(m_options.from) || !m_parser.isSet(m_options.to)) {
        return fail(QStringLiteral("download needs --from TIME and --to TIME, or --last DURATION"));
    }
    if (!readTime(m_options.from, false, m_request.from) ||
        !readTime(m_options.to, true, m_request.to)) {
        return false;
    }
    if (m_request.from > m_request.to) {
        return fail(QStringLiteral("--from is after --to"));
    }
    return true;
}

bool RequestReader::readTime(const QCommandLineOption& option, bool isEnd, QDateTime& time) {
    const QString name = dashed(option.names().first());
    const QString text = m_parser.value(option);
    time = parseTime(text, isEnd);
    if (!time.isValid()) {
        return fail(QStringLiteral("%1 takes \"yyyy-MM-dd hh:mm:ss\" or \"yyyy-MM-dd\", not '%2'")
                        .arg(name, text));
    }
    if (time < kFirstQueryTime || time > kLastQueryTime) {
        return fail(QStringLiteral("%1 lies outside %2 to %3, the times a query can carry")
                        .arg(name, kFirstQueryTime.toString(kTimeFormat),
                             kLastQueryTime.toString(kTimeFormat)));
    }
    return true;
}

bool RequestReader::readLast(const QDateTime& now) {
    const QString text = m_parser.value(m_options.last);
    const qint64 seconds = parseDuration(text);
    if (seconds < 0) {
        return fail(QStringLiteral("--last takes a number followed by s, m, h or d (7d), not '%1'")
                        .arg(text));
    }
    m_request.to = now.addMSecs(-now.time().msec());
    m_request.from = m_request.to.addSecs(-seconds);
    if (m_request.from < kFirstQueryTime) {
        return fail(QStringLiteral("--last %1 reaches back before %2, the first time a query "
                                   "can carry")
                        .arg(text, kFirstQueryTime.toString(kTimeFormat)));
    }
    return true;
}

bool RequestReader::readUnit() {
    if (!m_parser.isSet(m_options.unit)) {
        return true;
    }
    const QString text = m_parser.value(m_options.unit);
    for (int unit = 0; unit < kUnitCount; ++unit) {
        if (text.compare(QLatin1String(unitInfo(unit).comboItem), Qt::CaseInsensitive) == 0) {
            m_request.unitIndex = unit;
            return true;
        }
    }
    return fail(QStringLiteral("--unit takes PPM.M, %LEL.M or %VOL.M, not '%1'").arg(text));
}

}  // namespace

ParseOutcome parseCommandLine(const QStringList& arguments, const QDateTime& now,
                              CliRequest& request, QString& error) {
    const Options options;
    QCommandLineParser parser;
    parser.addOptions(options.all());
    if (!parser.parse(arguments)) {
        error = parseError(parser);
        return ParseOutcome::BadUsage;
    }
    if (asksForHelp(parser, options)) {
        return ParseOutcome::Help;
    }
    if (parser.isSet(options.version)) {
        return ParseOutcome::Version;
    }
    RequestReader reader(parser, options, request, error);
    return reader.read(now) ? ParseOutcome::Run : ParseOutcome::BadUsage;
}

QString helpText() {
#ifdef Q_OS_WIN
    const QString helpNames = QStringLiteral("-h, -?, /?, --help");
#else
    const QString helpNames = QStringLiteral("-h, --help");
#endif
    return QStringLiteral(
               "Usage: ventrix-cli find [--port PORT]... [--verbose]\n"
               "       ventrix-cli download (--from TIME --to TIME | --last DURATION)\n"
               "                   [--unit UNIT] [--port PORT]... --output FILE\n"
               "                   [--force] [--keep-incomplete] [--verbose]\n"
               "\n"
               "Reads the alarm records stored in a gas detector on a serial port, without a\n"
               "window.\n"
               "\n"
               "Commands:\n"
               "  find                 print the port where the detector answers\n"
               "  download             query the records of a time range and save them\n"
               "\n"
               "Options:\n"
               "  --from TIME          start of the range: \"yyyy-MM-dd hh:mm:ss\", or\n"
               "                       \"yyyy-MM-dd\" for 00:00:00 of that day\n"
               "  --to TIME            end of the range, both ends included; a date alone\n"
               "                       stands for 23:59:59 of that day\n"
               "  --last DURATION      the range that ends now: a number followed by s, m, h\n"
               "                       or d, such as 7d\n"
               "  --unit UNIT          PPM.M (the default), %LEL.M or %VOL.M\n"
               "  --port PORT          search this port only; repeat it for more ports\n"
               "  --output FILE        a workbook (.xls), a CSV file (a name ending in .csv),\n"
               "                       or - for the CSV text on standard output\n"
               "  --force              replace FILE when it exists\n"
               "  --keep-incomplete    save the records of a download that did not finish\n"
               "  --verbose            show the search, the query and the log on standard\n"
               "                       error\n"
               "  %1   print this help\n"
               "  --version            print the version\n"
               "\n"
               "Without --port the search tries the serial ports the system lists, or those\n"
               "of VENTRIX_SYSTEM_PORTS when it is set, then those of VENTRIX_EXTRA_PORTS.\n"
               "\n"
               "Exit status: 0 done, 1 no detector found, 2 bad usage, 3 the download did\n"
               "not finish, 4 the file could not be saved, 130 interrupted.\n")
        .arg(helpNames.leftJustified(18));
}
