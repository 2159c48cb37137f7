#pragma once

#include <QElapsedTimer>
#include <QtGlobal>

namespace kesto {

// Monotonic milliseconds for elapsed-time checks (the answer watchdog); tests replace it.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual qint64 nowMs() const = 0;
};

class SteadyClock : public Clock
{
public:
    SteadyClock() { m_timer.start(); }
    qint64 nowMs() const override { return m_timer.elapsed(); }

private:
    QElapsedTimer m_timer;
};

class FakeClock : public Clock
{
public:
    qint64 nowMs() const override { return m_now; }
    void advance(qint64 ms) { m_now += ms; }
    void set(qint64 ms) { m_now = ms; }

private:
    qint64 m_now = 1'000'000;
};

} // namespace kesto
