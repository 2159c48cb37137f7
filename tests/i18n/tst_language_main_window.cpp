#include "test_main.h"

#include "../app/main_window_fixture.h"

#include "i18n/caption_list.h"

#include <QAbstractButton>
#include <QDir>
#include <QGroupBox>
#include <QRegularExpression>
#include <QSettings>
#include <QToolButton>

using namespace kesto;
using kesto::test::MainWindowFixture;

namespace {

void storeLanguage(const QString &code)
{
    QSettings s(QStringLiteral("KESTO"));
    s.setValue(QStringLiteral("lang"), code);
    s.sync();
}

QString storedValue()
{
    QSettings s(QStringLiteral("KESTO"));
    return s.value(QStringLiteral("lang")).toString();
}

// Texts of the main window's menu entries whose captions have no caption row.
bool hasNoRow(const QObject *o)
{
    static const QStringList names = {"Clear1",   "Showgearlog1", "Emulation1", "Emulation2",
                                      "CONTROL1", "PopupMenu1",   "PopupMenu2", "CONTROL1Entry"};
    return names.contains(o->objectName());
}

// Every visible text of a window's own controls: captions, titles, hints, menu entries. Other
// windows (the secondary ones are children of the main window) are left out.
QStringList textsOf(QWidget *window)
{
    QStringList texts;
    auto addText = [&texts](const QObject *o, const QString &what, const QString &text) {
        if (!text.isEmpty() && !hasNoRow(o)) {
            texts << o->objectName() + QLatin1Char('.') + what + QLatin1Char('=') + text;
        }
    };
    QObjectList queue = {window};
    while (!queue.isEmpty()) {
        QObject *o = queue.takeFirst();
        auto *w = qobject_cast<QWidget *>(o);
        if (w && w != window && w->isWindow() && !qobject_cast<QMenu *>(w)) {
            continue;
        }
        if (auto *label = qobject_cast<QLabel *>(o)) {
            addText(o, QStringLiteral("text"), label->text());
        } else if (auto *button = qobject_cast<QAbstractButton *>(o)) {
            addText(o, QStringLiteral("text"), button->text());
        } else if (auto *group = qobject_cast<QGroupBox *>(o)) {
            addText(o, QStringLiteral("title"), group->title());
        } else if (auto *menu = qobject_cast<QMenu *>(o)) {
            addText(o, QStringLiteral("title"), menu->title());
        } else if (auto *action = qobject_cast<QAction *>(o)) {
            addText(o, QStringLiteral("text"), action->text());
            addText(o, QStringLiteral("toolTip"),
                    action->toolTip() == action->text().remove(QLatin1Char('&'))
                        ? QString()
                        : action->toolTip());
        }
        if (w) {
            addText(o, QStringLiteral("toolTip"), w->toolTip());
        }
        queue += o->children();
    }
    return texts;
}

} // namespace

class TestLanguageMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void init() { storeLanguage(QStringLiteral("en")); }

    void connectionCaptions_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("connected");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("panel");
        QTest::newRow("ru connected") << "ru" << true << "Отключиться"
                                      << "Подключен";
        QTest::newRow("ru disconnected") << "ru" << false << "Соединиться"
                                         << "Отключен";
        QTest::newRow("en connected") << "en" << true << "Disconnect"
                                      << "Connected";
        QTest::newRow("en disconnected") << "en" << false << "Connect"
                                         << "Disconnected";
    }
    void connectionCaptions()
    {
        QFETCH(QString, code);
        QFETCH(bool, connected);
        QFETCH(QString, button);
        QFETCH(QString, panel);
        storeLanguage(code == QLatin1String("ru") ? QStringLiteral("en") : QStringLiteral("ru"));
        MainWindowFixture f;
        f.w().show();
        if (connected) {
            f.connectWith();
            QVERIFY(f.w().facts().handshakeDone);
        }
        f.w().chooseLanguage(code);
        QCOMPARE(f.child<QPushButton>("Button1")->text(), button);
        QCOMPARE(f.status0(), panel);
        QCOMPARE(f.action("English1")->isChecked(), code == QLatin1String("en"));
        QCOMPARE(f.action("Russian1")->isChecked(), code == QLatin1String("ru"));
        // Messages built after the switch use the new rows.
        f.w().disconnectPort();
        QCOMPARE(f.messageLines().value(f.messageLines().size() - 1),
                 CaptionList::load(code).at(152) + QLatin1Char('.'));
    }

    void gaugeCaptions_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QStringList>("captions");
        QTest::newRow("en") << "en" << QStringList{"RPM", "Speed", "Throttle", "Oil temp°"};
        QTest::newRow("ru") << "ru"
                            << QStringList{"Обороты", "Скорость", "Дроссель", "t жидкости°"};
    }
    void gaugeCaptions()
    {
        QFETCH(QString, code);
        QFETCH(QStringList, captions);
        storeLanguage(code == QLatin1String("ru") ? QStringLiteral("en") : QStringLiteral("ru"));
        MainWindowFixture f;
        f.w().show();
        f.w().chooseLanguage(code);
        QWidget *gauges = f.secondary("TForm20");
        QVERIFY(gauges);
        QStringList shown;
        for (int i = 1; i <= 4; ++i) {
            auto *label = gauges->findChild<QLabel *>(QStringLiteral("Label%1").arg(i));
            QVERIFY(label);
            shown << label->text();
        }
        QCOMPARE(shown, captions);
    }

    // The options window's reaction list loses its selection on a switch (a stand-in list is
    // added while the options window is still a shell).
    void reactionListHasNoSelection()
    {
        MainWindowFixture f;
        f.w().show();
        QWidget *options = f.secondary("TForm4");
        QVERIFY(options);
        auto *list = options->findChild<QComboBox *>(QStringLiteral("ComboBox4"));
        if (!list) {
            list = new QComboBox(options);
            list->setObjectName(QStringLiteral("ComboBox4"));
            list->addItems(
                {"low downshift", "normal downshift", "high downshift", "maximum downshift"});
        }
        list->setCurrentIndex(1);
        f.w().chooseLanguage(QStringLiteral("ru"));
        QCOMPARE(list->count(), 4);
        QCOMPARE(list->itemText(0), QStringLiteral("слабое понижение"));
        QCOMPARE(list->currentIndex(), -1);
        list->setCurrentIndex(2);
        f.w().chooseLanguage(QStringLiteral("en"));
        QCOMPARE(list->itemText(3), QStringLiteral("maximum downshift"));
        QCOMPARE(list->currentIndex(), -1);
    }

    // The logging entry reads the start caption after a switch even while a log runs; the
    // disconnect button's hint and the firmware entry are composed.
    void composedCaptions()
    {
        MainWindowFixture f;
        f.w().show();
        f.connectWith();
        f.action("logging1")->setText(caption(293));
        f.child<QToolButton>("sSpeedButton6")->setToolTip(caption(293));
        f.w().chooseLanguage(QStringLiteral("ru"));
        QCOMPARE(f.action("logging1")->text(), QStringLiteral("Начать запись лога в файл (F9)"));
        QCOMPARE(f.child<QToolButton>("sSpeedButton6")->toolTip(),
                 QStringLiteral("Начать запись лога в файл (F9)"));
        QCOMPARE(f.child<QToolButton>("sSpeedButton8")->toolTip(),
                 QStringLiteral("Отключиться (F12)"));
        QCOMPARE(f.action("Y1")->text(), QStringLiteral("Загрузить текущую прошивку 3.7.7"));
        QCOMPARE(f.w().windowTitle(), QStringLiteral("KESTO Writer 3.7.7"));
    }

    // After a switch to Russian no caption of the main window or the gauges is left in
    // English, and after the switch back none is left in Russian.
    void noTextLeftBehind()
    {
        MainWindowFixture f;
        f.w().show();
        f.connectWith();
        const QStringList en = CaptionList::load(QStringLiteral("en"));
        const QStringList ru = CaptionList::load(QStringLiteral("ru"));
        QSet<QString> englishOnly;
        for (int row = 0; row < en.size(); ++row) {
            if (!en.at(row).isEmpty() && en.at(row) != ru.at(row)) {
                englishOnly.insert(en.at(row));
            }
        }
        QWidget *gauges = f.secondary("TForm20");
        f.w().chooseLanguage(QStringLiteral("ru"));
        for (QWidget *window : {static_cast<QWidget *>(&f.w()), gauges}) {
            for (const QString &entry : textsOf(window)) {
                const QString text = entry.section(QLatin1Char('='), 1);
                QVERIFY2(!englishOnly.contains(text), qPrintable(entry));
            }
        }
        f.w().chooseLanguage(QStringLiteral("en"));
        static const QRegularExpression cyrillic(QStringLiteral("[\\x{0400}-\\x{04FF}]"));
        for (QWidget *window : {static_cast<QWidget *>(&f.w()), gauges}) {
            for (const QString &entry : textsOf(window)) {
                QVERIFY2(!entry.contains(cyrillic), qPrintable(entry));
            }
        }
    }

    // An unknown code is stored, reported through the general error handler, and changes no
    // text and no tick.
    void unknownCodeKeepsTexts()
    {
        MainWindowFixture f;
        f.w().show();
        f.w().chooseLanguage(QStringLiteral("ru"));
        const QStringList before = textsOf(&f.w());
        f.dialogs.messages.clear();
        f.w().chooseLanguage(QStringLiteral("de"));
        QCOMPARE(f.dialogs.messages.size(), 1);
        QVERIFY(f.dialogs.messages.first().contains(QStringLiteral("de")));
        QCOMPARE(storedValue(), QStringLiteral("de"));
        QCOMPARE(textsOf(&f.w()), before);
        QVERIFY(f.action("Russian1")->isChecked());
        QVERIFY(!f.action("English1")->isChecked());
        QCOMPARE(caption(147), QStringLiteral("Соединиться"));
    }

    // The next start shows the language chosen last, and showing writes it back.
    void languageSurvivesRestart()
    {
        {
            MainWindowFixture f;
            f.w().show();
            f.w().chooseLanguage(QStringLiteral("ru"));
        }
        CaptionList::current().setRows(QStringLiteral("en"), CaptionList::load("en"));
        MainWindowFixture f;
        QVERIFY(f.action("Russian1")->isChecked());
        f.w().show();
        QCOMPARE(f.menu("MAP1")->title(), QStringLiteral("Настройки"));
        QCOMPARE(f.label("Label14")->text(), QStringLiteral("t жидкости:"));
        QCOMPARE(storedValue(), QStringLiteral("ru"));
    }

    // Pictures of both layouts in Russian, for a person to look at (KESTO_SCREENSHOT_DIR).
    void screenshots()
    {
        const QString dir = qEnvironmentVariable("KESTO_SCREENSHOT_DIR");
        if (dir.isEmpty()) {
            QSKIP("set KESTO_SCREENSHOT_DIR to write the pictures");
        }
        storeLanguage(QStringLiteral("ru"));
        MainWindowFixture f;
        f.w().show();
        QVERIFY(QDir().mkpath(dir));
        QVERIFY(f.w().grab().save(dir + QStringLiteral("/main_ru_disconnected.png")));
        f.connectWith();
        f.answer("z4800,60,20,4,4,1,128,128,1,85,0,0,0~");
        QVERIFY(f.w().grab().save(dir + QStringLiteral("/main_ru_connected.png")));
        for (const char *name : {"MAP1", "Maps1"}) {
            QMenu *menu = f.menu(name);
            menu->adjustSize();
            QVERIFY(menu->grab().save(dir + QStringLiteral("/menu_%1_ru.png").arg(name)));
        }
        f.w().speedButton1Click();
        QVERIFY(f.secondary("TForm20")->grab().save(dir + QStringLiteral("/gauges_ru.png")));
    }
};

KESTO_TEST_MAIN(TestLanguageMainWindow)
#include "tst_language_main_window.moc"
