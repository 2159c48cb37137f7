#include "firmware/firmware_image.h"
#include "firmware/programmer_command.h"
#include "firmware/programmer_log.h"
#include "firmware/programmer_run.h"
#include "firmware/random_name.h"
#include "link/error.h"
#include "stored_firmware.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include "test_main.h"

using namespace kesto;

class FirmwareCoreTest : public QObject
{
    Q_OBJECT

private slots:
    void randomName_data();
    void randomName();
    void randomNamesDiffer();

    void reorderRestoresShuffledLines_data();
    void reorderRestoresShuffledLines();
    void reorderPlacesSourceLines_data();
    void reorderPlacesSourceLines();
    void reorderShortFiles_data();
    void reorderShortFiles();

    void copyWithoutPrefix();
    void copyWithoutPrefixMissingSource();

    void commandLines_data();
    void commandLines();
    void programmerPort_data();
    void programmerPort();

    void logVerdicts_data();
    void logVerdicts();

    void runFolderHoldsRunAndIsRemoved();
    void builtInPayloadFollowsBuildOption();
};

void FirmwareCoreTest::randomName_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("expectedLength");
    const int alphabet = int(qstrlen(kRandomNameAlphabet));
    QTest::newRow("16, the length of a run's names") << 16 << 16;
    QTest::newRow("one") << 1 << 1;
    QTest::newRow("whole alphabet") << alphabet << alphabet;
    QTest::newRow("one more than the alphabet is capped") << alphabet + 1 << alphabet - 1;
    QTest::newRow("far beyond the alphabet is capped") << 500 << alphabet - 1;
    QTest::newRow("zero") << 0 << 0;
}

void FirmwareCoreTest::randomName()
{
    QFETCH(int, length);
    QFETCH(int, expectedLength);
    const QString alphabet = QString::fromLatin1(kRandomNameAlphabet);
    for (int round = 0; round < 50; ++round) {
        const QString name = RandomName(length);
        QCOMPARE(name.size(), expectedLength);
        QSet<QChar> seen;
        for (QChar c : name) {
            QVERIFY2(alphabet.contains(c), qPrintable(name));
            QVERIFY2(!seen.contains(c),
                     qPrintable(QStringLiteral("repeats %1 in %2").arg(c).arg(name)));
            seen.insert(c);
        }
    }
}

void FirmwareCoreTest::randomNamesDiffer()
{
    // Two runs must never share a folder or an image name.
    QSet<QString> names;
    for (int i = 0; i < 200; ++i) {
        names.insert(RandomName(16));
    }
    QCOMPARE(names.size(), 200);
}

void FirmwareCoreTest::reorderRestoresShuffledLines_data()
{
    QTest::addColumn<int>("lineCount");
    QTest::newRow("exactly the shuffled part") << 211;
    QTest::newRow("300 lines") << 300;
    QTest::newRow("one line past the shuffled part") << 212;
}

void FirmwareCoreTest::reorderRestoresShuffledLines()
{
    QFETCH(int, lineCount);
    const QStringList plain = test::syntheticHexLines(lineCount);
    const QStringList stored = test::shuffleFirmwareLines(plain);
    QVERIFY(stored != plain);
    const QStringList restored = ReorderFirmwareLines(stored);
    QCOMPARE(restored.size(), lineCount);
    QCOMPARE(restored, plain);
    // Lines past the shuffled part come through untouched.
    QCOMPARE(restored.mid(211), stored.mid(211));
}

void FirmwareCoreTest::reorderPlacesSourceLines_data()
{
    // Output line -> the stored lines its first 10 and its remaining characters come from.
    QTest::addColumn<int>("output");
    QTest::addColumn<int>("headFrom");
    QTest::addColumn<int>("tailFrom");
    QTest::newRow("first line") << 0 << 0 << 25;
    QTest::newRow("middle of the first mirror") << 12 << 12 << 13;
    QTest::newRow("end of the first mirror") << 25 << 25 << 0;
    QTest::newRow("first moved block starts") << 26 << 67 << 67;
    QTest::newRow("first moved block ends") << 79 << 120 << 120;
    QTest::newRow("second moved block starts") << 80 << 26 << 26;
    QTest::newRow("second moved block ends") << 120 << 66 << 66;
    QTest::newRow("third moved block starts") << 121 << 182 << 182;
    QTest::newRow("third moved block ends") << 149 << 210 << 210;
    QTest::newRow("second mirror starts") << 150 << 121 << 181;
    QTest::newRow("middle of the second mirror") << 180 << 151 << 151;
    QTest::newRow("second mirror ends") << 210 << 181 << 121;
    QTest::newRow("after the shuffled part") << 250 << 250 << 250;
}

void FirmwareCoreTest::reorderPlacesSourceLines()
{
    QFETCH(int, output);
    QFETCH(int, headFrom);
    QFETCH(int, tailFrom);
    // Each stored line is "H<index>" padded to 10 characters, then "T<index>".
    QStringList stored;
    for (int i = 0; i < 260; ++i) {
        stored << QStringLiteral("H%1").arg(i, 9, 10, QLatin1Char('_')) +
                      QStringLiteral("T%1").arg(i);
    }
    const QStringList out = ReorderFirmwareLines(stored);
    QCOMPARE(out.size(), 260);
    QCOMPARE(out.at(output), stored.at(headFrom).left(10) + stored.at(tailFrom).mid(10));
}

