#pragma once

#include <QStringList>

// The ports the device search tries, in order: the serial ports the system
// lists, then the ports in VENTRIX_EXTRA_PORTS, separated as the system
// separates the folders of PATH (':', on Windows ';'). These are device
// paths (/dev/pts/3) or Windows port names (COM5, \\.\COM12): the way to
// reach ports the system does not list, such as pseudo-terminals. When
// VENTRIX_SYSTEM_PORTS is set, its ports (possibly none) replace the system's
// list, so that tests never touch real ports.
QStringList candidatePorts();

// The candidate ports that exist now: the system's list, and the paths of
// VENTRIX_EXTRA_PORTS that name an existing device. Names that are not paths
// (COM5) are taken as present.
QStringList presentPorts();
