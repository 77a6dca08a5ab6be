#include "cli/DetectorSearch.h"

#include "cli/Console.h"
#include "link/DetectorLink.h"

SearchResult searchDetector(DetectorLink& link, const QStringList& ports) {
    link.setSearchPorts(ports);
    const SearchResult result = link.findDevice();
    if (!result.openFailure.isEmpty()) {
        printError(QStringLiteral("the detector answered, but its port failed to open: ") +
                   result.openFailure);
    } else if (!result.found()) {
        printError(QStringLiteral("no detector found"));
        for (const QString& line : result.reportLines()) {
            printNote(QStringLiteral("  ") + line);
        }
    }
    return result;
}
