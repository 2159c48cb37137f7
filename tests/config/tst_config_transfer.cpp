#include "app/app_context.h"
#include "config/arc_gauge_widget.h"
#include "config/config_file.h"
#include "config/config_image.h"
#include "config/config_progress_window.h"
#include "config/config_transfer.h"
#include "i18n/caption_list.h"
#include "link/commands.h"
#include "scripted_dialogs.h"
#include "test_host.h"
#include "test_main.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <memory>

using namespace kesto;

Q_DECLARE_METATYPE(kesto::ConfigImage)

namespace {

// Plays the controller's side of both page exchanges from its own memory: "EG<a>~" is answered
// with the page at a, "EH<a>,<ten bytes>~" stores the page and names the next one (700 at the
// end). After answersLeft answers it falls silent (-1: never).
struct PageController
{
    test::TestHost &host;
    ConfigImage memory;
    QList<QByteArray> requests;
    int answersLeft = -1;

    // Answers everything the host sends until it sends nothing more or the controller is silent.
    void run()
    {
        for (;;) {
            const QByteArray sent = host.takeSent();
            if (sent.isEmpty()) {
                return;
            }
            qsizetype start = 0;
            for (qsizetype end = sent.indexOf('~'); end >= 0; end = sent.indexOf('~', start)) {
                const QByteArray command = sent.mid(start, end + 1 - start);
                start = end + 1;
                requests << command;
                if (answersLeft == 0) {
                    continue;
                }
                if (answersLeft > 0) {
                    --answersLeft;
                }
                host.receive(answerTo(command));
            }
        }
    }

    QByteArray answerTo(const QByteArray &command)
    {
        const QList<QByteArray> fields = command.mid(2, command.size() - 3).split(',');
        const int address = fields.at(0).toInt();
        if (command.startsWith("EG")) {
            QByteArray answer = "EG" + QByteArray::number(address);
            for (int a = address; a < address + kPageSize; ++a) {
                answer += ',' + QByteArray::number(a < kImageSize ? memory.at(a) : 0);
            }
            return answer + '~';
        }
        if (command.startsWith("EH")) {
            for (int i = 1; i < fields.size() && address + i - 1 < kImageSize; ++i) {
                memory.set(address + i - 1, fields.at(i).toInt());
            }
            const int next = address + kPageSize;
            return "EH" + QByteArray::number(next >= kImageSize ? kImageSize : next) + '~';
        }
        return {};
    }
};

ConfigImage patternImage(int seed)
{
    ConfigImage image;
    for (int a = 0; a < kImageSize; ++a) {
        image.set(a, (a * 37 + seed * 11 + a / 7) & 0xFF);
    }
    return image;
}

ConfigImage filledImage(int value)
{
    ConfigImage image;
    for (int a = 0; a < kImageSize; ++a) {
        image.set(a, value);
    }
    return image;
}

QByteArray decimalLines(const QList<int> &values, const char *lineBreak = "\r\n")
{
    QByteArray text;
    for (int v : values) {
        text += QByteArray::number(v) + lineBreak;
    }
    return text;
}

QList<int> bytesOf(const ConfigImage &image, int count)
{
    QList<int> values;
    for (int a = 0; a < count; ++a) {
        values << image.at(a);
    }
    return values;
}

// The image with every byte from `from` on set to zero.
ConfigImage zeroFrom(ConfigImage image, int from)
{
    for (int a = from; a < kImageSize; ++a) {
        image.set(a, 0);
    }
    return image;
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        return "<missing>";
    }
    return f.readAll();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

QList<QByteArray> expectedSaveRequests()
{
    QList<QByteArray> list;
    for (int a = 0; a < kImageSize; a += kPageSize) {
        list << cmd::pageRead(a);
    }
    return list;
}

} // namespace

// One rig per test: scripted dialogs, a stand-in main window with its timers running (as when
// connected), the progress window with its transfer, and a controller with its own memory.
struct Rig
{
    test::ScriptedDialogs dialogs;
    test::TestHost host;
    QTemporaryDir folder;
    ConfigProgressWindow window;
    PageController controller{host, patternImage(1), {}, -1};

