#include "link/controller_link.h"

#include <QElapsedTimer>
#include <QSerialPort>
#include <QThread>
#include <QtDebug>

namespace kesto {

ControllerLink::ControllerLink(QObject *parent) : QObject(parent) {}

ControllerLink::~ControllerLink()
{
    close();
}

bool ControllerLink::open(const QString &portName)
{
    close();
    auto *port = new QSerialPort(this);
    port->setPortName(portName);
    if (!port->open(QIODevice::ReadWrite)) {
        delete port;
        return false;
    }
    port->setBaudRate(QSerialPort::Baud115200);
    port->setDataBits(QSerialPort::Data8);
    port->setParity(QSerialPort::NoParity);
    port->setStopBits(QSerialPort::TwoStop);
    port->setFlowControl(QSerialPort::NoFlowControl);
    if (!port->setDataTerminalReady(true) || !port->setRequestToSend(true)) {
        // A pseudo-terminal has no modem lines; the link works without them.
        qWarning("Port %s: cannot switch DTR/RTS on (%s); continuing without them",
                 qPrintable(portName), qPrintable(port->errorString()));
        port->clearError();
    }
    m_device = port;
    m_ownsDevice = true;
    connect(port, &QIODevice::readyRead, this, &ControllerLink::readAvailable);
    return true;
}

void ControllerLink::attach(QIODevice *device)
{
    close();
    m_device = device;
    m_ownsDevice = false;
    if (device) {
        connect(device, &QIODevice::readyRead, this, &ControllerLink::readAvailable);
    }
}

void ControllerLink::close()
{
    if (!m_device) {
        return;
    }
    disconnect(m_device, nullptr, this, nullptr);
    if (m_ownsDevice) {
        m_device->close();
        m_device->deleteLater();
    }
    m_device = nullptr;
    m_ownsDevice = false;
}

bool ControllerLink::isOpen() const
{
    return m_device && m_device->isOpen();
}

bool ControllerLink::send(const QByteArray &command)
{
    if (!isOpen()) {
        return false;
    }
    Q_EMIT commandSent(command);
    // Hand the bytes to the device and push them to the driver without entering the event loop
    // (a nested readyRead here would dispatch answers from inside a sender).
    auto *port = qobject_cast<QSerialPort *>(m_device.data());
    qint64 done = 0;
    qint64 pending = -1;
    QElapsedTimer sinceProgress;
    sinceProgress.start();
    for (;;) {
        if (done < command.size()) {
            const qint64 n = m_device->write(command.constData() + done, command.size() - done);
            if (n < 0) {
                return false;
            }
            if (n > 0) {
                done += n;
                sinceProgress.restart();
            }
        }
        if (port) {
            port->flush();
        }
        const qint64 left = m_device->bytesToWrite();
        if (done == command.size() && left == 0) {
            return true;
        }
        if (pending < 0 || left < pending) {
            pending = left;
            sinceProgress.restart();
        }
        if (sinceProgress.elapsed() >= kStallLimitMs) {
            return false;
        }
        QThread::msleep(1);
    }
}

void ControllerLink::readAvailable()
{
    if (!m_device) {
        return;
    }
    const QByteArray bytes = m_device->readAll();
    if (!bytes.isEmpty()) {
        Q_EMIT bytesReceived(bytes);
    }
}

} // namespace kesto
