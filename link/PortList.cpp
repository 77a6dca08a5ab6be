#include "link/PortList.h"

#include <QFileInfo>
#include <QSerialPortInfo>

namespace {

QStringList pathsFromEnvironment(const char* name) {
    return qEnvironmentVariable(name).split(':', Qt::SkipEmptyParts);
}

QStringList systemPorts() {
    if (qEnvironmentVariableIsSet("VENTRIX_SYSTEM_PORTS"))
        return pathsFromEnvironment("VENTRIX_SYSTEM_PORTS");
    QStringList names;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        names << info.portName();
    return names;
}

}  // namespace

QStringList candidatePorts() {
    return systemPorts() + pathsFromEnvironment("VENTRIX_EXTRA_PORTS");
}

QStringList presentPorts() {
    QStringList present = systemPorts();
    for (const QString& path : pathsFromEnvironment("VENTRIX_EXTRA_PORTS")) {
        if (!path.startsWith('/') || QFileInfo::exists(path))
            present << path;
    }
    return present;
}
