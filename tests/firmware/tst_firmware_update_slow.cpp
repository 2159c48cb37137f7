// The firmware update window against the real programmer and a simulated ATmega328P with one
// of the two bootloader kinds. These run in real time (the programmer talks to the board at the
// real baud rates), so they are labelled slow.

#include "firmware/firmware_update_window.h"
#include "firmware/programmer_command.h"
#include "firmware_test_support.h"
#include "scripted_dialogs.h"
#include "stored_firmware.h"
#include "test_host.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "test_main.h"

using namespace kesto;

namespace {

// Intel HEX text to the bytes it places, by address.
QMap<int, quint8> hexBytes(const QStringList &lines)
{
    QMap<int, quint8> bytes;
    int base = 0;
    for (const QString &line : lines) {
        const QByteArray record = QByteArray::fromHex(line.mid(1).toLatin1());
        if (record.size() < 5) {
            continue;
        }
        const int count = quint8(record.at(0));
        const int offset = (quint8(record.at(1)) << 8) | quint8(record.at(2));
        const int type = quint8(record.at(3));
        if (type == 0) {
            for (int i = 0; i < count; ++i) {
                bytes.insert(base + offset + i, quint8(record.at(4 + i)));
            }
        } else if (type == 2) {
            base = ((quint8(record.at(4)) << 8) | quint8(record.at(5))) << 4;
        } else if (type == 4) {
            base = ((quint8(record.at(4)) << 8) | quint8(record.at(5))) << 16;
        }
    }
    return bytes;
}

// The simulated board on a pty; its flash is dumped to a file when it is stopped.
class SimulatedBoard
{
public:
    explicit SimulatedBoard(const QString &kind)
    {
        m_dump = m_dir.filePath(QStringLiteral("flash.bin"));
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral(KESTO_AVRSIM),
                        {QStringLiteral("--kind"), kind, QStringLiteral("--dump"), m_dump});
        if (m_process.waitForStarted(5000) && m_process.waitForReadyRead(5000)) {
            const QByteArray line = m_process.readLine().trimmed();
            if (line.startsWith("PTY ")) {
                m_pty = QString::fromLocal8Bit(line.mid(4));
            }
        }
    }
    ~SimulatedBoard() { stop(); }

    QString pty() const { return m_pty; }

    // Stops the board and returns its whole flash.
    QByteArray stopAndReadFlash()
    {
        stop();
        QFile f(m_dump);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private:
    void stop()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            if (!m_process.waitForFinished(5000)) {
                m_process.kill();
                m_process.waitForFinished(5000);
            }
        }
    }

    QTemporaryDir m_dir;
    QString m_dump;
    QString m_pty;
    QProcess m_process;
};

struct Fixture
{
    test::TestHost host;
    test::ScriptedDialogs dialogs;
    QTemporaryDir temp;
    std::unique_ptr<FirmwareUpdateWindow> window;
    QComboBox *ports = nullptr;

    Fixture()
    {
        qputenv("TMPDIR", temp.path().toLocal8Bit());
        ports = new QComboBox(&host.mainWindow);
        ports->setObjectName(QStringLiteral("ComboBox1"));
        window = std::make_unique<FirmwareUpdateWindow>(host.ctx);
        host.mainWindow.setEnabled(false);
        window->show();
    }
    ~Fixture()
    {
        window.reset();
        qunsetenv("TMPDIR");
    }
    QPushButton *button() const
    {
        return window->findChild<QPushButton *>(QStringLiteral("Button1"));
    }
    bool tempIsEmpty() const { return QDir(temp.path()).isEmpty(); }
};

QStringList testImageLines()
{
    QFile f(QStringLiteral(KESTO_AVR_TEST_IMAGE));
    if (!f.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromLatin1(f.readAll())
        .split(QRegularExpression(QStringLiteral("\r?\n")), Qt::SkipEmptyParts);
}

} // namespace

class FirmwareUpdateSlowTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void checkAndUpdateSimulatedBoard_data();
    void checkAndUpdateSimulatedBoard();
    void checkOfMissingPortFails();
};

