#include "cli/DetectorSearch.h"

#include "cli/Console.h"
#include "cli/StopSignals.h"
#include "link/DetectorLink.h"

namespace {

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
        // The link searches again by itself once the port has fallen silent; a stop
        // request ends the wait with no detector.
        result = link.waitForSearch(&stop, SIGNAL(stopRequested()));
    }
    if (!stop.isRequested()) {
        reportNotTaken(result);
    }
    return result;
}
