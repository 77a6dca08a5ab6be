#pragma once

#include <QStringList>

// The ports the device search tries, in order: the serial ports the system
// lists, then the device paths in VENTRIX_EXTRA_PORTS (separated by ':'),
// which is how the program reaches ports the system does not list, such as
// pseudo-terminals. When VENTRIX_SYSTEM_PORTS is set, its paths (possibly
// none) replace the system's list, so that tests never touch real ports.
QStringList candidatePorts();

// The candidate ports that exist now: the system's list, and the paths of
// VENTRIX_EXTRA_PORTS that name an existing device. Names that are not paths
// (COM5) are taken as present.
QStringList presentPorts();
