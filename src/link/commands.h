#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace kesto::cmd {

// Every command the program sends is built here; no window assembles command text by hand.

// Connection and polling.
QByteArray handshake();      // "q1~"
QByteArray versionQuery();   // "getver~"
QByteArray livePoll();       // "q2~"

// "ee,<code of the type's second character>,<first>,<last>...~" from the per-type range table,
// e.g. readRequest("EA") == "ee,65,20,43~". Throws for a type that has no ranges.
QByteArray readRequest(const QString &answerType);

// "k1,<first>,<v1>,...~"
QByteArray write(int firstAddress, const QList<int> &values);
// Same, with the values as the cells hold them (the shift map editors send the texts as typed).
QByteArray writeTexts(int firstAddress, const QStringList &values);

// Main options queue: "ss<index>,<first>,<v1>,...~" and its end mark "er~".
QByteArray optionsBlock(int index, int firstAddress, const QList<int> &values);
QByteArray optionsWriteEnd();

// Whole-image transfer: "EG<address>~"; "EH<address>,<v1>,...,<v10>~" (address as received).
QByteArray pageRead(int address);
QByteArray pageWrite(const QString &address, const QList<int> &values);

// Calibration live readings.
QByteArray tpsLiveReading();     // "w5~"
QByteArray tempLiveReading();    // "r8~"
QByteArray tempCalibrationRead(); // "r5~"

// Navigation notices of the pressure and lockup editors.
QByteArray showSltNotice();       // "w1~"
QByteArray showSlnNotice();       // "w2~"
QByteArray showLockupNotice();    // "w4~"
QByteArray showLastGearNotice();  // "q7~"

// Gear-shift log and emulation.
QByteArray shiftLogStart(); // "n91~"
QByteArray shiftLogStop();  // "n90~"
QByteArray emulationStart(); // "m1~"
QByteArray emulationEnd();   // "m2~"
// One emulated input, by its short name: "n61".."n66", "n1".."n5", "m3".."m9" -> "<name>~".
QByteArray emulation(const char *name);

} // namespace kesto::cmd
