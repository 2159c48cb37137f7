#include "app/kesto_application.h"
#include "app/main_window.h"
#include "pty_bench.h"

#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>
#include <memory>

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
    const QCommandLineOption demoOption(
        QStringLiteral("demo"),
        QStringLiteral("Start a simulated controller inside the program and select its port."));
    parser.addOptions({portOption, connectOption, quitOption, demoOption});
    parser.process(app);

    kesto::MainWindowOptions options;
    if (parser.isSet(portOption)) {
        options.extraPorts << parser.value(portOption);
        options.selectPort = parser.value(portOption);
    }
    std::unique_ptr<kesto::sim::PtyBench> bench;
    if (parser.isSet(demoOption)) {
        bench = std::make_unique<kesto::sim::PtyBench>(kesto::sim::SimOptions{});
        if (bench->start()) {
            options.extraPorts << bench->devicePath();
            options.selectPort = bench->devicePath();
        } else {
            kesto::reportGeneralError(QStringLiteral("The simulated controller did not start: ") +
                                      bench->errorString());
        }
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
