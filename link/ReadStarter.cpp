#include "link/ReadStarter.h"

#include <QSerialPort>

namespace {

// Well below the time a line at 115200 baud takes to fill the driver's input buffer.
constexpr int kReadStartMs = 30;

}  // namespace

ReadStarter::ReadStarter(QObject* parent) : QObject(parent) {
    connect(&m_timer, SIGNAL(timeout()), this, SLOT(startReads()));
}

void ReadStarter::watch(QSerialPort* port) {
#ifdef Q_OS_WIN
    m_ports.append(port);
    m_timer.start(kReadStartMs);
#else
    Q_UNUSED(port);
#endif
}

// Setting the read buffer size starts a read when none is under way.
void ReadStarter::startReads() {
    for (const QPointer<QSerialPort>& port : m_ports) {
        if (port && port->isOpen()) {
            port->setReadBufferSize(port->readBufferSize());
        }
    }
}
