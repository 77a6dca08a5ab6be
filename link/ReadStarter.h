#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>

class QSerialPort;

// Qt's Windows serial backend hears of received bytes only when an overlapped
// WaitCommEvent on the port completes; only then does it start the next read. Some
// drivers never complete that wait (adapters that reject it, USB ports that give one read
// per opening, Wine on a line without modem lines). On Windows, while a watched port is
// open, a read is started on it every few milliseconds through a public call, and the
// bytes go the ordinary readyRead way. Elsewhere the backend needs no help and nothing
// is done.
class ReadStarter : public QObject {
    Q_OBJECT

public:
    explicit ReadStarter(QObject* parent = nullptr);

    void watch(QSerialPort* port);

private slots:
    void startReads();

private:
    QList<QPointer<QSerialPort>> m_ports;
    QTimer m_timer;
};