void FirmwareCoreTest::reorderShortFiles_data()
{
    QTest::addColumn<int>("lineCount");
    QTest::newRow("empty file") << 0;
    QTest::newRow("one line") << 1;
    QTest::newRow("30 lines") << 30;
    QTest::newRow("210 lines") << 210;
}

void FirmwareCoreTest::reorderShortFiles()
{
    QFETCH(int, lineCount);
    QStringList stored;
    for (int i = 0; i < lineCount; ++i) {
        stored << QStringLiteral("H%1").arg(i, 9, 10, QLatin1Char('_')) +
                      QStringLiteral("T%1").arg(i);
    }
    auto at = [&](int i) { return i < stored.size() ? stored.at(i) : QString(); };
    const QStringList out = ReorderFirmwareLines(stored);
    // Lines beyond the file read as empty, so the shuffled part is always complete.
    QCOMPARE(out.size(), 211);
    QCOMPARE(out.at(0), at(0).left(10) + at(25).mid(10));
    QCOMPARE(out.at(26), at(67));
    QCOMPARE(out.at(80), at(26));
    QCOMPARE(out.at(150), at(121).left(10) + at(181).mid(10));
    QCOMPARE(out.at(210), at(181).left(10) + at(121).mid(10));
}

void FirmwareCoreTest::copyWithoutPrefix()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString source = dir.filePath(QStringLiteral("imgxc"));
    const QString destination = dir.filePath(QStringLiteral("img.tmp"));
    const QByteArray body = ":00000001FF\r\n";
    {
        QFile f(source);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(test::storedPrefix() + body);
        QFile d(destination);
        QVERIFY(d.open(QIODevice::WriteOnly));
        d.write("an older file that must be replaced, not appended to");
    }
    CopyWithoutPrefix(source, destination);
    QVERIFY(!QFile::exists(source));
    QFile d(destination);
    QVERIFY(d.open(QIODevice::ReadOnly));
    QCOMPARE(d.readAll(), body);
}

void FirmwareCoreTest::copyWithoutPrefixMissingSource()
{
    QTemporaryDir dir;
    const QString destination = dir.filePath(QStringLiteral("img.tmp"));
    QVERIFY_THROWS_EXCEPTION(Error,
                             CopyWithoutPrefix(dir.filePath(QStringLiteral("none")), destination));
    QVERIFY(!QFile::exists(destination));
}

void FirmwareCoreTest::commandLines_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("parameters");
    QTest::addColumn<int>("argumentCount");
    const QString name = QStringLiteral("AbC0123456789xyz.tmp");
    QTest::newRow("check new kind, COM3")
        << checkArguments(QStringLiteral("COM3"), BootloaderKind::New)
        << QStringLiteral("-carduino -patmega328p -PCOM3 -b115200 -n -lkestocheck") << 6;
    QTest::newRow("check old kind, COM3")
        << checkArguments(QStringLiteral("COM3"), BootloaderKind::Old)
        << QStringLiteral("-carduino -patmega328p -PCOM3 -b57600 -n -lkestocheck") << 6;
    QTest::newRow("write old kind, COM3")
        << writeArguments(name, QStringLiteral("COM3"), BootloaderKind::Old)
        << QStringLiteral("-carduino -patmega328p -U flash:w:AbC0123456789xyz.tmp -PCOM3 -b57600 "
                          "-lkestocheck")
        << 7;
    QTest::newRow("write new kind, COM3")
        << writeArguments(name, QStringLiteral("COM3"), BootloaderKind::New)
        << QStringLiteral("-carduino -patmega328p -U flash:w:AbC0123456789xyz.tmp -PCOM3 -b115200 "
                          "-lkestocheck")
        << 7;
    const QString dev = QStringLiteral("/dev/ttyUSB0");
    QTest::newRow("check new kind, device path")
        << checkArguments(dev, BootloaderKind::New)
        << QStringLiteral("-carduino -patmega328p -P/dev/ttyUSB0 -b115200 -n -lkestocheck") << 6;
    QTest::newRow("check old kind, device path")
        << checkArguments(dev, BootloaderKind::Old)
        << QStringLiteral("-carduino -patmega328p -P/dev/ttyUSB0 -b57600 -n -lkestocheck") << 6;
    QTest::newRow("write old kind, device path")
        << writeArguments(name, dev, BootloaderKind::Old)
        << QStringLiteral("-carduino -patmega328p -U flash:w:AbC0123456789xyz.tmp -P/dev/ttyUSB0 "
                          "-b57600 -lkestocheck")
        << 7;
    QTest::newRow("write new kind, device path")
        << writeArguments(name, dev, BootloaderKind::New)
        << QStringLiteral("-carduino -patmega328p -U flash:w:AbC0123456789xyz.tmp -P/dev/ttyUSB0 "
                          "-b115200 -lkestocheck")
        << 7;
}