    Rig() : window(prepare(host, folder))
    {
        host.timer1.start();
        host.timer2.start();
    }
    static AppContext &prepare(test::TestHost &host, const QTemporaryDir &folder)
    {
        host.ctx.configFolder = folder.path();
        return host.ctx;
    }
    QString path(const QString &name) const { return folder.filePath(name); }
    ConfigTransfer &transfer() { return window.transfer(); }

    // The state the program must be in whenever no transfer runs.
    // A save, or a confirmed upload of a pattern image file.
    void startSaveOrUpload(bool upload)
    {
        if (!upload) {
            window.startSave();
            return;
        }
        const QString file = path(QStringLiteral("up.ks3"));
        writeFile(file, patternImage(3).toImageText().toLatin1());
        dialogs.answers << true;
        dialogs.openAnswers << file;
        window.startUpload();
    }

    void verifyIdle()
    {
        QCOMPARE(transfer().state(), ConfigTransfer::State::Idle);
        QVERIFY(host.timer1.isActive());
        QVERIFY(host.timer2.isActive());
        QCOMPARE(host.timer1.interval(), 100);
        QCOMPARE(host.timer2.interval(), 1000);
        QVERIFY(host.mainWindow.isEnabled());
        QVERIFY(window.isHidden());
        QVERIFY(!transfer().answerTimer()->isActive());
    }
    // The state while pages go back and forth.
    void verifyBusy()
    {
        QVERIFY(!host.timer1.isActive());
        QVERIFY(!host.timer2.isActive());
        QVERIFY(!host.mainWindow.isEnabled());
        QVERIFY(window.isVisible());
        QVERIFY(transfer().answerTimer()->isActive());
    }
};

class TestConfigTransfer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void progressWindowCoversMainWindow_data();
    void progressWindowCoversMainWindow();

    void saveReadsEveryPageAndWritesImage();
    void saveProgressFollowsPages_data();
    void saveProgressFollowsPages();
    void savePageBytesBecomeHex_data();
    void savePageBytesBecomeHex();
    void saveAnswersAreFollowedByTheirAddress();
    void cancelledSaveWritesNothing();
    void failedWriteKeepsPreviousFile();

    void uploadWritesFileIntoController_data();
    void uploadWritesFileIntoController();
    void uploadSendsWhateverPageIsNamed_data();
    void uploadSendsWhateverPageIsNamed();
    void uploadRefusedSendsNothing();
    void rejectedUploadFile_data();
    void rejectedUploadFile();
    void unreadableUploadFile_data();
    void unreadableUploadFile();

    void silenceStopsTransfer_data();
    void silenceStopsTransfer();
    void malformedAnswerStopsTransfer_data();
    void malformedAnswerStopsTransfer();
    void frameBehindFailingFrameIsHandled();
    void secondStartWhileRunningIsIgnored();
    void freedWindowTakesItsHandlersAlong();
};

void TestConfigTransfer::initTestCase()
{
    // The message rows must be told apart even where the list in use leaves them empty.
    QStringList rows;
    CaptionList &list = CaptionList::current();
    for (int r = 0; r < qMax(list.rowCount(), 500); ++r) {
        const QString text = list.row(r);
        rows << (text.isEmpty() ? QStringLiteral("<row %1>").arg(r) : text);
    }
    list.setRows(list.code(), rows);
}

void TestConfigTransfer::progressWindowCoversMainWindow_data()
{
    QTest::addColumn<QRect>("mainGeometry");
    QTest::addColumn<int>("gaugeSide");
    QTest::newRow("disconnected layout") << QRect(100, 100, 220, 388) << 180;
    QTest::newRow("connected layout, moved") << QRect(640, 20, 262, 353) << 222;
}

