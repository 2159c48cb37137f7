#include "test_main.h"

#include "i18n/caption_list.h"
#include "i18n/caption_places.h"
#include "link/error.h"

#include <QFile>
#include <QSet>

using namespace kesto;

namespace {

// Rows 493 and up: 493 is the last specified row (empty in English), the rest are this
// program's own appended messages.
constexpr int kSpecifiedRows = 494;

QList<int> reservedRows()
{
    QList<int> rows = {7, 8, 9, 44, 83, 84, 391, 392, 421, 422};
    for (int r = 437; r <= 459; ++r) {
        rows << r;
    }
    return rows;
}

QByteArray rawList(const QString &code)
{
    QFile file(QStringLiteral(":/i18n/LNG%1.txt").arg(code.toUpper()));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.readAll();
}

} // namespace

class TestCaptionList : public QObject
{
    Q_OBJECT

private slots:
    void init() { CaptionList::current().setRows(QStringLiteral("en"), CaptionList::load("en")); }

    void lineBreaks_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("finalBreak");
        QTest::newRow("en") << "en" << true;
        QTest::newRow("ru") << "ru" << false;
    }
    // Rows are CR LF separated (a stray LF or CR would shift or glue rows); the English list
    // ends every row with a break, the Russian one leaves the last row open.
    void lineBreaks()
    {
        QFETCH(QString, code);
        QFETCH(bool, finalBreak);
        const QByteArray raw = rawList(code);
        QVERIFY(!raw.isEmpty());
        QByteArray stripped = raw;
        stripped.replace("\r\n", "");
        QVERIFY2(!stripped.contains('\r') && !stripped.contains('\n'), "bare CR or LF in the list");
        QCOMPARE(raw.endsWith("\r\n"), finalBreak);
        QCOMPARE(int(raw.count("\r\n")), CaptionList::load(code).size() - (finalBreak ? 0 : 1));
        QVERIFY(!QString::fromUtf8(raw).contains(QChar::ReplacementCharacter));
    }

    // Both lists have the same number of rows: every specified row plus the appended ones, so a
    // row number means the same text in both languages.
    void rowCounts()
    {
        const QStringList en = CaptionList::load(QStringLiteral("en"));
        const QStringList ru = CaptionList::load(QStringLiteral("ru"));
        QVERIFY(en.size() > kSpecifiedRows);
        QCOMPARE(ru.size(), en.size());
        // Row 493 exists in English only as the empty row before the appended ones.
        QCOMPARE(en.at(493), QString());
        QVERIFY(!ru.at(493).isEmpty());
        for (int row = kSpecifiedRows; row < en.size(); ++row) {
            QVERIFY2(!en.at(row).isEmpty() && !ru.at(row).isEmpty(),
                     qPrintable(QStringLiteral("appended row %1 is empty").arg(row)));
        }
    }

    void reservedRowsEmpty_data()
    {
        QTest::addColumn<QString>("code");
        QTest::newRow("en") << "en";
        QTest::newRow("ru") << "ru";
    }
    void reservedRowsEmpty()
    {
        QFETCH(QString, code);
        const QStringList rows = CaptionList::load(code);
        for (int row : reservedRows()) {
            QVERIFY2(rows.value(row, QStringLiteral("<missing>")).isEmpty(),
                     qPrintable(QStringLiteral("reserved row %1 holds text").arg(row)));
        }
    }

    // Every English text has its Russian counterpart, and a text that code continues (it ends
    // with a blank) ends with a blank in both languages.
    void russianMatchesEnglishShape()
    {
        const QStringList en = CaptionList::load(QStringLiteral("en"));
        const QStringList ru = CaptionList::load(QStringLiteral("ru"));
        for (int row = 0; row < en.size(); ++row) {
            if (en.at(row).isEmpty()) {
                continue;
            }
            QVERIFY2(!ru.at(row).isEmpty(),
                     qPrintable(QStringLiteral("row %1 untranslated").arg(row)));
            QVERIFY2(en.at(row).endsWith(QLatin1Char(' ')) == ru.at(row).endsWith(QLatin1Char(' ')),
                     qPrintable(QStringLiteral("row %1: trailing blank differs").arg(row)));
        }
        // Hint rows: the Russian list fills most of the ones English leaves empty.
        int emptyHints = 0;
        int filledHints = 0;
        const QList<int> reserved = reservedRows();
        for (int row = 0; row < kSpecifiedRows; ++row) {
            if (en.at(row).isEmpty() && !reserved.contains(row)) {
                (ru.at(row).isEmpty() ? emptyHints : filledHints)++;
            }
        }
        QVERIFY2(filledHints > emptyHints * 4, "most Russian hint rows should have a text");
    }

    void verbatimRows_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("text");
        auto add = [](const char *code, int row, const QString &text) {
            QTest::addRow("%s %d", code, row) << QString::fromLatin1(code) << row << text;
        };
        // English rows where a character is easy to lose.
        add("en", 59, QStringLiteral("ON\\OFF by click (like JZX90)"));
        add("en", 38, QStringLiteral("\"3\" HIGH lvl signal"));
        add("en", 193, QStringLiteral("Transmission delay №1:"));
        add("en", 223,
            QStringLiteral(
                "Config file uploaded successfully!\\r\\nThe control unit is rebooted!"));
        add("en", 257, QStringLiteral("t° sensor calibration"));
        add("en", 262, QStringLiteral("° celsius"));
        add("en", 265, QStringLiteral("Use SL\u0421 like overheat warning lamp")); // Cyrillic Es
        add("en", 348,
            QStringLiteral(
                "remove the upgrade ban jumper, \u0430ccess instructions by reference:"));
        add("en", 354,
            QStringLiteral("To continue the update, click the button \"Start firmware update\"."));
        add("en", 462,
            QStringLiteral(
                "After loading the config, the control unit will reboot.\\r\\nDo not fill "
                "the config in motion.\\r\\nStop and put the automatic transmission into "
                "parking mode.\\r\\nAre you stopped and ready to load the config?"));
        add("en", 488, QStringLiteral("Cycles at a frequency 1&&2"));
        add("en", 492, QStringLiteral("Delay of supply of pressure for R:  0.3s*"));
        add("en", 494, QStringLiteral("No answer from KESTO, the transfer was stopped."));
        add("en", 495, QStringLiteral("The transfer was stopped: "));
        add("en", 496,
            QStringLiteral("The programmer (avrdude) was not found. Install it and try again."));
        add("en", 497, QStringLiteral("Choose the firmware file (Intel HEX)"));
        // Russian texts that the program must show exactly.
        add("ru", 11, QStringLiteral("Количество передач трансмиссии"));
        add("ru", 110, QStringLiteral("Настройки"));
        add("ru", 104, QStringLiteral("Настройки \"газ в пол\" (F3)"));
        add("ru", 112, QStringLiteral("Калибровка ДПДЗ"));
        add("ru", 113, QStringLiteral("Лог переключений (F10)"));
        add("ru", 130, QStringLiteral("t жидкости:"));
        add("ru", 147, QStringLiteral("Соединиться"));
        add("ru", 149, QStringLiteral("Отключиться"));
        add("ru", 151, QStringLiteral("Подключен"));
        add("ru", 152, QStringLiteral("Отключен"));
        add("ru", 153, QStringLiteral("с\\н"));
        add("ru", 167,
            QStringLiteral("Поставьте галочку \"авт. калибровки\" и в течении 5 секунд "
                           "полностью выжмите и отпустите до конца педаль газа."));
        add("ru", 213, QStringLiteral("Подключены к порту "));
        add("ru", 214, QStringLiteral("Ожидание ответа от KESTO..."));
        add("ru", 215, QStringLiteral("Обычно около 5 секунд."));
        add("ru", 216, QStringLiteral("Ошибка соединения."));
        add("ru", 217, QStringLiteral("Версия прошивки: "));
        add("ru", 218, QStringLiteral("Серийный номер: "));
        add("ru", 219, QStringLiteral("Нет соединения с блоком KESTO."));
        add("ru", 220, QStringLiteral("Выбран неправильный COM порт или плохой кабель."));
        add("ru", 221, QStringLiteral("Соединение с KESTO потеряно."));
        add("ru", 222, QStringLiteral("Неправильный конфиг файл KESTO."));
        add("ru", 223,
            QStringLiteral("Конфиг файл успешно загружен!\\r\\nБлок управления перезагружен!"));
        add("ru", 242, QStringLiteral("Версия прошивки не совпадает."));
        add("ru", 243,
            QStringLiteral("Для использования текущего writer'а, вам необходимо обновить "
                           "прошивку до версии: "));
        add("ru", 244, QStringLiteral("Хотите обновить прошивку?"));
        add("ru", 250, QStringLiteral("Статус обновления:"));
        add("ru", 251, QStringLiteral("Прошивка обновлена, текущая версия прошивки: "));
        add("ru", 254, QStringLiteral("У вас более свежая прошивка, скачайте новый KESTO Writer."));
        add("ru", 255, QStringLiteral("Версия прошивки блока управления: "));
        add("ru", 257, QStringLiteral("Калибровка датчика t°"));
        add("ru", 271, QStringLiteral("Загрузить текущую прошивку"));
        add("ru", 272, QStringLiteral("Сохранить лог"));
        add("ru", 273, QStringLiteral("Очистить"));
        add("ru", 274, QStringLiteral("Сохранить в файл:"));
        add("ru", 284, QStringLiteral("Блокировка ГТ на последней передаче [SLU]"));
        add("ru", 292, QStringLiteral("Начать запись лога в файл (F9)"));
        add("ru", 293, QStringLiteral("Остановить запись лога в файл (F9)"));
        add("ru", 294, QStringLiteral("Сохранен в файл:"));
        add("ru", 295, QStringLiteral("Общая длинна: "));
        add("ru", 296, QStringLiteral("сек."));
        add("ru", 337, QStringLiteral("Проверить версию загрузчика"));
        add("ru", 338,
            QStringLiteral("Перед началом обновления требуется определить текущую версию "
                           "загрузчика блока."));
        add("ru", 339, QStringLiteral("Начать обновление блока"));
        add("ru", 340, QStringLiteral("Обновить прошивку в блоке до версии ПО."));
        add("ru", 341,
            QStringLiteral("К сожалению для обновления прошивки необходимо чтобы порт "
                           "устройства был меньше чем COM10."));
        add("ru", 342,
            QStringLiteral("Инструкцию по понижению номера порта вы можете прочитать на сайте: "));
        add("ru", 343, QStringLiteral("Проверка версии загрузчика"));
        add("ru", 344, QStringLiteral("Обновление прошивки"));
        add("ru", 350, QStringLiteral("Ошибка при попытке определить текущий загрузчик."));
        add("ru", 351,
            QStringLiteral(
                "Проверьте что устройство подключено и указан верный порт для подключения."));
        add("ru", 352, QStringLiteral("Успешное соединение, найден загрузчик нового типа."));
        add("ru", 353, QStringLiteral("Успешное соединение, найден загрузчик старого типа."));
        add("ru", 354,
            QStringLiteral(
                "Для продолжения обновления, нажмите кнопку \"Начать обновление блока\""));
        add("ru", 355, QStringLiteral("Ошибка при обновлении прошивки."));
        add("ru", 431,
            QStringLiteral("Вы хотите сбросить настройки давлений и времени на стандартные?"));
        add("ru", 432,
            QStringLiteral("Вы хотите сбросить температурные коррекции на стандартные?"));
        add("ru", 462,
            QStringLiteral(
                "После загрузки конфига блок управления будет перезагружен.\\r\\nНе "
                "заливайте конфиг в движении.\\r\\nОстановитесь и переведите акпп в режим "
                "паркинга.\\r\\nВы остановились и готовы загрузить конфиг?"));
        add("ru", 467, QStringLiteral("Хотите сменить настройки делителя?"));
        add("ru", 494, QStringLiteral("Нет ответа от KESTO, передача остановлена."));
        add("ru", 495, QStringLiteral("Передача остановлена: "));
        add("ru", 496,
            QStringLiteral(
                "Программатор (avrdude) не найден. Установите его и повторите попытку."));
        add("ru", 497, QStringLiteral("Выберите файл прошивки (Intel HEX)"));
    }
    // Checked on the list as loaded (before the line-break rows are prepared).
    void verbatimRows()
    {
        QFETCH(QString, code);
        QFETCH(int, row);
        QFETCH(QString, text);
        QCOMPARE(CaptionList::load(code).value(row), text);
    }

    void lineBreakRows_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("breaks");
        QTest::newRow("en 223") << "en" << 223 << 1;
        QTest::newRow("en 462") << "en" << 462 << 3;
        QTest::newRow("ru 223") << "ru" << 223 << 1;
        QTest::newRow("ru 462") << "ru" << 462 << 3;
    }
    // Rows 223 and 462 reach their users with line feed + carriage return for each "\r\n".
    void lineBreakRows()
    {
        QFETCH(QString, code);
        QFETCH(int, row);
        QFETCH(int, breaks);
        const QString raw = CaptionList::load(code).at(row);
        CaptionList::current().setRows(code, CaptionList::load(code));
        const QString text = caption(row);
        QVERIFY(!text.contains(QLatin1Char('\\')));
        QCOMPARE(int(text.count(QStringLiteral("\n\r"))), breaks);
        QCOMPARE(int(text.count(QLatin1Char('\n'))), breaks);
        QCOMPARE(int(text.count(QLatin1Char('\r'))), breaks);
        QString expected = raw;
        expected.replace(QStringLiteral("\\r\\n"), QStringLiteral("\n\r"));
        QCOMPARE(text, expected);
    }

    // Any letter case of the sequence is a break; other rows keep their backslashes.
    void lineBreakSequenceCase()
    {
        QStringList rows(500);
        rows[59] = QStringLiteral("ON\\OFF \\r\\n stays");
        rows[223] = QStringLiteral("a\\R\\nb\\r\\Nc\\R\\Nd\\r\\ne");
        rows[462] = QStringLiteral("one\\r\\n\\r\\ntwo\\");
        CaptionList list;
        list.setRows(QStringLiteral("xx"), rows);
        QCOMPARE(list.code(), QStringLiteral("xx"));
        QCOMPARE(list.row(223), QStringLiteral("a\n\rb\n\rc\n\rd\n\re"));
        QCOMPARE(list.row(462), QStringLiteral("one\n\r\n\rtwo\\"));
        QCOMPARE(list.row(59), rows.at(59));
        // A short list lacks the rows: nothing to replace, and they read as empty.
        CaptionList shortList;
        shortList.setRows(QStringLiteral("xx"), {QStringLiteral("only")});
        QCOMPARE(shortList.row(223), QString());
        QCOMPARE(shortList.row(-1), QString());
        QCOMPARE(shortList.row(0), QStringLiteral("only"));
    }

    void unknownCodeKeepsRows_data()
    {
        QTest::addColumn<QString>("code");
        QTest::newRow("de") << "de";
        QTest::newRow("empty") << "";
    }
    void unknownCodeKeepsRows()
    {
        QFETCH(QString, code);
        CaptionList::current().setRows(QStringLiteral("ru"), CaptionList::load("ru"));
        bool thrown = false;
        try {
            CaptionList::load(code);
        } catch (const Error &e) {
            thrown = true;
            QVERIFY(!e.text().isEmpty());
        }
        QVERIFY(thrown);
        QCOMPARE(CaptionList::current().code(), QStringLiteral("ru"));
        QCOMPARE(caption(147), QStringLiteral("Соединиться"));
    }

    // Every place takes a row that both lists have and that is not reserved.
    void placesUseLiveRows()
    {
        const QStringList en = CaptionList::load(QStringLiteral("en"));
        const QList<int> reserved = reservedRows();
        QSet<QString> seen;
        for (const CaptionPlace &p : captionPlaces()) {
            const QString where = QStringLiteral("%1 %2.%3 #%4/%5")
                                      .arg(p.row)
                                      .arg(QLatin1String(p.window), QLatin1String(p.control))
                                      .arg(int(p.property))
                                      .arg(p.index);
            QVERIFY2(p.row >= 0 && p.row < en.size(), qPrintable(where));
            QVERIFY2(!reserved.contains(p.row), qPrintable(where));
            QVERIFY2(QByteArray(p.window).startsWith("TForm"), qPrintable(where));
            // One control property fed by two rows would depend on table order.
            const QString key = where.section(QLatin1Char(' '), 1);
            QVERIFY2(!seen.contains(key), qPrintable(where));
            seen.insert(key);
        }
    }
};

KESTO_TEST_MAIN(TestCaptionList)
#include "tst_caption_list.moc"
