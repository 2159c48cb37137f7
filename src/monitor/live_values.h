#pragma once

#include "link/answer_frame.h"

#include <QString>

namespace kesto {

// The texts of the live data panel, turned from "z4" frames. apply() works through the frame
// step by step; a missing or malformed field throws at its step and the steps before it stay
// applied, which is what the panel then shows.
struct LiveValues
{
    static constexpr int kSafeSpeedCode = 311;

    QString rpm = QStringLiteral("-");
    QString speed = QStringLiteral("-");
    QString throttle = QStringLiteral("-");
    QString gear = QStringLiteral("-");
    QString selector = QStringLiteral("-");
    QString mode = QStringLiteral("-");
    QString slt = QStringLiteral("-");
    QString sln = QStringLiteral("-");
    QString slc = QStringLiteral("-");
    QString lockup = QStringLiteral("-");
    QString oilTemp = QStringLiteral("-");
    QString slu; // kept for the file log only, never shown
    bool speedWarning = false;
    bool oilTempWarning = false;
    bool bootMode = false;

    void apply(const AnswerFrame &frame, bool invertSlt, int warningLimit);

    // Solenoid drive 0..255 as the percentages shown.
    static int drivePercent(int raw) { return raw * 100 / 255; }
    static int invertedDrivePercent(int raw) { return 100 - drivePercent(raw); }
    // SLU drive as the whole number the log keeps: raw / 2.5 rounded up.
    static int sluLevel(int raw);
};

} // namespace kesto
