#pragma once

#include <QHash>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>

class QTimer;
class QWidget;

namespace kesto {

class ControllerLink;
class Dispatcher;
class ConnectionFacts;

// What the main window offers every secondary window: the link, the dispatcher, the connection
// facts, its own position and enabled state, the polling timers, the configuration folder and
// the other windows by objectName. Tests build one around a plain widget and a buffer device.
struct AppContext
{
    ControllerLink *link = nullptr;
    Dispatcher *dispatcher = nullptr;
    ConnectionFacts *facts = nullptr;
    QWidget *mainWindow = nullptr;
    QTimer *pollTimer = nullptr;     // Timer1: handshake query, then live data poll
    QTimer *watchdogTimer = nullptr; // Timer2: answer watchdog
    QString configFolder;            // initial folder of the configuration file dialogs
    std::function<void(const QString &)> reportError; // the general error handler

    // Secondary windows by objectName ("TForm5", ...), registered as they are created.
    QHash<QString, QPointer<QWidget>> windows;
    QStringList windowOrder; // their objectNames in creation order

    // Sends one command; lost without a word when the port is closed.
    void send(const QByteArray &command) const;
    QWidget *window(const QString &objectName) const { return windows.value(objectName); }
    template <typename T> T *windowAs(const QString &objectName) const
    {
        return qobject_cast<T *>(window(objectName));
    }
    void registerWindow(QWidget *w);
};

} // namespace kesto
