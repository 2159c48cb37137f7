#include "test_main.h"

#include "i18n/apply_language_ui.h"
#include "i18n/caption_list.h"
#include "link/connection_facts.h"
#include "link/error.h"

#include <QAction>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QToolButton>

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
