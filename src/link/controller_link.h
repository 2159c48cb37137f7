#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>

#include <QIODevice>

namespace kesto {

// The serial link to the controller. Only this class creates the serial port; tests hand it
// any QIODevice (a pty, a buffer). Received bytes are passed on as they arrive.
class ControllerLink : public QObject
{
    Q_OBJECT
public:
    explicit ControllerLink(QObject *parent = nullptr);
    ~ControllerLink() override;

    // Opens a serial port by system name or device path: 115200 baud, 8 data bits, no parity,
    // 2 stop bits, no flow control, DTR and RTS on. A device that refuses DTR/RTS (a pty) is
    // kept with a warning. Returns whether the port is open.
    bool open(const QString &portName);
    // Uses an already open device instead of a serial port (tests, demo). Not owned.
    void attach(QIODevice *device);
    void close();
    bool isOpen() const;

    // Writes all bytes of one command. False at once when closed, false when the device makes
    // no progress for 100 ms; true only when every byte was written.
    bool send(const QByteArray &command);

    QIODevice *device() const { return m_device; }

    static constexpr int kStallLimitMs = 100;

Q_SIGNALS:
    void bytesReceived(const QByteArray &bytes);
    // Every command handed to send() while the link was open, before it is written.
    void commandSent(const QByteArray &command);

private:
    void readAvailable();

    QPointer<QIODevice> m_device;
    bool m_ownsDevice = false;
};

} // namespace kesto
