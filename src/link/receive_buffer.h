#pragma once

#include "link/answer_frame.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <functional>
#include <optional>

namespace kesto {

// Received characters not yet cut into frames. Every "~" ends a frame. Bounded: noise that
// never holds a "~" is dropped once the buffer would exceed its cap.
class ReceiveBuffer
{
public:
    static constexpr qsizetype kCapacity = 64 * 1024;

    void append(const QByteArray &bytes);
    // Cuts the first complete frame (without its "~") off the front, if there is one.
    std::optional<QString> takeFrame();
    const QByteArray &pending() const { return m_bytes; }
    void clear() { m_bytes.clear(); }

private:
    QByteArray m_bytes;
    qsizetype m_scanned = 0; // bytes known to hold no "~"
    bool m_overflowed = false; // the front is the tail of a frame that exceeded the cap
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
    void dispatch(const QString &frameText);

    ReceiveBuffer m_buffer;
    QHash<QString, Route> m_routes;
    ErrorSink m_errorSink;
    Stamp m_stamp;
    quint64 m_framesHandled = 0;
};

} // namespace kesto
