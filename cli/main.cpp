// ventrix-cli: the detector's records without a window, for scripts and scheduled
// downloads. The same link, log wording and export as the window; see --help.

#include <QCoreApplication>
#include <QFileInfo>

#include "app/StandardOutput.h"
#include "cli/CommandLine.h"
#include "cli/Console.h"
#include "cli/DetectorSearch.h"
#include "cli/DownloadRun.h"
#include "cli/ExitStatus.h"
#include "cli/StopSignals.h"
#include "link/DetectorLink.h"

namespace {

bool printToStdout(const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    return writeToStdout(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

int runFind(const CliRequest& request, const StopSignals& stop) {
    DetectorLink link;
    const SearchResult result = searchDetector(link, request.ports, stop);
    if (stop.isRequested()) {
        return kExitInterrupted;
    }
    if (!result.found()) {
        return kExitNoDetector;
    }
    printToStdout(result.foundPort + QLatin1Char('\n'));
    return kExitDone;
}

// An existing file is replaced only when asked, and that is known before the search.
int runDownload(const CliRequest& request, const StopSignals& stop) {
    if (!request.toStandardOutput() && !request.force && QFileInfo::exists(request.output)) {
        printError(QStringLiteral("%1 exists; --force replaces it").arg(request.output));
        return kExitBadUsage;
    }
    DownloadRun download(request, stop);
    return download.run();
}

// Standard output stays a text stream for the port and the help, with the system's line
// ends; the CSV text goes out byte for byte.
int run(const CliRequest& request) {
    if (request.toStandardOutput()) {
        keepStdoutLineEndings();
    }
    setDiagnosticChannel(request.verbose ? DiagnosticChannel::StandardError
                                         : DiagnosticChannel::None);
    const StopSignals stop;
    return request.command == CliRequest::Command::Find ? runFind(request, stop)
                                                        : runDownload(request, stop);
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("ventrix-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VENTRIX_VERSION));

    CliRequest request;
    QString error;
    switch (parseCommandLine(QCoreApplication::arguments(), QDateTime::currentDateTime(), request,
                             error)) {
        case ParseOutcome::Help:
            printToStdout(helpText());
            return kExitDone;
        case ParseOutcome::Version:
            printToStdout(QStringLiteral("ventrix-cli " VENTRIX_VERSION "\n"));
            return kExitDone;
        case ParseOutcome::BadUsage:
            printError(error + QStringLiteral("\nTry 'ventrix-cli --help' for more information."));
            return kExitBadUsage;
        case ParseOutcome::Run:
            break;
    }
    return run(request);
}