void TestConfigTransfer::progressWindowCoversMainWindow()
{
    QFETCH(QRect, mainGeometry);
    QFETCH(int, gaugeSide);
    Rig rig;
    rig.host.mainWindow.setGeometry(mainGeometry);
    ConfigProgressWindow &w = rig.window;
    QCOMPARE(w.objectName(), QStringLiteral("TForm25"));
    QCOMPARE(rig.host.ctx.window(QStringLiteral("TForm25")), &w);
    QCOMPARE(w.windowTitle(), QStringLiteral("config..."));
    QVERIFY(w.isWindow());
    QVERIFY(w.windowFlags().testFlag(Qt::FramelessWindowHint));
    QCOMPARE(qRound(w.windowOpacity() * 255), 100);
    auto *gauge = w.findChild<ArcGaugeWidget *>(QStringLiteral("sArcGauge1"));
    QVERIFY(gauge);
    QCOMPARE(gauge->minimum(), 0);
    QCOMPARE(gauge->maximum(), 700);
    QCOMPARE(gauge->text(), QStringLiteral("EEPROM"));

    w.startSave();
    QCOMPARE(w.geometry(), rig.host.mainWindow.frameGeometry());
    QCOMPARE(gauge->geometry(), QRect(30, 90, gaugeSide, gaugeSide));
    // The design text stays until the first page arrives.
    QCOMPARE(gauge->text(), QStringLiteral("EEPROM"));
    QCOMPARE(gauge->value(), 0);
    rig.verifyBusy();
}

void TestConfigTransfer::saveReadsEveryPageAndWritesImage()
{
    Rig rig;
    const QString file = rig.path(QStringLiteral("saved.ks3"));
    rig.dialogs.saveAnswers << file;
    rig.window.startSave();
    rig.controller.run();

    QCOMPARE(rig.controller.requests, expectedSaveRequests());
    const QByteArray written = readFile(file);
    QCOMPARE(written.size(), 1400);
    QCOMPARE(written, rig.controller.memory.toImageText().toLatin1());

    QCOMPARE(rig.dialogs.fileDialogs.size(), 1);
    QCOMPARE(rig.dialogs.fileDialogs.at(0).directory, rig.folder.path());
    QCOMPARE(rig.dialogs.fileDialogs.at(0).filter, saveDialogFilter());
    QCOMPARE(rig.dialogs.fileDialogs.at(0).defaultSuffix, QStringLiteral("ks3"));
    QVERIFY(rig.dialogs.messages.isEmpty());
    QVERIFY(rig.host.errors.isEmpty());
    rig.verifyIdle();

    // The gauge keeps "100%" while hidden, into the start of the next save.
    QCOMPARE(rig.window.gauge()->text(), QStringLiteral("100%"));
    rig.window.startSave();
    QCOMPARE(rig.window.gauge()->text(), QStringLiteral("100%"));
    QCOMPARE(rig.window.gauge()->value(), 0);
    QCOMPARE(rig.host.takeSent(), QByteArray("EG0~"));
}

void TestConfigTransfer::saveProgressFollowsPages_data()
{
    QTest::addColumn<int>("pages");
    QTest::addColumn<QString>("text");
    QTest::newRow("first page") << 1 << "1%";
    QTest::newRow("half") << 35 << "50%";
    QTest::newRow("all but the last") << 69 << "98%";
}

void TestConfigTransfer::saveProgressFollowsPages()
{
    QFETCH(int, pages);
    QFETCH(QString, text);
    Rig rig;
    rig.controller.answersLeft = pages;
    rig.window.startSave();
    rig.controller.run();
    QCOMPARE(rig.window.gauge()->value(), pages * 10);
    QCOMPARE(rig.window.gauge()->text(), text);
    QCOMPARE(rig.transfer().readText(), rig.controller.memory.toImageText().left(pages * 20));
    QCOMPARE(rig.controller.requests.size(), pages + 1); // the last one is still unanswered
    QCOMPARE(rig.transfer().state(), ConfigTransfer::State::ReadingPages);
    rig.verifyBusy();
    QVERIFY(rig.dialogs.fileDialogs.isEmpty());
}

void TestConfigTransfer::savePageBytesBecomeHex_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QString>("hex");
    QTest::newRow("edge values") << QByteArray("EG0,0,1,15,16,127,128,200,254,255,10~")
                                 << "00010F107F80C8FEFF0A";
    QTest::newRow("low eight bits kept")
        << QByteArray("EG0,256,-1,300,511,0,0,0,0,0,1~") << "00FF2CFF000000000001";
}

