#include "cli/DetectorSearch.h"

#include <QEventLoop>

#include "cli/Console.h"
#include "cli/StopSignals.h"
#include "link/DetectorLink.h"

namespace {

// The search the link starts by itself once the port has fallen silent; a stop request
// ends the wait with no detector.
SearchResult nextSearch(DetectorLink& link, const StopSignals& stop) {
    SearchResult result;
    QEventLoop loop;
    QObject::connect(&link, &DetectorLink::searchFinished, &loop,
                     [&](const SearchResult& finished) {
                         result = finished;
                         loop.quit();
                     });
    QObject::connect(&stop, SIGNAL(stopRequested()), &loop, SLOT(quit()));
    loop.exec();
    return result;
}

void reportNotTaken(const SearchResult& result) {
    if (!result.openFailure.isEmpty()) {
        printError(QStringLiteral("the detector answered, but its port failed to open: ") +
                   result.openFailure);
    } else if (!result.found()) {
        printError(QStringLiteral("no detector found"));
        for (const QString& line : result.reportLines()) {
            printNote(QStringLiteral("  ") + line);
        }
    }
}

}  // namespace

SearchResult searchDetector(DetectorLink& link, const QStringList& ports, const StopSignals& stop) {
    link.setSearchPorts(ports);
    SearchResult result = link.findDevice();
    while (!result.found() && !result.stillSendingPort().isEmpty() && !stop.isRequested()) {
        printNote(QStringLiteral("%1 is still sending a reply; waiting until it is silent")
                      .arg(result.stillSendingPort()));
        result = nextSearch(link, stop);
    }
    if (!stop.isRequested()) {
        reportNotTaken(result);
    }
    return result;
}
