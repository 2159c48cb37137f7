#include "test_main.h"

#include "i18n/apply_language_ui.h"
#include "i18n/caption_list.h"
#include "i18n/caption_places.h"
#include "link/connection_facts.h"
#include "link/error.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QToolButton>
#include <qcustomplot.h>

using namespace kesto;

namespace {

QSettings languageSettings()
{
    return QSettings(QStringLiteral("KESTO"));
}

// The language value as it stands in the settings file, read past any in-process cache.
QString langOnDisk()
{
    QString path;
    {
        QSettings s = languageSettings();
        s.sync();
        path = s.fileName();
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return QStringLiteral("<no file>");
    }
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (line.trimmed().startsWith("lang=")) {
            return QString::fromUtf8(line.trimmed().mid(5));
        }
    }
    return QStringLiteral("<no value>");
}

template <typename T> T *add(QWidget *parent, const char *name)
{
    auto *w = new T(parent);
    w->setObjectName(QLatin1String(name));
    return w;
}

} // namespace

class TestApplyLanguage : public QObject
{
    Q_OBJECT

private:
    ConnectionFacts m_facts;

private slots:
    void init()
    {
        languageSettings().remove(QStringLiteral("lang"));
        CaptionList::current().setRows(QStringLiteral("en"), CaptionList::load("en"));
    }

    void storedLanguageDefaultsToEnglish()
    {
        QCOMPARE(storedLanguage(), QStringLiteral("en"));
        QCOMPARE(langOnDisk(), QStringLiteral("en"));
    }

