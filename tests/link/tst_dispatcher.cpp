#include "test_main.h"

#include "link/error.h"
#include "link/receive_buffer.h"

using namespace kesto;

// Records every frame handed to the handlers, as "type:field|field".
struct Recorder
{
    Dispatcher dispatcher;
    QStringList handled;
    QStringList errors;
    int stamps = 0;

    Recorder()
    {
        for (const char *type : {"z4", "EA", "EG", "z1"}) {
            const bool stamps = QByteArray(type) == "z4" || QByteArray(type) == "z1";
            dispatcher.setHandler(QLatin1String(type), [this](const AnswerFrame &f) {
                handled << f.type + QLatin1Char(':') + f.fields.join(QLatin1Char('|'));
                if (f.type == QLatin1String("z1")) {
                    f.intField(0); // fails for a non-number, like a real handler
                }
            }, stamps);
        }
        dispatcher.setErrorSink([this](const QString &e) { errors << e; });
        dispatcher.setStamp([this] { ++stamps; });
    }
};

class TestDispatcher : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void cutsFrames_data();
    void cutsFrames();
    void throwingHandlerDoesNotBlockNextFrame();
    void stampsOnlyStampingTypes();
    void nestedDispatchSeesConsistentBuffer();
    void unboundedNoiseIsCapped();
    void frameLongerThanCapIsDropped();
};

void TestDispatcher::cutsFrames_data()
{
    QTest::addColumn<QList<QByteArray>>("chunks");
    QTest::addColumn<QStringList>("handled");
    QTest::addColumn<QByteArray>("left");

    QTest::newRow("split across two calls")
        << QList<QByteArray>{"z41500,60,", "12~"} << QStringList{"z4:1500|60|12"} << QByteArray();
    QTest::newRow("two frames and half a third")
        << QList<QByteArray>{"z41,2~EA3,4~z45,"} << QStringList{"z4:1|2", "EA:3|4"}
        << QByteArray("z45,");
    QTest::newRow("tilde at the front is a frame of its own")
        << QList<QByteArray>{"~z47,8~"} << QStringList{"z4:7|8"} << QByteArray();
    QTest::newRow("noise spoils the next frame's type")
        << QList<QByteArray>{"xxz41,2~z43~"} << QStringList{"z4:3"} << QByteArray();
    QTest::newRow("unknown type dropped")
        << QList<QByteArray>{"Q91~EA1~"} << QStringList{"EA:1"} << QByteArray();
    QTest::newRow("one byte at a time")
        << QList<QByteArray>{"E", "G", "0", ",", "5", "~"} << QStringList{"EG:0|5"}
        << QByteArray();
}

void TestDispatcher::cutsFrames()
{
    QFETCH(QList<QByteArray>, chunks);
    QFETCH(QStringList, handled);
    QFETCH(QByteArray, left);
    Recorder r;
    for (const QByteArray &c : chunks) {
        r.dispatcher.receive(c);
    }
    QCOMPARE(r.handled, handled);
    QCOMPARE(r.dispatcher.buffer().pending(), left);
}

void TestDispatcher::throwingHandlerDoesNotBlockNextFrame()
{
    // With polling stopped no further bytes come, so the good frame must be handled now.
    Recorder r;
    r.dispatcher.receive("z1abc~EG10,1,2~");
    QCOMPARE(r.handled, (QStringList{"z1:abc", "EG:10|1|2"}));
    QCOMPARE(r.errors, QStringList{"'abc' is not a valid integer value"});
}

void TestDispatcher::stampsOnlyStampingTypes()
{
    Recorder r;
    r.dispatcher.receive("z11~EA1~z42~EG1~zz~");
    QCOMPARE(r.stamps, 2);
}

void TestDispatcher::nestedDispatchSeesConsistentBuffer()
{
    // A handler that opens a modal box lets bytes arrive and be dispatched inside it.
    Dispatcher d;
    QStringList order;
    bool nested = false;
    d.setHandler(QStringLiteral("EA"), [&](const AnswerFrame &f) {
        order << QStringLiteral("EA") + f.payload;
        if (!nested) {
            nested = true;
            d.receive("EB2~");
        }
    });
    d.setHandler(QStringLiteral("EB"), [&](const AnswerFrame &f) {
        order << QStringLiteral("EB") + f.payload;
    });
    d.receive("EA1~EB1~");
    QCOMPARE(order, (QStringList{"EA1", "EB1", "EB2"}));
    QVERIFY(d.buffer().pending().isEmpty());
}

void TestDispatcher::unboundedNoiseIsCapped()
{
    Recorder r;
    const QByteArray noise(4096, 'x');
    for (int i = 0; i < 100; ++i) {
        r.dispatcher.receive(noise);
        QVERIFY(r.dispatcher.buffer().pending().size() <= ReceiveBuffer::kCapacity);
    }
    // The tail of the over-long noise ends at the next "~" and is not taken for a frame;
    // the frame after it is handled normally.
    r.dispatcher.receive("~z45~");
    QCOMPARE(r.handled, QStringList{"z4:5"});
}

void TestDispatcher::frameLongerThanCapIsDropped()
{
    Recorder r;
    r.dispatcher.receive("z4" + QByteArray(ReceiveBuffer::kCapacity + 10, '1'));
    r.dispatcher.receive("2~EA7~");
    QCOMPARE(r.handled, QStringList{"EA:7"});
}

KESTO_TEST_MAIN(TestDispatcher)
#include "tst_dispatcher.moc"
