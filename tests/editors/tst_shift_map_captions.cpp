#include "editors/editor_chart_widget.h"
#include "editors/shift_map_description.h"
#include "editors/table_editor_window.h"
#include "i18n/apply_language_ui.h"
#include "i18n/caption_list.h"
#include "i18n/caption_places.h"

#include "test_host.h"
#include "test_main.h"

#include <QCheckBox>
#include <array>
#include <memory>

using namespace kesto;

namespace {

bool isShiftMap(const QString &window)
{
    for (int p = 1; p <= kShiftMapCount; ++p) {
        if (shiftMapDescription(p).objectName == window) {
            return true;
        }
    }
    return false;
}

} // namespace

class ShiftMapCaptionsTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_host = std::make_unique<test::TestHost>();
        for (int p = 1; p <= kShiftMapCount; ++p) {
            m_windows[p - 1] = std::make_unique<TableEditor>(m_host->ctx, shiftMapDescription(p));
        }
    }
    void cleanup()
    {
        for (auto &w : m_windows) {
            w.reset();
        }
        m_host.reset();
    }
    void everyPlaceReachesAProperty();
    void englishCaptions();

private:
    std::unique_ptr<test::TestHost> m_host;
    std::array<std::unique_ptr<TableEditor>, kShiftMapCount> m_windows;
};

void ShiftMapCaptionsTest::everyPlaceReachesAProperty()
{
    // Each row place of the five editors names a control they have and a property it declares,
    // and the language switch writes the row there.
    ApplyLanguage(QStringLiteral("en"), m_host->facts);
    int places = 0;
    for (const CaptionPlace &place : captionPlaces()) {
        const QString window = QLatin1String(place.window);
        if (!isShiftMap(window)) {
            continue;
        }
        ++places;
        QWidget *w = m_host->ctx.window(window);
        QVERIFY2(w, place.window);
        QObject *target = *place.control ? w->findChild<QObject *>(place.control) : w;
        QVERIFY2(target, qPrintable(window + '.' + place.control));
        const char *name = placePropertyName(place.property);
        QVERIFY2(target->metaObject()->indexOfProperty(name) >= 0,
                 qPrintable(window + '.' + place.control + '.' + name));
        QCOMPARE(target->property(name).toString(), caption(place.row));
    }
    QVERIFY(places >= 5 * 16);
}

void ShiftMapCaptionsTest::englishCaptions()
{
    ApplyLanguage(QStringLiteral("en"), m_host->facts);
    if (CaptionList::current().rowCount() <= 253) {
        QSKIP("the English caption list is not built into this program yet");
    }
    QCOMPARE(m_windows[0]->windowTitle(), QStringLiteral("1-2 upshift, 2-1 downshift"));
    QCOMPARE(m_windows[4]->windowTitle(), QStringLiteral("5-6 upshift, 6-5 downshift"));
    QCOMPARE(m_windows[1]->findChild<QCheckBox *>("CheckBox1")->text(),
             QStringLiteral("Show next gear shifting"));
    QCOMPARE(m_windows[2]->chart()->horizontalAxisTitle(), QStringLiteral("TPS"));
    QCOMPARE(m_windows[2]->chart()->verticalAxisTitle(), QStringLiteral("Speed"));
    QCOMPARE(m_windows[3]->findChild<QWidget *>("SpeedButton1")->toolTip(),
             QStringLiteral("Import this page from file"));
}

KESTO_TEST_MAIN(ShiftMapCaptionsTest)
#include "tst_shift_map_captions.moc"
