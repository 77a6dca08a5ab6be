#include "link/LineErrors.h"

bool isLineLost(QSerialPort::SerialPortError error) {
    switch (error) {
        case QSerialPort::ReadError:
        case QSerialPort::ResourceError:
        case QSerialPort::PermissionError:
        case QSerialPort::UnknownError:
            return true;
        default:
            return false;
    }
}

QString lineLostCause(QSerialPort::SerialPortError error) {
    switch (error) {
        case QSerialPort::ResourceError:
            return QStringLiteral("serial port resource error");
        case QSerialPort::PermissionError:
            return QStringLiteral("serial port access denied");
        case QSerialPort::UnknownError:
            return QStringLiteral("serial port failure");
        default:
            return QStringLiteral("serial port read error");
    }
}
