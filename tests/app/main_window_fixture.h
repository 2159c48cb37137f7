#pragma once

#include "app/main_window.h"
#include "link/clock.h"

#include "scripted_dialogs.h"

#include <QAction>
#include <QBuffer>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

namespace kesto::test {

// A real main window whose ports come from a list the test controls and whose "serial port"
// is a buffer: every command sent can be read back, answers are fed to the dispatcher.
struct MainWindowFixture
{
    ScriptedDialogs dialogs;
    FakeClock clock;
    QStringList ports; // what the system offers; tests change it to plug and unplug
    QBuffer wire;
    int opens = 0;
    bool openFails = false;
    // The working folder while the window lives: file logs go below it, not into the build.
    QTemporaryDir workDir;
    QString previousDir = QDir::currentPath();
    std::unique_ptr<MainWindow> window;

    explicit MainWindowFixture(const QString &select = QStringLiteral("COM4"),
                               const QStringList &portNames = {QStringLiteral("COM3"),
                                                               QStringLiteral("COM4")})
        : ports(portNames)
    {
        QDir::setCurrent(workDir.path());
        wire.open(QIODevice::ReadWrite);
        MainWindowOptions options;
        options.clock = &clock;
        options.portLister = [this] { return ports; };
        options.selectPort = select;
        options.openPort = [this](ControllerLink &link, const QString &) {
            ++opens;
            if (openFails) {
                return false;
            }
            link.attach(&wire);
            return true;
        };
        window = std::make_unique<MainWindow>(options);
    }

    ~MainWindowFixture()
    {
        window.reset(); // a log still running is written now, into workDir
        QDir::setCurrent(previousDir);
    }
    MainWindowFixture(const MainWindowFixture &) = delete;
    MainWindowFixture &operator=(const MainWindowFixture &) = delete;

    MainWindow &w() { return *window; }

    template <typename T = QObject> T *child(const char *name) const
    {
        T *c = window->findChild<T *>(QLatin1String(name));
        if (!c) {
            qFatal("no child %s", name);
        }
        return c;
    }
    QAction *action(const char *name) const { return child<QAction>(name); }
    QMenu *menu(const char *name) const { return child<QMenu>(name); }
    QTimer *timer(const char *name) const { return child<QTimer>(name); }
    QLabel *label(const char *name) const { return child<QLabel>(name); }
    QWidget *secondary(const char *name) { return window->context().window(QLatin1String(name)); }

    QByteArray takeSent()
    {
        const QByteArray d = wire.data();
        wire.buffer().clear();
        wire.seek(0);
        return d;
    }
    void answer(const QByteArray &bytes) { window->dispatcher().receive(bytes); }

    QStringList messageLines() const
    {
        const QString text = child<QPlainTextEdit>("Memo1")->toPlainText();
        return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
    }
    QString status0() const { return label("StatusPanel0")->text(); }
    QString status1() const { return label("StatusPanel1")->text(); }

    // Connect, first handshake tick, and the given handshake answer.
    void connectWith(const QByteArray &z1 = "z13.7,12345,7~")
    {
        window->button1Click();
        window->timer1Timer();
        takeSent();
        answer(z1);
    }
};

} // namespace kesto::test