void TestConfigTransfer::savePageBytesBecomeHex()
{
    QFETCH(QByteArray, answer);
    QFETCH(QString, hex);
    Rig rig;
    rig.window.startSave();
    QCOMPARE(rig.host.takeSent(), QByteArray("EG0~"));
    rig.host.receive(answer);
    QCOMPARE(rig.transfer().readText(), hex);
    QCOMPARE(rig.host.takeSent(), QByteArray("EG10~"));
}

void TestConfigTransfer::saveAnswersAreFollowedByTheirAddress()
{
    // The next request follows the address in the answer, not the one asked for; past 690
    // nothing more is asked.
    Rig rig;
    rig.window.startSave();
    rig.host.takeSent();
    rig.host.receive("EG340,1,2,3,4,5,6,7,8,9,10~");
    QCOMPARE(rig.host.takeSent(), QByteArray("EG350~"));
    rig.host.receive("EG700,1,2,3,4,5,6,7,8,9,10~");
    QCOMPARE(rig.host.takeSent(), QByteArray());
    QCOMPARE(rig.window.gauge()->text(), QStringLiteral("2%"));
    QCOMPARE(rig.transfer().state(), ConfigTransfer::State::ReadingPages);
    QVERIFY(rig.dialogs.fileDialogs.isEmpty());
}

void TestConfigTransfer::cancelledSaveWritesNothing()
{
    Rig rig;
    rig.window.startSave();
    rig.controller.run();
    QCOMPARE(rig.controller.requests.size(), 70);
    QCOMPARE(rig.dialogs.fileDialogs.size(), 1);
    QCOMPARE(QDir(rig.folder.path()).entryList(QDir::Files), QStringList());
    QVERIFY(rig.dialogs.messages.isEmpty());
    rig.verifyIdle();
}

void TestConfigTransfer::failedWriteKeepsPreviousFile()
{
    Rig rig;
    // A name so long that no temporary file can be made beside it: the write fails after the
    // old file was found in place.
    const QString file = rig.path(QString(250, QLatin1Char('k')) + QStringLiteral(".ks3"));
    writeFile(file, "previous content");
    rig.dialogs.saveAnswers << file;
    rig.window.startSave();
    rig.controller.run();

    QCOMPARE(readFile(file), QByteArray("previous content"));
    QCOMPARE(rig.dialogs.messages.size(), 1);
    QVERIFY(rig.dialogs.messages.at(0).startsWith(caption(495)));
    QVERIFY(rig.dialogs.messages.at(0).size() > caption(495).size());
    QCOMPARE(QDir(rig.folder.path()).entryList(QDir::Files).size(), 1); // no leftovers
    rig.verifyIdle();
}

void TestConfigTransfer::uploadWritesFileIntoController_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<ConfigImage>("expected");

    const ConfigImage image = patternImage(7);
    const QByteArray hex = image.toImageText().toLatin1();
    QTest::newRow("saved hex file") << hex << image;
    QTest::newRow("hex with final line break") << hex + "\r\n" << image;
    QTest::newRow("lower-case hex") << hex.toLower() << image;
    QTest::newRow("hex of 1010 characters") << hex.left(1010) << zeroFrom(image, 505);
    QTest::newRow("700 decimal lines") << decimalLines(bytesOf(image, 700)) << image;
    QTest::newRow("400 decimal lines, lone LF")
        << decimalLines(bytesOf(image, 400), "\n") << zeroFrom(image, 400);
    QTest::newRow("350 decimal lines") << decimalLines(bytesOf(image, 350)) << zeroFrom(image, 350);
    QList<int> wide = bytesOf(image, 700);
    wide[0] = 300;
    wide[1] = -1;
    wide[2] = 256;
    ConfigImage wrapped = image;
    wrapped.set(0, 44);
    wrapped.set(1, 255);
    wrapped.set(2, 0);
    QTest::newRow("decimal values beyond a byte") << decimalLines(wide) << wrapped;
}

