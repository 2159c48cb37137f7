#include "link/receive_buffer.h"

#include "link/error.h"

namespace kesto {

void ReceiveBuffer::append(const QByteArray &bytes)
{
    m_bytes += bytes;
    if (m_bytes.size() <= kCapacity) {
        return;
    }
    // Over the cap: keep only what may still end a frame we can use. Everything before the
    // last "~" is complete and stays; an unterminated run longer than the cap is dropped, and
    // the rest of that over-long frame is dropped up to its "~".
    const qsizetype lastTilde = m_bytes.lastIndexOf('~');
    const qsizetype tailStart = lastTilde + 1;
    if (m_bytes.size() - tailStart > kCapacity) {
        m_bytes.truncate(tailStart);
        m_overflowed = true;
    }
}

std::optional<QString> ReceiveBuffer::takeFrame()
{
    for (;;) {
        const qsizetype p = m_bytes.indexOf('~', m_scanned);
        if (p < 0) {
            m_scanned = m_bytes.size();
            return std::nullopt;
        }
        const QByteArray frame = m_bytes.left(p);
        m_bytes.remove(0, p + 1);
        m_scanned = 0;
        if (m_overflowed) {
            // The end of a frame whose front was already dropped: not a frame.
            m_overflowed = false;
            continue;
        }
        return QString::fromLatin1(frame);
    }
}

void Dispatcher::setHandler(const QString &type, Handler handler, bool stampsAnswerTime)
{
    m_routes.insert(type, Route{std::move(handler), stampsAnswerTime});
}

void Dispatcher::removeHandler(const QString &type)
{
    m_routes.remove(type);
}

void Dispatcher::receive(const QByteArray &bytes)
{
    m_buffer.append(bytes);
    while (std::optional<QString> frame = m_buffer.takeFrame()) {
        dispatch(*frame);
    }
}

void Dispatcher::dispatch(const QString &frameText)
{
    const QString type = frameText.left(2);
    const auto it = m_routes.constFind(type);
    if (it == m_routes.constEnd()) {
        return;
    }
    // Copy: a handler may replace routes while it runs.
    const Route route = *it;
    ++m_framesHandled;
    try {
        if (route.stamps && m_stamp) {
            m_stamp();
        }
        route.handler(AnswerFrame::fromFrameText(frameText));
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
