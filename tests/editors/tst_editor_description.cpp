#include "editors/shift_map_description.h"
#include "link/commands.h"
#include "link/error.h"

#include "test_main.h"

using namespace kesto;

class EditorDescriptionTest : public QObject
{
    Q_OBJECT

private slots:
    void shiftMapsAreSound_data();
    void shiftMapsAreSound();
    void validateFindsFaults_data();
    void validateFindsFaults();
    void unknownPairThrows();
};

void EditorDescriptionTest::shiftMapsAreSound_data()
{
    QTest::addColumn<int>("pair");
    for (int p = 1; p <= kShiftMapCount; ++p) {
        QTest::newRow(qPrintable(QStringLiteral("pair %1").arg(p))) << p;
    }
}

void EditorDescriptionTest::shiftMapsAreSound()
{
    // Every cell belongs to the editor's answer, the write block lists the cells in address
    // order from its first address, and the chart draws existing cells.
    QFETCH(int, pair);
    const EditorDescription d = shiftMapDescription(pair);
    QCOMPARE(d.validate(), QStringList());
    QCOMPARE(d.cells.size(), 24);
    QCOMPARE(d.writes.size(), 1);
    QCOMPARE(d.writes.first().cells.size(), 24);
}

void EditorDescriptionTest::validateFindsFaults_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("problem");
    QTest::newRow("cell outside answer") << "address"
                                         << "Edit24 at 44 is not in the EA answer";
    QTest::newRow("two cells one address") << "twice"
                                           << "address 21 is held by two cells";
    QTest::newRow("write out of order") << "order"
                                        << "write block 20 puts Edit2 (address 21) at 20";
    QTest::newRow("unknown write cell") << "unknown"
                                        << "write block 20 names unknown Edit99";
    QTest::newRow("series labels") << "labels"
                                   << "Series1 has 7 labels for 8 values";
}

void EditorDescriptionTest::validateFindsFaults()
{
    QFETCH(QString, fault);
    QFETCH(QString, problem);
    EditorDescription d = shiftMapDescription(1);
    if (fault == "address") {
        d.cells[23].address = 44;
    } else if (fault == "twice") {
        d.cells[0].address = 21;
    } else if (fault == "order") {
        d.writes[0].cells.swapItemsAt(0, 1);
    } else if (fault == "unknown") {
        d.writes[0].cells[3] = "Edit99";
    } else if (fault == "labels") {
        d.charts[0].series[0].labelCells.removeLast();
    }
    QVERIFY2(d.validate().contains(problem), qPrintable(d.validate().join('\n')));
}

void EditorDescriptionTest::unknownPairThrows()
{
    QVERIFY_THROWS_EXCEPTION(Error, shiftMapDescription(0));
    QVERIFY_THROWS_EXCEPTION(Error, shiftMapDescription(6));
}

KESTO_TEST_MAIN(EditorDescriptionTest)
#include "tst_editor_description.moc"
