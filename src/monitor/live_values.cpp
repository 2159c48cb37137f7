#include "monitor/live_values.h"

#include "link/error.h"

namespace kesto {

int LiveValues::sluLevel(int raw)
{
    // ceil(raw / 2.5) == ceil(2 raw / 5); integer division already rounds negatives up.
    const int twice = 2 * raw;
    return twice >= 0 ? (twice + 4) / 5 : twice / 5;
}

void LiveValues::apply(const AnswerFrame &frame, bool invertSlt, int warningLimit)
{
    rpm = frame.field(0);

    speed = frame.field(1);
    speedWarning = toInt(speed) == kSafeSpeedCode;
    if (speedWarning) {
        speed = QStringLiteral("SAFE");
    }

    throttle = frame.field(2);

    const int g = frame.intField(3);
    if (g <= 6) {
        gear = frame.field(3);
    } else if (g == 7) {
        gear = QStringLiteral("PN");
    } else if (g == 8) {
        gear = QStringLiteral("R");
    }

    static const char *const kSelector[] = {"L", "2", "3", "D", "R", "P or N"};
    const QString sel = frame.field(4);
    for (int i = 0; i < 6; ++i) {
        if (sel == QString::number(i + 1)) {
            selector = QLatin1String(kSelector[i]);
        }
    }

    // Later rules win: a manual selection overrides every automatic mode.
    if (frame.field(5) == QLatin1String("1")) {
        mode = QStringLiteral("DRIVE");
    }
    if (frame.field(10) == QLatin1String("1")) {
        mode = QStringLiteral("POWER");
    }
    if (frame.field(11) == QLatin1String("1")) {
        mode = QStringLiteral("SNOW");
    }
    if (frame.field(5) == QLatin1String("0")) {
        mode = QStringLiteral("MANUAL");
    }

    const int sltRaw = frame.intField(6);
    slt = QString::number(invertSlt ? drivePercent(sltRaw) : invertedDrivePercent(sltRaw));
    sln = QString::number(invertedDrivePercent(frame.intField(7)));
    slc = QString::number(drivePercent(frame.intField(12)));

    const QString lock = frame.field(8);
    if (lock == QLatin1String("0")) {
        lockup = QStringLiteral("NO");
    } else if (lock == QLatin1String("1")) {
        lockup = QStringLiteral("YES");
    } else if (const int level = toInt(lock); level > 1) {
        QString percent;
        if (level == 100) {
            percent = QStringLiteral("40%");
        } else if (level == 150) {
            percent = QStringLiteral("60%");
        } else if (level == 200) {
            percent = QStringLiteral("80%");
        }
        lockup = QStringLiteral("FX[") + percent + QStringLiteral("]");
    }

    const int t = frame.intField(9);
    oilTempWarning = t > warningLimit;
    oilTemp = frame.field(9) + QChar(0x00B0);

    if (frame.fields.size() >= 14) {
        slu = QString::number(sluLevel(frame.intField(13)));
    }
    if (frame.fields.size() >= 15) {
        const int boot = frame.intField(14);
        if (boot == 1) {
            bootMode = true;
        } else if (boot == 0) {
            bootMode = false;
        }
    }
}

} // namespace kesto