void TestConfigTransfer::uploadWritesFileIntoController()
{
    QFETCH(QByteArray, content);
    QFETCH(ConfigImage, expected);
    Rig rig;
    rig.controller.memory = filledImage(0xA5); // so uploaded zeros show
    const QString file = rig.path(QStringLiteral("upload.kst"));
    writeFile(file, content);
    rig.dialogs.answers << true;
    rig.dialogs.openAnswers << file;
    rig.window.startUpload();
    QCOMPARE(rig.transfer().state(), ConfigTransfer::State::WritingPages);
    rig.verifyBusy();
    QCOMPARE(rig.window.gauge()->text(), QStringLiteral("0%"));
    rig.controller.run();

    QVERIFY(rig.controller.memory == expected);
    QCOMPARE(rig.controller.requests.size(), 70);
    for (int page = 0; page < 70; ++page) {
        QVERIFY(rig.controller.requests.at(page).startsWith("EH" + QByteArray::number(page * 10) +
                                                            ','));
    }
    QCOMPARE(rig.dialogs.questions, QStringList{caption(462)});
    QVERIFY(rig.dialogs.lastYesIsDefault);
    QCOMPARE(rig.dialogs.fileDialogs.size(), 1);
    QCOMPARE(rig.dialogs.fileDialogs.at(0).directory, rig.folder.path());
    QCOMPARE(rig.dialogs.fileDialogs.at(0).filter, openDialogFilter());
    QCOMPARE(rig.dialogs.fileDialogs.at(0).defaultSuffix, QString());
    QCOMPARE(rig.dialogs.messages, QStringList{caption(223)});
    // The window closes at the answer 700 without showing 100 %.
    QCOMPARE(rig.window.gauge()->text(), QStringLiteral("98%"));
    QVERIFY(rig.host.errors.isEmpty());
    rig.verifyIdle();
}

void TestConfigTransfer::uploadSendsWhateverPageIsNamed_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<int>("progress");
    QTest::addColumn<QString>("text");
    QTest::newRow("page 350") << QByteArray("EH350~")
                              << QByteArray("EH350,95,96,97,98,99,100,101,102,103,104~") << 350
                              << "50%";
    QTest::newRow("address kept as sent")
        << QByteArray("EH0010~") << QByteArray("EH0010,11,12,13,14,15,16,17,18,19,20~") << 10
        << "1%";
    QTest::newRow("page beyond the text")
        << QByteArray("EH690~") << QByteArray("EH690,0,0,0,0,0,0,0,0,0,0~") << 690 << "98%";
}

void TestConfigTransfer::uploadSendsWhateverPageIsNamed()
{
    QFETCH(QByteArray, answer);
    QFETCH(QByteArray, command);
    QFETCH(int, progress);
    QFETCH(QString, text);
    Rig rig;
    // 400 lines: byte a holds the low eight bits of a + 1; 400 to 699 are zero.
    QList<int> values;
    for (int a = 0; a < 400; ++a) {
        values << a + 1;
    }
    const QString file = rig.path(QStringLiteral("counting.kst"));
    writeFile(file, decimalLines(values));
    rig.dialogs.answers << true;
    rig.dialogs.openAnswers << file;
    rig.window.startUpload();
    QCOMPARE(rig.host.takeSent(), QByteArray("EH0,1,2,3,4,5,6,7,8,9,10~"));

    rig.host.receive(answer);
    QCOMPARE(rig.host.takeSent(), command);
    QCOMPARE(rig.window.gauge()->value(), progress);
    QCOMPARE(rig.window.gauge()->text(), text);
    // Asked again, the same page goes again.
    rig.host.receive(answer);
    QCOMPARE(rig.host.takeSent(), command);
    rig.verifyBusy();
}

void TestConfigTransfer::uploadRefusedSendsNothing()
{
    Rig rig;
    rig.dialogs.answers << false;
    rig.window.startUpload();
    QCOMPARE(rig.host.takeSent(), QByteArray());
    QCOMPARE(rig.dialogs.questions.size(), 1);
    QVERIFY(rig.dialogs.fileDialogs.isEmpty());
    QVERIFY(rig.dialogs.messages.isEmpty());
    rig.verifyIdle();
    // A later answer of the controller does not start anything.
    rig.host.receive("EH10~");
    QCOMPARE(rig.host.takeSent(), QByteArray());
}

