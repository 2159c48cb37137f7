#pragma once

// Shared fixtures of the firmware window tests: the English caption rows the window uses, and
// a temporary location that a test can check for left-over files.

#include "i18n/caption_list.h"

#include <QMap>
#include <QStringList>

namespace kesto::test {

inline void useFirmwareCaptions()
{
    const QMap<int, QString> rows = {
        {245, QStringLiteral("Firmware update...")},
        {246, QStringLiteral("Before starting the firmware update, make sure:")},
        {247, QStringLiteral("- Do not disconnect the usb cable.")},
        {248, QStringLiteral("- Do not turn off power of the computer.")},
        {249, QStringLiteral("- Do not close the program.")},
        {250, QStringLiteral("Update status:")},
        {251, QStringLiteral("Firmware updated, current version: ")},
        {337, QStringLiteral("Check boot version")},
        {338, QStringLiteral("Before starting the update, you need to determine the current "
                             "version of the block bootloader.")},
        {339, QStringLiteral("Start firmware update")},
        {340, QStringLiteral("Update firmware in block to software version.")},
        {343, QStringLiteral("Check boot version")},
        {344, QStringLiteral("Firmware update")},
        {345, QStringLiteral("During the firmware update:")},
        {346, QStringLiteral("- Do not turn on the ignition (+12v).")},
        {347, QStringLiteral("- If your KESTO is in early production (2017 and early 2018)")},
        {348,
         QStringLiteral("remove the upgrade ban jumper, \u0430ccess instructions by reference:")},
        {349, QStringLiteral("- Disconnect the power supply 12 volts (switch off the ignition)")},
        {350, QStringLiteral("Error while trying to determine the current bootloader.")},
        {351, QStringLiteral("Check that the device is connected and the correct port for "
                             "connection is specified.")},
        {352, QStringLiteral("Successful connection, found a new type of bootloader.")},
        {353, QStringLiteral("Successful connection, old type bootloader found.")},
        {354,
         QStringLiteral("To continue the update, click the button \"Start firmware update\".")},
        {355, QStringLiteral("Error updating firmware.")},
        {496, QStringLiteral("The programmer (avrdude) was not found. Install it and try again.")},
        {497, QStringLiteral("Choose the firmware file (Intel HEX)")},
    };
    QStringList list;
    for (int i = 0; i <= 497; ++i) {
        list << rows.value(i);
    }
    CaptionList::current().setRows(QStringLiteral("en"), list);
}

} // namespace kesto::test
