// Runs the program's main window with this driver standing in for the
// operator: the start-up search, one query, one export. For checking a build
// where nobody sits at the screen, such as the Windows build under Wine.
//
//   window-driver --from TIME --to TIME --export FILE [--chart]
//
// --chart: after the query, open the chart window and report how many records
// it shows.
// Exit status 0 when the start-up search found the detector, records came in,
// the file was written and, with --chart, the chart window showed.

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <cstdio>

#include "app/StandardOutput.h"
#include "app/Ventrix.h"
#include "tools/window-driver/WindowDriver.h"
#include "widgets/ApplicationDirectory.h"
#include "widgets/ApplicationFont.h"

namespace {

struct Session {
    QString from;
    QString to;
    QString exportPath;
    bool chart = false;
};

bool parseSession(const QApplication& app, Session& session) {
    QCommandLineParser parser;
    const QCommandLineOption from("from", "Start of the queried range.", "time");
    const QCommandLineOption to("to", "End of the queried range.", "time");
    const QCommandLineOption exportPath("export", "File the records are saved to.", "file");
    const QCommandLineOption chart("chart", "Open the chart after the query.");
    parser.addOptions({from, to, exportPath, chart});
    parser.process(app);
    session = {parser.value(from), parser.value(to), parser.value(exportPath)};
    session.chart = parser.isSet(chart);
    return !session.from.isEmpty() && !session.to.isEmpty() && !session.exportPath.isEmpty();
}

int drive(QWidget& window, WindowDriver& driver, const Session& session) {
    if (!driver.attach(window)) {
        return 1;
    }
    if (!driver.portIsOpen()) {
        return 1;
    }
    const int records = driver.query(session.from, session.to);
    const bool charted = !session.chart || driver.showChart() >= 0;
    const bool written = driver.exportTo(session.exportPath);
    return records > 0 && charted && written ? 0 : 1;
}

}  // namespace

int main(int argc, char* argv[]) {
    keepStdoutLineEndings();
    QApplication app(argc, argv);
    Session session;
    if (!parseSession(app, session)) {
        std::fputs("usage: window-driver --from TIME --to TIME --export FILE [--chart]\n", stderr);
        return 2;
    }
    g_applicationDirectory = QCoreApplication::applicationDirPath();
    QApplication::setWindowIcon(QIcon("exe.ico"));
    useApplicationFont();

    WindowDriver driver;
    Ventrix window;
    window.show();
    return drive(window, driver, session);
}