void TestConfigTransfer::rejectedUploadFile_data()
{
    QTest::addColumn<bool>("chooseFile");
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("dialog cancelled") << false << QByteArray();
    QTest::newRow("empty file") << true << QByteArray();
    QTest::newRow("300 short lines") << true << decimalLines(QList<int>(300, 1));
    QTest::newRow("one line of 1000") << true << QByteArray(1000, 'A');
}

void TestConfigTransfer::rejectedUploadFile()
{
    QFETCH(bool, chooseFile);
    QFETCH(QByteArray, content);
    Rig rig;
    rig.dialogs.answers << true;
    if (chooseFile) {
        const QString file = rig.path(QStringLiteral("bad.ks3"));
        writeFile(file, content);
        rig.dialogs.openAnswers << file;
    }
    rig.window.startUpload();
    QCOMPARE(rig.dialogs.messages, QStringList{caption(222)});
    QCOMPARE(rig.host.takeSent(), QByteArray());
    rig.verifyIdle();
}

void TestConfigTransfer::unreadableUploadFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content"); // null: the file is not there
    QTest::addColumn<QString>("why");
    QTest::newRow("missing file") << "missing.ks3" << QByteArray() << "missing.ks3";
    QList<int> values(350, 7);
    QByteArray bad = decimalLines(values);
    bad.replace(100 * 3, 1, "x"); // line 100 reads "x"
    QTest::newRow("decimal line not a number")
        << "bad.kst" << bad << "'x' is not a valid integer value";
    QByteArray blank = decimalLines(values);
    blank.insert(0, "\r\n"); // an empty first line
    QTest::newRow("empty decimal line")
        << "blank.kst" << blank << "'' is not a valid integer value";
}

void TestConfigTransfer::unreadableUploadFile()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QString, why);
    Rig rig;
    const QString file = rig.path(name);
    if (!content.isNull()) {
        writeFile(file, content);
    }
    rig.dialogs.answers << true;
    rig.dialogs.openAnswers << file;
    rig.window.startUpload();
    QCOMPARE(rig.dialogs.messages.size(), 1);
    QVERIFY(rig.dialogs.messages.at(0).startsWith(caption(495)));
    QVERIFY2(rig.dialogs.messages.at(0).contains(why), qPrintable(rig.dialogs.messages.at(0)));
    QCOMPARE(rig.host.takeSent(), QByteArray());
    rig.verifyIdle();
}

void TestConfigTransfer::silenceStopsTransfer_data()
{
    QTest::addColumn<bool>("upload");
    QTest::addColumn<int>("answers");
    QTest::newRow("save, no answer at all") << false << 0;
    QTest::newRow("save, silent mid-way") << false << 30;
    QTest::newRow("upload, no answer at all") << true << 0;
    QTest::newRow("upload, silent mid-way") << true << 42;
}

void TestConfigTransfer::silenceStopsTransfer()
{
    QFETCH(bool, upload);
    QFETCH(int, answers);
    Rig rig;
    const QString saveFile = rig.path(QStringLiteral("never.ks3"));
    rig.dialogs.saveAnswers << saveFile;
    rig.controller.answersLeft = answers;
    rig.startSaveOrUpload(upload);
    rig.controller.run();
    QCOMPARE(rig.controller.requests.size(), answers + 1);
    rig.verifyBusy();
    QCOMPARE(rig.transfer().answerTimer()->interval(), 3000);
    QVERIFY(rig.transfer().answerTimer()->isSingleShot());
    QVERIFY(rig.dialogs.messages.isEmpty());

    // As if the three seconds had passed.
    QMetaObject::invokeMethod(rig.transfer().answerTimer(), "timeout", Qt::DirectConnection);
    QCOMPARE(rig.dialogs.messages, QStringList{caption(494)});
    rig.verifyIdle();
    QVERIFY(!QFile::exists(saveFile));

    // The late answer of the page asked last must not start the transfer again.
    rig.controller.answersLeft = -1;
    rig.host.receive(rig.controller.answerTo(rig.controller.requests.last()));
    QCOMPARE(rig.host.takeSent(), QByteArray());
    rig.verifyIdle();
    QCOMPARE(rig.dialogs.messages.size(), 1);
}