    void languageSurvivesRestart_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("connectText");
        QTest::newRow("ru") << "ru"
                            << "Соединиться";
        QTest::newRow("en") << "en"
                            << "Connect";
    }
    // The chosen code is on disk at once, and the next start reads it back.
    void languageSurvivesRestart()
    {
        QFETCH(QString, code);
        QFETCH(QString, connectText);
        ApplyLanguage(code == QLatin1String("en") ? QStringLiteral("ru") : QStringLiteral("en"),
                      m_facts);
        ApplyLanguage(code, m_facts);
        QCOMPARE(langOnDisk(), code);
        QCOMPARE(storedLanguage(), code);
        QCOMPARE(CaptionList::current().code(), code);
        QCOMPARE(caption(147), connectText);
    }

    // The code is stored before the list is loaded; a code without a list throws and leaves the
    // rows and the windows as they were.
    void unknownCodeKeepsTexts()
    {
        QMainWindow form;
        form.setObjectName(QStringLiteral("TForm1"));
        auto *label = add<QLabel>(&form, "Label7");
        ApplyLanguage(QStringLiteral("ru"), m_facts);
        QCOMPARE(label->text(), QStringLiteral("ПОРТ:"));

        QString reported;
        try {
            ApplyLanguage(QStringLiteral("de"), m_facts);
        } catch (const Error &e) {
            reported = e.text();
        }
        QVERIFY(!reported.isEmpty());
        QCOMPARE(langOnDisk(), QStringLiteral("de"));
        QCOMPARE(CaptionList::current().code(), QStringLiteral("ru"));
        QCOMPARE(caption(152), QStringLiteral("Отключен"));
        QCOMPARE(label->text(), QStringLiteral("ПОРТ:"));
    }

    void placesFollowLanguage_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QByteArray>("property");
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("russian");
        QTest::newRow("menu title") << "MAP1" << QByteArray("title") << "Options"
                                    << "Настройки";
        QTest::newRow("sub-menu") << "C1" << QByteArray("title") << "Calibrations"
                                  << "Калибровки";
        QTest::newRow("menu entry")
            << "lastgearlockup" << QByteArray("text") << "Last &gear lockup map [SLU]"
            << "Блокировка ГТ на последней передаче [SLU]";
        QTest::newRow("entry hint of a tool button")
            << "sSpeedButton1" << QByteArray("toolTip") << "Main Options (F1)"
            << "Основные настройки (F1)";
        QTest::newRow("tool button 7")
            << "sSpeedButton7" << QByteArray("toolTip") << "Shift log (F10)"
            << "Лог переключений (F10)";
        QTest::newRow("group box") << "GroupBox1" << QByteArray("title") << "Live data:"
                                   << "Текущие данные:";
        QTest::newRow("live caption") << "Label14" << QByteArray("text") << "Oil temp:"
                                      << "t жидкости:";
        QTest::newRow("empty English hint") << "Label15" << QByteArray("toolTip") << ""
                                            << "Температура жидкости АКПП, °C";
        QTest::newRow("port caption") << "Label7" << QByteArray("text") << "PORT:"
                                      << "ПОРТ:";
    }
    // Rows reach the controls of an open window by objectName, and switching back restores
    // them (an empty English hint clears the Russian one).
    void placesFollowLanguage()
    {
        QFETCH(QString, control);
        QFETCH(QByteArray, property);
        QFETCH(QString, english);
        QFETCH(QString, russian);

        QMainWindow form;
        form.setObjectName(QStringLiteral("TForm1"));
        QMenu *options = form.menuBar()->addMenu(QStringLiteral("design"));
        options->setObjectName(QStringLiteral("MAP1"));
        QMenu *calibrations = options->addMenu(QStringLiteral("design"));
        calibrations->setObjectName(QStringLiteral("C1"));
        QAction *entry = options->addAction(QStringLiteral("design"));
        entry->setObjectName(QStringLiteral("lastgearlockup"));
        add<QToolButton>(&form, "sSpeedButton1");
        add<QToolButton>(&form, "sSpeedButton7");
        QGroupBox *group = add<QGroupBox>(&form, "GroupBox1");
        add<QLabel>(group, "Label14");
        add<QLabel>(group, "Label15");
        add<QLabel>(&form, "Label7");
        QObject *target = form.findChild<QObject *>(control);
        QVERIFY(target);

        ApplyLanguage(QStringLiteral("ru"), m_facts);
        QCOMPARE(target->property(property.constData()).toString(), russian);
        ApplyLanguage(QStringLiteral("en"), m_facts);
        QCOMPARE(target->property(property.constData()).toString(), english);
    }

    // The reaction list gets the four rows as its items and no selection, whatever it showed.
    void reactionListRefilled_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QStringList>("items");
        QTest::newRow("ru") << "ru"
                            << QStringList{"слабое понижение", "нормальное понижение",
                                           "сильное понижение", "максимальное понижение"};
        QTest::newRow("en") << "en"
                            << QStringList{"low downshift", "normal downshift", "high downshift",
                                           "maximum downshift"};
    }
    void reactionListRefilled()
    {
        QFETCH(QString, code);
        QFETCH(QStringList, items);
        QWidget options;
        options.setObjectName(QStringLiteral("TForm4"));
        auto *list = add<QComboBox>(&options, "ComboBox4");
        list->addItems({"a", "b", "c", "d", "e"});
        list->setCurrentIndex(2);
        ApplyLanguage(code, m_facts);
        QStringList shown;
        for (int i = 0; i < list->count(); ++i) {
            shown << list->itemText(i);
        }
        QCOMPARE(shown, items);
        QCOMPARE(list->currentIndex(), -1);
        QCOMPARE(list->currentText(), QString());
    }

    void connectionCaptions_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("connected");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("panel");
        QTest::addColumn<QString>("disconnectHint");
        QTest::newRow("ru connected") << "ru" << true << "Отключиться"
                                      << "Подключен"
                                      << "Отключиться (F12)";
        QTest::newRow("ru disconnected") << "ru" << false << "Соединиться"
                                         << "Отключен"
                                         << "Отключиться (F12)";
        QTest::newRow("en connected") << "en" << true << "Disconnect"
                                      << "Connected"
                                      << "Disconnect (F12)";
        QTest::newRow("en disconnected") << "en" << false << "Connect"
                                         << "Disconnected"
                                         << "Disconnect (F12)";
    }
    // The connect button and status panel 0 follow the handshake flag; the others read fixed
    // rows whatever state the window is in.
    void connectionCaptions()
    {
        QFETCH(QString, code);
        QFETCH(bool, connected);
        QFETCH(QString, button);
        QFETCH(QString, panel);
        QFETCH(QString, disconnectHint);
        QMainWindow form;
        form.setObjectName(QStringLiteral("TForm1"));
        auto *connect = add<QPushButton>(&form, "Button1");
        connect->setToolTip(QStringLiteral("stale"));
        auto *panel0 = add<QLabel>(&form, "StatusPanel0");
        auto *logButton = add<QToolButton>(&form, "sSpeedButton6");
        auto *disconnectButton = add<QToolButton>(&form, "sSpeedButton8");
        QMenu *options = form.menuBar()->addMenu(QStringLiteral("design"));
        QAction *logging = options->addAction(QStringLiteral("Stop file logging (F9)"));
        logging->setObjectName(QStringLiteral("logging1"));
        logButton->setToolTip(logging->text());
        QAction *firmware = options->addAction(QStringLiteral("design"));
        firmware->setObjectName(QStringLiteral("Y1"));

        ConnectionFacts facts;
        facts.handshakeDone = connected;
        ApplyLanguage(code, facts);
        QCOMPARE(connect->text(), button);
        QCOMPARE(connect->toolTip(), QString()); // rows 148 and 150 are empty in both lists
        QCOMPARE(panel0->text(), panel);
        QCOMPARE(disconnectButton->toolTip(), disconnectHint);
        const QString startLog = code == QLatin1String("ru")
                                     ? QStringLiteral("Начать запись лога в файл (F9)")
                                     : QStringLiteral("Start file logging (F9)");
        QCOMPARE(logging->text(), startLog);
        QCOMPARE(logButton->toolTip(), startLog);
        const QString upload = code == QLatin1String("ru")
                                   ? QStringLiteral("Загрузить текущую прошивку 3.7.7")
                                   : QStringLiteral("Upload current firmware 3.7.7");
        QCOMPARE(firmware->text(), upload);
    }

    void pressureAxes_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("title");
        QTest::newRow("SLT ru") << "TForm9"
                                << "ru"
                                << "ДАВЛЕНИЕ %";
        QTest::newRow("SLN en") << "TForm14"
                                << "en"
                                << "PRESSURE %";
    }
    // Left and right axes of the pressure charts read row 210 and " %"; the others are theirs.
    void pressureAxes()
    {
        QFETCH(QString, window);
        QFETCH(QString, code);
        QFETCH(QString, title);
        QWidget editor;
        editor.setObjectName(window);
        auto *chart = add<QCustomPlot>(&editor, "DBChart1");
        chart->xAxis->setLabel(QStringLiteral("TPS"));
        ApplyLanguage(code, m_facts);
        QCOMPARE(chart->yAxis->label(), title);
        QCOMPARE(chart->yAxis2->label(), title);
        QCOMPARE(chart->xAxis->label(), QStringLiteral("TPS"));
    }

    // Table places of the list-item and axis kinds (used by the editors' and options' rows).
    void itemAndAxisPlaces()
    {
        QWidget editor;
        editor.setObjectName(QStringLiteral("TForm98"));
        auto *list = add<QComboBox>(&editor, "ComboBox1");
        list->addItems({"a", "b", "c"});
        list->setCurrentIndex(1);
        auto *chart = add<QCustomPlot>(&editor, "DBChart1");

        applyCaptionPlace({1, "TForm98", "ComboBox1", PlaceProperty::Item, 1}, QStringLiteral("B"));
        applyCaptionPlace({1, "TForm98", "ComboBox1", PlaceProperty::Item, 7}, QStringLiteral("X"));
        QCOMPARE(list->count(), 3);
        QCOMPARE(list->itemText(1), QStringLiteral("B"));
        QCOMPARE(list->currentIndex(), 1);

        applyCaptionPlace({1, "TForm98", "DBChart1", PlaceProperty::Axis, kAxisBottom | kAxisTop},
                          QStringLiteral("ДПДЗ"));
        QCOMPARE(chart->xAxis->label(), QStringLiteral("ДПДЗ"));
        QCOMPARE(chart->xAxis2->label(), QStringLiteral("ДПДЗ"));
        QCOMPARE(chart->yAxis->label(), QString());

        // Missing windows and controls are skipped.
        applyCaptionPlace({1, "TForm97", "ComboBox1", PlaceProperty::Item, 0}, QStringLiteral("Z"));
        applyCaptionPlace({1, "TForm98", "Nothing", PlaceProperty::Text}, QStringLiteral("Z"));
        QCOMPARE(list->itemText(0), QStringLiteral("a"));
    }

    // A window only picks up rows addressed to its own objectName.
    void otherWindowsUntouched()
    {
        QWidget other;
        other.setObjectName(QStringLiteral("TForm99"));
        QLabel *label = add<QLabel>(&other, "Label7");
        label->setText(QStringLiteral("kept"));
        ApplyLanguage(QStringLiteral("ru"), m_facts);
        QCOMPARE(label->text(), QStringLiteral("kept"));
    }
};

KESTO_TEST_MAIN(TestApplyLanguage)
#include "tst_apply_language.moc"