void FirmwareCoreTest::commandLines()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, parameters);
    QFETCH(int, argumentCount);
    // The programmer gets exactly these words, one argument each.
    QCOMPARE(arguments.join(QLatin1Char(' ')), parameters);
    QCOMPARE(arguments.size(), argumentCount);
}

void FirmwareCoreTest::programmerPort_data()
{
    QTest::addColumn<QString>("listText");
    QTest::addColumn<QString>("expected");
#ifdef Q_OS_WIN
    QTest::newRow("COM name") << QStringLiteral("COM3") << QStringLiteral("COM3");
#else
    QTest::newRow("bare name") << QStringLiteral("ttyUSB0") << QStringLiteral("/dev/ttyUSB0");
    QTest::newRow("device path") << QStringLiteral("/dev/pts/7") << QStringLiteral("/dev/pts/7");
#endif
    QTest::newRow("nothing chosen") << QString() << QString();
}

void FirmwareCoreTest::programmerPort()
{
    QFETCH(QString, listText);
    QFETCH(QString, expected);
    QCOMPARE(kesto::programmerPort(listText), expected);
}

void FirmwareCoreTest::logVerdicts_data()
{
    QTest::addColumn<QString>("log");
    QTest::addColumn<bool>("reached");
    QTest::addColumn<bool>("verified");
    QTest::addColumn<bool>("failure");
    QTest::newRow("no log text") << QString() << false << false << false;
    QTest::newRow("reached the bootloader")
        << QStringLiteral("avrdude: AVR device initialized and ready to accept instructions\n"
                          "avrdude: device signature = 0x1e950f (probably m328p)\n")
        << true << false << false;
    QTest::newRow("written and verified")
        << QStringLiteral("avrdude: AVR device initialized and ready to accept instructions\n"
                          "avrdude: 342 bytes of flash written\n"
                          "avrdude: 342 bytes of flash verified\n")
        << true << true << false;
    QTest::newRow("older programmer, not responding")
        << QStringLiteral("avrdude: stk500_recv(): programmer is not responding\n") << false
        << false << true;
    QTest::newRow("older programmer, no port")
        << QStringLiteral(
               "avrdude: ser_open(): can't open device \"\\\\.\\COM3\": file not found\n")
        << false << false << true;
    QTest::newRow("current programmer, no port")
        << QStringLiteral(
               "avrdude OS error: cannot open port /dev/nonexist: No such file or directory\n"
               "avrdude error: unable to open programmer arduino on port /dev/nonexist\n")
        << false << false << true;
    QTest::newRow("current programmer, programmer only")
        << QStringLiteral("avrdude error: unable to open programmer arduino on port COM9\n")
        << false << false << true;
    QTest::newRow("current programmer, not responding")
        << QStringLiteral("avrdude error: programmer is not responding\n"
                          "avrdude warning: attempt 1 of 10: not in sync: resp=0x00\n")
        << false << false << true;
}

void FirmwareCoreTest::logVerdicts()
{
    QFETCH(QString, log);
    QFETCH(bool, reached);
    QFETCH(bool, verified);
    QFETCH(bool, failure);
    QCOMPARE(programmer_log::reachedBootloader(log), reached);
    QCOMPARE(programmer_log::flashVerified(log), verified);
    QCOMPARE(programmer_log::reportsFailure(log), failure);
}

void FirmwareCoreTest::runFolderHoldsRunAndIsRemoved()
{
    QTemporaryDir temp;
    qputenv("TMPDIR", temp.path().toLocal8Bit());
    auto *run = new ProgrammerRun(QStringLiteral("tag"));
    const QString folder = run->folder();
    QVERIFY(folder.startsWith(temp.path()));
    QVERIFY(!run->readLog().has_value()); // no log yet is "not yet", not an error

    // A tool that writes its log in its working directory and lingers.
    QVERIFY(run->RunProgram(
        QStringLiteral("/bin/sh"),
        {QStringLiteral("-c"), QStringLiteral("printf 'AVR device initialized\\n' > kestocheck; "
                                              "exec sleep 30")}));
    QTRY_VERIFY(programmer_log::reachedBootloader(run->readLog().value_or(QString())));
    QVERIFY(run->IsProcessRunning());

    QPointer<ProgrammerRun> guard(run);
    run->finish(); // kills the lingering tool, then removes every file of the run
    QTRY_VERIFY(guard.isNull());
    QVERIFY(!QDir(folder).exists());
    QVERIFY(QDir(temp.path()).isEmpty());
    qunsetenv("TMPDIR");
}

void FirmwareCoreTest::builtInPayloadFollowsBuildOption()
{
#ifdef KESTO_FIRMWARE_PAYLOAD_FILE
    QFile file(QStringLiteral(KESTO_FIRMWARE_PAYLOAD_FILE));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(builtInFirmwarePayload(), file.readAll());
#else
    // Without a payload named at build time, the update asks for a file instead.
    QVERIFY(builtInFirmwarePayload().isEmpty());
#endif
}

KESTO_TEST_MAIN(FirmwareCoreTest)
#include "tst_firmware_core.moc"
