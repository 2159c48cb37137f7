#include "test_main.h"

#include "i18n/caption_list.h"
#include "monitor/log_viewer_window.h"
#include "test_host.h"

#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

using namespace kesto;

namespace {
const QDateTime kNow(QDate(2026, 12, 10), QTime(14, 5, 9));

struct Viewer
{
    test::TestHost host;
    LogViewerWindow window{host.ctx};
    Viewer()
    {
        window.setNowSource([] { return kNow; });
        window.setStamp(LogStamp(QLocale(QStringLiteral("ru_RU"))));
    }
    QStringList lines() const { return window.text().split(QLatin1Char('\n')); }
};
} // namespace

class TestLogViewerWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanup();
    void shape();
    void openAndCloseAskTheControllerToStartAndStop();
    void closingWhileDisconnectedSendsNothing();
    void reportsInOneChunkGetTheirOwnReason();
    void reportsCollectWhileHidden();
    void shortReportKeepsItsLinesAndIsReported();
    void englishReportGivesOneLine();
    void saveWritesTheTextAndNotesTheName();
    void savingTwiceInOneSecondReplacesTheFile();
    void saveFailureIsReportedWithoutNote();
    void clearEmptiesTheText();

private:
    QTemporaryDir m_workDir;
    QString m_oldDir;
};

void TestLogViewerWindow::initTestCase()
{
    // The rows this window reads, as a language would have applied them.
    QStringList rows(300);
    rows[113] = QStringLiteral("Лог переключений (F10)");
    rows[272] = QStringLiteral("Сохранить лог");
    rows[273] = QStringLiteral("Очистить");
    rows[274] = QStringLiteral("Сохранить в файл:");
    CaptionList::current().setRows(QStringLiteral("ru"), rows);
    m_oldDir = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_workDir.path()));
}

void TestLogViewerWindow::cleanup()
{
    for (const QString &f : QDir(m_workDir.path()).entryList(QDir::Files)) {
        QFile::remove(QDir(m_workDir.path()).filePath(f));
    }
}

void TestLogViewerWindow::shape()
{
    Viewer v;
    QCOMPARE(v.window.objectName(), QStringLiteral("TForm15"));
    QCOMPARE(v.window.windowTitle(), QStringLiteral("Лог переключений (F10)"));
    QCOMPARE(v.window.size(), QSize(639, 376));
    auto *memo = v.window.findChild<QPlainTextEdit *>(QStringLiteral("Memo1"));
    QVERIFY(memo);
    QCOMPARE(memo->size(), QSize(625, 329));
    QCOMPARE(v.window.findChild<QPushButton *>(QStringLiteral("Button1"))->text(),
             QStringLiteral("Сохранить лог"));
    QCOMPARE(v.window.findChild<QPushButton *>(QStringLiteral("Button2"))->text(),
             QStringLiteral("Очистить"));
    QVERIFY(!v.window.isVisible());
    QCOMPARE(v.host.ctx.window(QStringLiteral("TForm15")), &v.window);
}

void TestLogViewerWindow::openAndCloseAskTheControllerToStartAndStop()
{
    Viewer v;
    v.window.open();
    QCOMPARE(v.host.takeSent(), QByteArray("n91~"));
    QVERIFY(v.window.isVisible());
    QCOMPARE(v.window.pos(), v.host.mainWindow.pos() + QPoint(20, 30));

    v.window.move(400, 400);
    v.window.close();
    QCOMPARE(v.host.takeSent(), QByteArray("n90~"));
    QVERIFY(!v.window.isVisible());

    v.window.open();
    QCOMPARE(v.host.takeSent(), QByteArray("n91~"));
    QCOMPARE(v.window.pos(), v.host.mainWindow.pos() + QPoint(20, 30));
}

void TestLogViewerWindow::closingWhileDisconnectedSendsNothing()
{
    Viewer v;
    v.window.open();
    v.host.takeSent();
    v.host.link.close();
    v.window.close();
    QVERIFY(!v.window.isVisible());
    QCOMPARE(v.host.takeSent(), QByteArray());
}

void TestLogViewerWindow::reportsInOneChunkGetTheirOwnReason()
{
    Viewer v;
    int stamps = 0;
    v.host.dispatcher.setStamp([&] { ++stamps; });
    v.host.receive("lg3,5,40,42,2100,18~lg2,12,0,30,1500,5~");
    QCOMPARE(stamps, 2);
    QCOMPARE(v.lines(),
             (QStringList{QStringLiteral("10.12.2026 14:05:09"), QStringLiteral("На передачу: 3"),
                          QStringLiteral("Повышение, скорость больше чем, spd>, параметр:40"),
                          QStringLiteral("скорость: 42, обороты: 2100, дроссель: 18"), QString(),
                          QStringLiteral("10.12.2026 14:05:09"), QStringLiteral("На передачу: 2"),
                          QStringLiteral(", параметр:0"),
                          QStringLiteral("скорость: 30, обороты: 1500, дроссель: 5"), QString()}));
    QVERIFY(v.host.errors.isEmpty());
}

