#include "link/receive_buffer.h"

#include "link/error.h"

namespace kesto {

void ReceiveBuffer::append(const QByteArray &bytes)
{
    m_bytes += bytes;
    const qsizetype lastTilde = m_bytes.lastIndexOf('~');
    const qsizetype tailStart = qMax(m_front, lastTilde + 1);
    if (m_bytes.size() - tailStart <= kCapacity) {
        return;
    }
    // An unterminated run longer than the cap: drop it; its end, up to the next "~", is no
    // frame either. Complete frames in front of it stay.
    m_bytes.truncate(tailStart);
    m_scanned = qMin(m_scanned, m_bytes.size() - m_front);
    m_spoiledFrom = tailStart;
}

std::optional<QByteArrayView> ReceiveBuffer::takeFrame()
{
    for (;;) {
        const qsizetype p = m_bytes.indexOf('~', m_front + m_scanned);
        if (p < 0) {
            m_scanned = m_bytes.size() - m_front;
            return std::nullopt;
        }
        const QByteArrayView frame(m_bytes.constData() + m_front, p - m_front);
        const bool spoiled = m_front == m_spoiledFrom;
        m_front = p + 1;
        m_scanned = 0;
        if (spoiled) {
            // The end of a frame whose front was already dropped: not a frame.
            m_spoiledFrom = -1;
            continue;
        }
        return frame;
    }
}

void ReceiveBuffer::compact()
{
    if (m_front > 0) {
        m_bytes.remove(0, m_front);
        if (m_spoiledFrom >= 0) {
            m_spoiledFrom -= m_front;
        }
        m_front = 0;
    }
}

void ReceiveBuffer::clear()
{
    m_bytes.clear();
    m_front = 0;
    m_scanned = 0;
    m_spoiledFrom = -1;
}

quint32 Dispatcher::typeKey(QByteArrayView frame)
{
    const auto c0 = frame.size() > 0 ? quint32(quint8(frame.at(0))) : 0x100u;
    const auto c1 = frame.size() > 1 ? quint32(quint8(frame.at(1))) : 0x100u;
    return (c0 << 9) | c1;
}

void Dispatcher::setHandler(const QString &type, Handler handler, bool stampsAnswerTime)
{
    m_routes.insert(typeKey(type.toLatin1()),
                    std::make_shared<const Route>(Route{std::move(handler), stampsAnswerTime}));
}

void Dispatcher::removeHandler(const QString &type)
{
    m_routes.remove(typeKey(type.toLatin1()));
}

void Dispatcher::receive(const QByteArray &bytes)
{
    // Before appending: frames cut by an outer call may still be in use as views.
    if (m_depth == 0) {
        m_buffer.compact();
    }
    m_buffer.append(bytes);
    ++m_depth;
    while (std::optional<QByteArrayView> frame = m_buffer.takeFrame()) {
        dispatch(*frame);
    }
    --m_depth;
}

void Dispatcher::dispatch(QByteArrayView frameView)
{
    const auto it = m_routes.constFind(typeKey(frameView));
    if (it == m_routes.constEnd()) {
        return;
    }
    // Keep the route alive: a handler may replace routes while it runs.
    const std::shared_ptr<const Route> route = *it;
    ++m_framesHandled;
    try {
        // Copy out of the buffer first: a nested receive may move its storage.
        const AnswerFrame frame = AnswerFrame::fromFrameBytes(frameView);
        if (route->stamps && m_stamp) {
            m_stamp();
        }
        route->handler(frame);
    } catch (const Error &e) {
        if (m_errorSink) {
            m_errorSink(e.text());
        }
    } catch (const std::exception &e) {
        if (m_errorSink) {
            m_errorSink(QString::fromLocal8Bit(e.what()));
        }
    }
}

} // namespace kesto
