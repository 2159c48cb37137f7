// kesto-sim: a bench controller on a pseudo-terminal.
#include "pty_bench.h"

#include "config/config_file.h"
#include "link/error.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

using namespace kesto;
using namespace kesto::sim;

namespace {

int g_signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &byte, 1);
}

[[noreturn]] void failUsage(const QString &text)
{
    std::fprintf(stderr, "kesto-sim: %s\n", qPrintable(text));
    std::exit(2);
}

int intValue(const QCommandLineParser &parser, const QString &name, int min, int max)
{
    bool ok = false;
    const int value = parser.value(name).toInt(&ok);
    if (!ok || value < min || value > max) {
        failUsage(QStringLiteral("--%1 wants a whole number %2..%3").arg(name).arg(min).arg(max));
    }
    return value;
}

double probability(const QCommandLineParser &parser, const QString &name)
{
    bool ok = false;
    const double value = parser.value(name).toDouble(&ok);
    if (!ok || value < 0 || value > 1) {
        failUsage(QStringLiteral("--%1 wants a probability 0..1").arg(name));
    }
    return value;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kesto-sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "A simulated transmission controller on a pseudo-terminal. Prints the device path as its "
        "first line and answers until SIGINT or SIGTERM."));
    parser.addHelpOption();
    const auto value = [](const char *name, const char *help, const char *valueName,
                          const char *defaultValue = nullptr) {
        QCommandLineOption o(QString::fromLatin1(name), QString::fromLatin1(help),
                             QString::fromLatin1(valueName));
        if (defaultValue) {
            o.setDefaultValue(QString::fromLatin1(defaultValue));
        }
        return o;
    };
    parser.addOptions({
        value("image", "Configuration to start with (hex text or decimal lines).", "FILE"),
        value("save", "Write the configuration to FILE (hex text) on exit.", "FILE"),
        value("link", "Make PATH a symbolic link to the device while running.", "PATH"),
        value("version", "Firmware version in the handshake answer.", "V", "3.7"),
        value("build", "Firmware build (negative: left out of the answer).", "N", "7"),
        value("serial", "Serial number.", "N", "12345"),
        value("gears", "Gear count.", "N", "5"),
        value("warn", "Temperature warning limit.", "N", "100"),
        value("features", "Feature flags SLT,SLN,lockup,AWD[,last-gear lockup].", "a,b,c,d,e",
              "1,1,1,1,1"),
        QCommandLineOption(QStringLiteral("ve"), QStringLiteral("Answer \"getver~\" with \"ve\".")),
        value("silent-after", "Stop answering after N answers.", "N"),
        value("drop", "Probability of dropping an answer.", "P", "0"),
        value("corrupt", "Probability of corrupting one character of an answer.", "P", "0"),
        value("noise", "Probability of noise bytes in front of an answer.", "P", "0"),
        value("seed", "Seed of the fault dice.", "N", "1"),
        value("chunk", "Deliver answers in pieces of N bytes.", "N", "0"),
        value("wire-rate", "Pace bytes like an 8N2 line at BAUD (11 bits per byte).", "BAUD", "0"),
        value("log", "Log every command and answer with times to FILE.", "FILE"),
        value("model-tick", "Milliseconds per step of the car (0: the car stands still).", "MS",
              "100"),
    });
    parser.process(app);
    if (!parser.positionalArguments().isEmpty()) {
        failUsage(
            QStringLiteral("unexpected argument %1").arg(parser.positionalArguments().first()));
    }

    SimOptions options;
    options.version = parser.value(QStringLiteral("version"));
    options.build = intValue(parser, QStringLiteral("build"), -1, 255);
    options.serial = intValue(parser, QStringLiteral("serial"), 0, 99999999);
    options.gears = intValue(parser, QStringLiteral("gears"), 1, 9);
    options.warn = intValue(parser, QStringLiteral("warn"), 0, 255);
    options.features.clear();
    for (const QString &f : parser.value(QStringLiteral("features")).split(QLatin1Char(','))) {
        bool ok = false;
        options.features.append(f.toInt(&ok));
        if (!ok) {
            failUsage(QStringLiteral("--features wants numbers separated by commas"));
        }
    }
    options.answerVe = parser.isSet(QStringLiteral("ve"));
    if (parser.isSet(QStringLiteral("silent-after"))) {
        options.silentAfter = intValue(parser, QStringLiteral("silent-after"), 0, 1 << 30);
    }
    options.drop = probability(parser, QStringLiteral("drop"));
    options.corrupt = probability(parser, QStringLiteral("corrupt"));
    options.noise = probability(parser, QStringLiteral("noise"));
    options.seed = quint32(intValue(parser, QStringLiteral("seed"), 0, 1 << 30));
    options.chunk = intValue(parser, QStringLiteral("chunk"), 0, 1 << 20);
    options.wireRate = intValue(parser, QStringLiteral("wire-rate"), 0, 10'000'000);
    options.logFile = parser.value(QStringLiteral("log"));
    options.modelTickMs = intValue(parser, QStringLiteral("model-tick"), 0, 60'000);

    PtyBench bench(options);
    if (parser.isSet(QStringLiteral("image"))) {
        try {
            const FileText file = FileText::fromFile(parser.value(QStringLiteral("image")));
            bench.controller().memory() = ConfigImage::fromImageText(uploadImageText(file));
        } catch (const Error &e) {
            failUsage(QStringLiteral("--image %1: %2")
                          .arg(parser.value(QStringLiteral("image")), e.text()));
        }
    }
    if (!bench.start()) {
        std::fprintf(stderr, "kesto-sim: %s\n", qPrintable(bench.errorString()));
        return 1;
    }

    const QString linkPath = parser.value(QStringLiteral("link"));
    if (!linkPath.isEmpty()) {
        const QFileInfo existing(linkPath);
        if (existing.isSymLink()) {
            QFile::remove(linkPath); // a leftover of an earlier run
        } else if (existing.exists()) {
            failUsage(QStringLiteral("--link %1 exists and is not a symbolic link").arg(linkPath));
        }
        if (!QFile::link(bench.devicePath(), linkPath)) {
            failUsage(QStringLiteral("cannot make the link %1").arg(linkPath));
        }
    }

    std::printf("%s\n", qPrintable(bench.devicePath()));
    std::fflush(stdout);

    // SIGINT/SIGTERM end the event loop through a pipe, so the exit work runs normally.
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalPipe) != 0) {
        std::perror("kesto-sim: socketpair");
        return 1;
    }
    QSocketNotifier signalNotifier(g_signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&signalNotifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);

    const int result = app.exec();

    int exitCode = result;
    if (!linkPath.isEmpty()) {
        QFile::remove(linkPath);
    }
    const QString savePath = parser.value(QStringLiteral("save"));
    if (!savePath.isEmpty()) {
        try {
            writeHexFile(savePath, bench.controller().memory().toImageText());
        } catch (const Error &e) {
            std::fprintf(stderr, "kesto-sim: --save %s: %s\n", qPrintable(savePath),
                         qPrintable(e.text()));
            exitCode = 1;
        }
    }
    return exitCode;
}
