#pragma once

#include "link/answer_frame.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

namespace kesto {

// Received characters not yet cut into frames. Every "~" ends a frame. Bounded: noise that
// never holds a "~" is dropped once the buffer would exceed its cap, and so is the rest of the
// over-long frame up to its "~".
class ReceiveBuffer
{
public:
    static constexpr qsizetype kCapacity = 64 * 1024;

    void append(const QByteArray &bytes);
    // Cuts the first complete frame (without its "~") off the front, if there is one. The view
    // stays valid until the next append() or compact().
    std::optional<QByteArrayView> takeFrame();
    // Drops the characters already cut (cheap to call after every batch).
    void compact();
    QByteArray pending() const { return m_bytes.mid(m_front); }
    void clear();

private:
    QByteArray m_bytes;
    qsizetype m_front = 0;   // characters before this were already cut
    qsizetype m_scanned = 0; // from m_front, characters known to hold no "~"
    qsizetype m_spoiledFrom = -1; // where the tail of a frame that exceeded the cap begins
};

// Routes every complete frame to the handler of its type. A frame is removed from the buffer
// before its handler runs, so a handler that opens a modal box (and so dispatches nested) sees
// a consistent buffer. A handler that throws is reported to the error sink and the next frame
// is handled all the same.
class Dispatcher
{
public:
    using Handler = std::function<void(const AnswerFrame &)>;
    using ErrorSink = std::function<void(const QString &)>;
    using Stamp = std::function<void()>;

    // One handler per type; a later registration replaces the earlier one.
    void setHandler(const QString &type, Handler handler, bool stampsAnswerTime = false);
    void removeHandler(const QString &type);
    void setErrorSink(ErrorSink sink) { m_errorSink = std::move(sink); }
    // Called before the handler of a stamping type ("z1", "z4", "lg", "ss").
    void setStamp(Stamp stamp) { m_stamp = std::move(stamp); }

    void receive(const QByteArray &bytes);

    ReceiveBuffer &buffer() { return m_buffer; }
    quint64 framesHandled() const { return m_framesHandled; }

private:
    struct Route
    {
        Handler handler;
        bool stamps = false;
    };
    static quint32 typeKey(QByteArrayView frame);
    void dispatch(QByteArrayView frame);

    ReceiveBuffer m_buffer;
    QHash<quint32, std::shared_ptr<const Route>> m_routes;
    ErrorSink m_errorSink;
    Stamp m_stamp;
    quint64 m_framesHandled = 0;
    int m_depth = 0;
};

} // namespace kesto
