#include "test_main.h"

#include "app/main_window.h"
#include "i18n/caption_list.h"
#include "pty_bench.h"
#include "scripted_dialogs.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>

using namespace kesto;

// The language against the bench controller: the connection texts of a real handshake follow
// the stored language, and a switch while connected relabels the connected state.
class TestLanguageE2e : public QObject
{
    Q_OBJECT

private slots:
    void connectionInRussianThenEnglish()
    {
        {
            QSettings s(QStringLiteral("KESTO"));
            s.setValue(QStringLiteral("lang"), QStringLiteral("ru"));
        }
        test::ScriptedDialogs dialogs;
        sim::SimOptions simOptions;
        simOptions.serial = 23456;
        sim::PtyBench bench(simOptions);
        QVERIFY2(bench.start(), qPrintable(bench.errorString()));

        MainWindowOptions options;
        options.enumeratePorts = false;
        options.portLister = [] { return QStringList(); };
        options.extraPorts = {bench.devicePath()};
        options.selectPort = bench.devicePath();
        MainWindow w(options);
        w.show();
        auto *button = w.findChild<QPushButton *>(QStringLiteral("Button1"));
        auto *panel0 = w.findChild<QLabel *>(QStringLiteral("StatusPanel0"));
        auto *panel1 = w.findChild<QLabel *>(QStringLiteral("StatusPanel1"));
        auto *memo = w.findChild<QPlainTextEdit *>(QStringLiteral("Memo1"));
        QVERIFY(button && panel0 && panel1 && memo);
        QCOMPARE(button->text(), QStringLiteral("Соединиться"));
        QCOMPARE(panel0->text(), QStringLiteral("Отключен"));

        w.button1Click();
        QVERIFY2(memo->toPlainText().startsWith(QStringLiteral("Подключены к порту ")),
                 qPrintable(memo->toPlainText()));
        w.timer1Timer(); // the first handshake query without waiting two seconds
        QTRY_VERIFY_WITH_TIMEOUT(w.facts().handshakeDone, 5000);
        QCOMPARE(
            memo->toPlainText().split(QLatin1Char('\n')),
            (QStringList{"KESTO Подключен.", "Версия прошивки: 3.7", "Серийный номер: 23456"}));
        QCOMPARE(panel0->text(), QStringLiteral("Подключен"));
        QCOMPARE(panel1->text(), QStringLiteral("3.7.7  с\\н:23456"));
        QCOMPARE(button->text(), QStringLiteral("Отключиться"));

        w.chooseLanguage(QStringLiteral("en"));
        QCOMPARE(button->text(), QStringLiteral("Disconnect"));
        QCOMPARE(panel0->text(), QStringLiteral("Connected"));

        w.button1Click();
        QCOMPARE(button->text(), QStringLiteral("Connect"));
        QCOMPARE(panel0->text(), QStringLiteral("Disconnected"));
        QVERIFY(memo->toPlainText().endsWith(QStringLiteral("Disconnected.")));
        QVERIFY2(dialogs.messages.isEmpty(), qPrintable(dialogs.messages.join(QLatin1Char('|'))));
    }
};

KESTO_TEST_MAIN(TestLanguageE2e)
#include "tst_language_e2e.moc"
