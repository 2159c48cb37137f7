#pragma once

#include <QObject>
#include <optional>

namespace kesto {

constexpr const char *RequiredFirmwareVersion = "3.7";
constexpr int WriterBuild = 7;
// "KESTO Writer 3.7.7"
QString programTitle();
// "3.7.7"
QString programVersion();

// What the handshake and the capability answers taught us about the controller.
class ConnectionFacts : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    bool handshakeDone = false;
    std::optional<qint64> lastAnswerMs; // monotonic clock
    int gearCount = 4;
    int warningLimit = 100; // oil temperature, degrees Celsius
    int serialNumber = 0;
    int firmwareBuild = 0;

    void setGearCount(int gears)
    {
        gearCount = gears;
        Q_EMIT gearCountChanged(gears);
    }

Q_SIGNALS:
    // Emitted for every "z2" answer, after the main window's menu entries were updated.
    void gearCountChanged(int gears);
    // Emitted for every "z3" answer with its fields as numbers (-1 for a missing fifth field).
    void featuresReported(int slt, int sln, int lockup, int awd, int lastGear);
};

} // namespace kesto