void TestLogViewerWindow::reportsCollectWhileHidden()
{
    Viewer v;
    v.host.receive("lg1,2,0,0,800,0~");
    v.window.open();
    v.window.close();
    v.host.receive("lg2,10,0,12,1800,20~");
    QVERIFY(!v.window.isVisible());
    const QStringList lines = v.lines();
    QCOMPARE(lines.size(), 10);
    QCOMPARE(lines.at(2), QStringLiteral("Переход с R,N,0, параметр:0"));
    QCOMPARE(lines.at(7), QStringLiteral("Ручное переключение, параметр:0"));
}

void TestLogViewerWindow::shortReportKeepsItsLinesAndIsReported()
{
    Viewer v;
    v.host.receive("lg3,5~lg4,3,3000,80,3100,60~");
    QCOMPARE(v.host.errors, QStringList{QStringLiteral("List index out of bounds (2)")});
    const QStringList lines = v.lines();
    // Date and gear of the short report, then the whole next report.
    QCOMPARE(lines.size(), 7);
    QCOMPARE(lines.at(1), QStringLiteral("На передачу: 3"));
    QCOMPARE(lines.at(3), QStringLiteral("На передачу: 4"));
    QCOMPARE(lines.at(4), QStringLiteral("Переход вверх по оборотам, rpm>, параметр:3000"));
}

void TestLogViewerWindow::englishReportGivesOneLine()
{
    Viewer v;
    v.host.receive("logmsg,su,S>,2200,51,4,0,50~lock,1~");
    QCOMPARE(
        v.window.text(),
        QStringLiteral("14:05:09 Shifting UP to 4, reason: speed>, rmp: 2200[0], speed: 51[50]"));
    QVERIFY(v.host.errors.isEmpty());
}

void TestLogViewerWindow::saveWritesTheTextAndNotesTheName()
{
    Viewer v;
    v.host.receive("lg3,5,40,42,2100,18~");
    v.window.findChild<QPushButton *>(QStringLiteral("Button1"))->click();
    QVERIFY(v.host.errors.isEmpty());
    QFile saved(QDir(m_workDir.path()).filePath(QStringLiteral("10.12.2026_14.05.09.txt")));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(saved.readAll()),
             QStringLiteral("10.12.2026 14:05:09\r\nНа передачу: 3\r\n"
                            "Повышение, скорость больше чем, spd>, параметр:40\r\n"
                            "скорость: 42, обороты: 2100, дроссель: 18\r\n\r\n"));
    QCOMPARE(v.lines().last(), QStringLiteral("Сохранить в файл: 10.12.2026_14.05.09.txt"));
}

void TestLogViewerWindow::savingTwiceInOneSecondReplacesTheFile()
{
    Viewer v;
    v.host.receive("lg1,1,0,0,700,0~");
    QCOMPARE(v.window.saveLog(), QStringLiteral("10.12.2026_14.05.09.txt"));
    QCOMPARE(v.window.saveLog(), QStringLiteral("10.12.2026_14.05.09.txt"));
    QCOMPARE(QDir(m_workDir.path()).entryList(QDir::Files).size(), 1);
    QCOMPARE(v.lines().filter(QStringLiteral("Сохранить в файл:")).size(), 2);
    QFile saved(QDir(m_workDir.path()).filePath(QStringLiteral("10.12.2026_14.05.09.txt")));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    // The second file holds the first note.
    QVERIFY(QString::fromUtf8(saved.readAll())
                .endsWith(QStringLiteral("\r\n\r\nСохранить в файл: 10.12.2026_14.05.09.txt\r\n")));
}

void TestLogViewerWindow::saveFailureIsReportedWithoutNote()
{
    Viewer v;
    v.host.receive("lg1,1,0,0,700,0~");
    const QString before = v.window.text();
    // A folder where the file should go cannot be replaced by it.
    QVERIFY(QDir(m_workDir.path()).mkdir(QStringLiteral("10.12.2026_14.05.09.txt")));
    v.window.findChild<QPushButton *>(QStringLiteral("Button1"))->click();
    QDir(m_workDir.path()).rmdir(QStringLiteral("10.12.2026_14.05.09.txt"));
    QCOMPARE(v.host.errors.size(), 1);
    QCOMPARE(v.window.text(), before);
}

void TestLogViewerWindow::clearEmptiesTheText()
{
    Viewer v;
    v.host.receive("lg1,1,0,0,700,0~");
    v.window.findChild<QPushButton *>(QStringLiteral("Button2"))->click();
    QCOMPARE(v.window.text(), QString());
    v.host.receive("lg2,1,0,0,700,0~");
    QCOMPARE(v.lines().at(1), QStringLiteral("На передачу: 2"));
}

KESTO_TEST_MAIN(TestLogViewerWindow)
#include "tst_log_viewer_window.moc"
