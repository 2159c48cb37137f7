#pragma once

#include <QElapsedTimer>
#include <QSerialPort>
#include <QtTest>

namespace kesto::test {

// The program's side of the line in tests: a serial port on the device path that collects
// whatever arrives.
class SerialHost
{
public:
    bool open(const QString &path)
    {
        m_port.setPortName(path);
        if (!m_port.open(QIODevice::ReadWrite)) {
            qWarning() << "cannot open" << path << m_port.errorString();
            return false;
        }
        m_port.setBaudRate(QSerialPort::Baud115200);
        m_port.setDataBits(QSerialPort::Data8);
        m_port.setParity(QSerialPort::NoParity);
        m_port.setStopBits(QSerialPort::TwoStop);
        m_port.setFlowControl(QSerialPort::NoFlowControl);
        QObject::connect(&m_port, &QSerialPort::readyRead, [this] { in += m_port.readAll(); });
        return true;
    }
    void close() { m_port.close(); }
    void send(const QByteArray &bytes)
    {
        m_port.write(bytes);
        m_port.flush();
    }
    // Sends and waits until the given number of frames has come back (or the time is up, when
    // no answer is the expected one).
    QByteArray ask(const QByteArray &command, int frames, int timeoutMs = 5000)
    {
        in.clear();
        send(command);
        QElapsedTimer t;
        t.start();
        while (in.count('~') < frames && t.elapsed() < timeoutMs) {
            QTest::qWait(2);
        }
        return in;
    }
    // Waits a little for bytes that should not come.
    QByteArray quietFor(int ms)
    {
        QTest::qWait(ms);
        return in;
    }

    QByteArray in;

private:
    QSerialPort m_port;
};

} // namespace kesto::test