void FirmwareUpdateSlowTest::initTestCase()
{
    test::useFirmwareCaptions();
    QVERIFY2(!findProgrammer().isEmpty(), "the programmer (avrdude) is not installed");
    QVERIFY2(QFile::exists(QStringLiteral(KESTO_AVRSIM)), KESTO_AVRSIM);
    QVERIFY2(testImageLines().size() > 211, KESTO_AVR_TEST_IMAGE);
}

void FirmwareUpdateSlowTest::checkAndUpdateSimulatedBoard_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("expectedKind");
    QTest::addColumn<int>("checkSeconds"); // generous bounds on a loaded machine
    QTest::newRow("new bootloader, 115200 baud") << QStringLiteral("new") << 2 << 20;
    QTest::newRow("old bootloader, found by the retry at 57600")
        << QStringLiteral("old") << 1 << 40;
}

void FirmwareUpdateSlowTest::checkAndUpdateSimulatedBoard()
{
    QFETCH(QString, kind);
    QFETCH(int, expectedKind);
    QFETCH(int, checkSeconds);

    SimulatedBoard board(kind);
    QVERIFY(!board.pty().isEmpty());
    Fixture f;
    f.ports->addItem(board.pty());
    const QStringList image = testImageLines();
    f.window->setFirmwarePayload(test::storeFirmware(image));

    // Step 1: the check finds the bootloader kind.
    f.button()->click();
    QVERIFY(f.window->isBusy());
    QTRY_VERIFY_WITH_TIMEOUT(!f.window->isBusy(), checkSeconds * 1000);
    QCOMPARE(int(f.window->bootloaderKind()), expectedKind);
    QCOMPARE(f.dialogs.messages.size(), 1);
    QVERIFY2(f.dialogs.messages.first().startsWith(QLatin1String("Successful connection")),
             qPrintable(f.dialogs.messages.first()));
    QTRY_VERIFY(f.tempIsEmpty());

    // Step 2: the update writes the restored image at the kind's rate and closes the window.
    f.dialogs.messages.clear();
    f.button()->click();
    QVERIFY(f.window->isBusy());
    QTRY_VERIFY_WITH_TIMEOUT(!f.window->isBusy(), 45000);
    QCOMPARE(f.dialogs.messages,
             QStringList{QStringLiteral("Firmware updated, current version: 3.7.7")});
    QVERIFY(!f.window->isVisible());
    QVERIFY(f.host.mainWindow.isEnabled());
    QCOMPARE(f.window->bootloaderKind(), BootloaderKind::None);
    QTRY_VERIFY(f.tempIsEmpty());

    // The board's flash holds the image.
    const QByteArray flash = board.stopAndReadFlash();
    QCOMPARE(flash.size(), 32 * 1024);
    const QMap<int, quint8> expected = hexBytes(image);
    QVERIFY(expected.size() > 3000);
    int differing = 0;
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        differing += quint8(flash.at(it.key())) == it.value() ? 0 : 1;
    }
    QCOMPARE(differing, 0);
}

void FirmwareUpdateSlowTest::checkOfMissingPortFails()
{
    // The current programmer says "cannot open port"; both tries must fail quickly and cleanly.
    Fixture f;
    f.ports->addItem(QDir(f.temp.path()).filePath(QStringLiteral("no-such-port")));
    f.button()->click();
    QTRY_VERIFY_WITH_TIMEOUT(!f.window->isBusy(), 15000);
    QCOMPARE(f.window->bootloaderKind(), BootloaderKind::None);
    QCOMPARE(f.dialogs.messages,
             QStringList{QStringLiteral("Error while trying to determine the current bootloader.\r"
                                        "Check that the device is connected and the correct port "
                                        "for connection is specified.")});
    QVERIFY(f.window->isVisible());
    QTRY_VERIFY(f.tempIsEmpty());
}

KESTO_TEST_MAIN(FirmwareUpdateSlowTest)
#include "tst_firmware_update_slow.moc"
