#pragma once

#include <QSerialPort>
#include <QString>

// Errors a serial port reports while the link has it open. Each platform's
// serial backend reports a vanished line (a peer that hung up, an unplugged
// adapter) in its own way: ReadError or ResourceError on Linux; on Windows
// whatever the failed wait or read returned: ResourceError, PermissionError
// (access denied), or UnknownError for system codes without a name of their
// own, such as a broken pipe. A failed write (WriteError) is a query that did
// not go out, which the link reports as such.

// True when the error means that the line is gone for good. Time-outs of
// waits, refused settings and calls on a closed port are not such errors.
bool isLineLost(QSerialPort::SerialPortError error);

// What the log names as the cause of a lost line, e.g. "serial port read
// error".
QString lineLostCause(QSerialPort::SerialPortError error);
