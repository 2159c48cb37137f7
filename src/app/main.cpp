#include "app/kesto_application.h"
#include "app/main_window.h"

#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>

int main(int argc, char **argv)
{
    QElapsedTimer sinceStart;
    sinceStart.start();
    kesto::KestoApplication app(argc, argv);

    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption portOption(QStringLiteral("port"),
                                        QStringLiteral("Offer this serial device and select it."),
                                        QStringLiteral("path"));
    const QCommandLineOption connectOption(QStringLiteral("connect"),
                                           QStringLiteral("Connect once the window is shown."));
    const QCommandLineOption quitOption(
        QStringLiteral("quit-after-show"),
        QStringLiteral("Print the milliseconds from start to the window shown, then quit."));
    parser.addOptions({portOption, connectOption, quitOption});
    parser.process(app);

    kesto::MainWindowOptions options;
    if (parser.isSet(portOption)) {
        options.extraPorts << parser.value(portOption);
        options.selectPort = parser.value(portOption);
    }

    kesto::MainWindow window(options);
    window.show();
    if (parser.isSet(quitOption)) {
        QTimer::singleShot(0, &app, [&] {
            std::printf("shown_ms %lld\n", static_cast<long long>(sinceStart.elapsed()));
            std::fflush(stdout);
            QCoreApplication::quit();
        });
    }
    if (parser.isSet(connectOption)) {
        QTimer::singleShot(0, &window, [&window] { window.button1Click(); });
    }
    return QApplication::exec();
}