void TestConfigTransfer::malformedAnswerStopsTransfer_data()
{
    QTest::addColumn<bool>("upload");
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QString>("why");
    QTest::newRow("page with too few fields")
        << false << QByteArray("EG0,1,2,3~") << "List index out of bounds (4)";
    QTest::newRow("page value not a number")
        << false << QByteArray("EG0,1,2,3,4,5,x6,7,8,9,10~") << "'x6' is not a valid integer value";
    QTest::newRow("page address not a number")
        << false << QByteArray("EG,1,2,3,4,5,6,7,8,9,10~") << "'' is not a valid integer value";
    QTest::newRow("next page not a number")
        << true << QByteArray("EH35O~") << "'35O' is not a valid integer value";
    QTest::newRow("next page missing")
        << true << QByteArray("EH~") << "'' is not a valid integer value";
}

void TestConfigTransfer::malformedAnswerStopsTransfer()
{
    QFETCH(bool, upload);
    QFETCH(QByteArray, answer);
    QFETCH(QString, why);
    Rig rig;
    rig.startSaveOrUpload(upload);
    rig.host.takeSent();
    rig.host.receive(answer);
    QCOMPARE(rig.dialogs.messages, QStringList{caption(495) + why});
    QCOMPARE(rig.host.takeSent(), QByteArray());
    QVERIFY(rig.dialogs.fileDialogs.size() == (upload ? 1 : 0));
    rig.verifyIdle();
}

void TestConfigTransfer::frameBehindFailingFrameIsHandled()
{
    Rig rig;
    // Another window's handler that fails on its answer, arriving in one piece with a page.
    rig.host.dispatcher.setHandler(QStringLiteral("z4"),
                                   [](const AnswerFrame &f) { f.intField(20); });
    rig.window.startSave();
    rig.host.takeSent();
    rig.host.receive("z4,1,2~EG0,1,2,3,4,5,6,7,8,9,10~");
    QCOMPARE(rig.host.errors.size(), 1);
    QCOMPARE(rig.transfer().readText(), QStringLiteral("0102030405060708090A"));
    QCOMPARE(rig.host.takeSent(), QByteArray("EG10~"));
    rig.verifyBusy();
}

void TestConfigTransfer::secondStartWhileRunningIsIgnored()
{
    Rig rig;
    rig.window.startSave();
    rig.host.takeSent();
    rig.window.startSave();
    rig.dialogs.answers << true;
    rig.window.startUpload();
    QCOMPARE(rig.host.takeSent(), QByteArray());
    QVERIFY(rig.dialogs.questions.isEmpty());
    QCOMPARE(rig.transfer().state(), ConfigTransfer::State::ReadingPages);
    // The save still runs to its end.
    rig.controller.requests << cmd::pageRead(0);
    rig.host.receive(rig.controller.answerTo(cmd::pageRead(0)));
    rig.controller.run();
    QCOMPARE(rig.controller.requests, expectedSaveRequests());
    rig.verifyIdle();
}

void TestConfigTransfer::freedWindowTakesItsHandlersAlong()
{
    test::ScriptedDialogs dialogs;
    test::TestHost host;
    auto window = std::make_unique<ConfigProgressWindow>(host.ctx);
    window->startSave();
    host.takeSent();
    window.reset();
    // Answers still on the line when the windows are freed at the end reach no freed handler.
    host.receive("EG0,1,2,3,4,5,6,7,8,9,10~EH10~");
    QCOMPARE(host.takeSent(), QByteArray());
    QVERIFY(host.errors.isEmpty());
}

KESTO_TEST_MAIN(TestConfigTransfer)
#include "tst_config_transfer.moc"
