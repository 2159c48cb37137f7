#pragma once

#include "app/app_context.h"
#include "link/connection_facts.h"
#include "link/controller_link.h"
#include "link/receive_buffer.h"

#include <QBuffer>
#include <QTimer>
#include <QWidget>

namespace kesto::test {

// A stand-in for the main window: an AppContext around a plain widget, with the link writing
// into a buffer so a test reads back every command byte for byte.
struct TestHost
{
    QWidget mainWindow;
    QBuffer wire;
    ControllerLink link;
    Dispatcher dispatcher;
    ConnectionFacts facts;
    QTimer timer1;
    QTimer timer2;
    AppContext ctx;
    QStringList errors;

    TestHost()
    {
        mainWindow.setObjectName(QStringLiteral("TForm1"));
        mainWindow.setGeometry(100, 100, 220, 388);
        timer1.setObjectName(QStringLiteral("Timer1"));
        timer2.setObjectName(QStringLiteral("Timer2"));
        timer1.setInterval(100);
        timer2.setInterval(1000);
        wire.open(QIODevice::ReadWrite);
        link.attach(&wire);
        ctx.link = &link;
        ctx.dispatcher = &dispatcher;
        ctx.facts = &facts;
        ctx.mainWindow = &mainWindow;
        ctx.pollTimer = &timer1;
        ctx.watchdogTimer = &timer2;
        ctx.reportError = [this](const QString &e) { errors << e; };
        dispatcher.setErrorSink(ctx.reportError);
    }

    // Every byte sent since the last call.
    QByteArray takeSent()
    {
        const QByteArray d = wire.data();
        wire.buffer().clear();
        wire.seek(0);
        return d;
    }
    // Feeds controller answers as if they had arrived on the wire.
    void receive(const QByteArray &bytes) { dispatcher.receive(bytes); }
};

} // namespace kesto::test
