#pragma once

#include <QStringList>

#include "link/PortSearch.h"

class DetectorLink;
class StopSignals;

// Searches the ports given, or the candidate ports when none are; found, the link holds
// the detector's port open. A detector still sending the reply to an earlier query is
// waited for: the link reads it until it falls silent and then searches again. When no
// detector is taken, says why on standard error: each port tried and why it was not
// taken, as the window's box lists them.
SearchResult searchDetector(DetectorLink& link, const QStringList& ports, const StopSignals& stop);
