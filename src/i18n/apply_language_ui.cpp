#include "i18n/apply_language_ui.h"

#include "i18n/caption_list.h"
#include "i18n/caption_places.h"
#include "link/connection_facts.h"

#include <QApplication>
#include <QComboBox>
#include <QMenu>
#include <QSettings>
#include <QWidget>
#include <qcustomplot.h>

namespace kesto {

namespace {

QSettings settings()
{
    // Organisation only: the value lives directly under "KESTO" (Software\KESTO on Windows).
    return QSettings(QStringLiteral("KESTO"));
}

const char *propertyName(PlaceProperty p)
{
    switch (p) {
    case PlaceProperty::Text:
        return "text";
    case PlaceProperty::WindowTitle:
        return "windowTitle";
    case PlaceProperty::ToolTip:
        return "toolTip";
    case PlaceProperty::Title:
        return "title";
    case PlaceProperty::Item:
    case PlaceProperty::Axis:
        break;
    case PlaceProperty::HorizontalAxisTitle:
        return "horizontalAxisTitle";
    case PlaceProperty::VerticalAxisTitle:
        return "verticalAxisTitle";
    }
    return "text";
}

QWidget *topLevel(const QString &objectName)
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->objectName() == objectName) {
            return w;
        }
    }
    return nullptr;
}

// A control of a window; "" names the window itself. Null when either does not exist.
template <typename T = QObject> T *control(const char *window, const char *name)
{
    QWidget *w = topLevel(QLatin1String(window));
    if (!w) {
        return nullptr;
    }
    if (!*name) {
        return qobject_cast<T *>(w);
    }
    return w->findChild<T *>(QLatin1String(name));
}

void setProperty(const char *window, const char *name, const char *property, const QString &text)
{
    if (QObject *target = control(window, name)) {
        target->setProperty(property, text);
    }
}

void setAxisTitles(QCustomPlot *plot, int mask, const QString &text)
{
    for (QCPAxis *axis : plot->axisRect()->axes(QCPAxis::AxisTypes(mask))) {
        axis->setLabel(text);
    }
    plot->replot(QCustomPlot::rpQueuedReplot);
}

} // namespace

void applyCaptionPlace(const CaptionPlace &place, const QString &text)
{
    QObject *target = control(place.window, place.control);
    if (!target) {
        return;
    }
    switch (place.property) {
    case PlaceProperty::Item:
        if (auto *list = qobject_cast<QComboBox *>(target);
            list && place.index >= 0 && place.index < list->count()) {
            list->setItemText(place.index, text);
        }
        return;
    case PlaceProperty::Axis:
        if (auto *plot = qobject_cast<QCustomPlot *>(target)) {
            setAxisTitles(plot, place.index, text);
        }
        return;
    default:
        target->setProperty(propertyName(place.property), text);
        return;
    }
}

namespace {

// The TPS reaction list is refilled; its selection stays empty until the options are next read.
void refillReactionList()
{
    auto *list = control<QComboBox>("TForm4", "ComboBox4");
    if (!list) {
        return;
    }
    list->clear();
    for (int row = 34; row <= 37; ++row) {
        list->addItem(caption(row));
    }
    list->setCurrentIndex(-1);
}

// The gauge captions are the live data captions without their colon; the oil temperature one
// ends with a degree sign.
void applyGaugeCaptions()
{
    static const char *const kCaptions[] = {"Label1", "Label2", "Label3", "Label4"};
    static const int kRows[] = {124, 126, 128, 130};
    for (int i = 0; i < 4; ++i) {
        QString text = caption(kRows[i]);
        text.chop(1);
        if (i == 3) {
            text += QChar(0x00B0);
        }
        setProperty("TForm20", kCaptions[i], "text", text);
    }
}

void applySpecialCases(const ConnectionFacts &facts)
{
    refillReactionList();
    applyGaugeCaptions();

    // The connect button and status panel 0 tell the connection state.
    const bool connected = facts.handshakeDone;
    setProperty("TForm1", "Button1", "text", caption(connected ? 149 : 147));
    setProperty("TForm1", "Button1", "toolTip", caption(connected ? 150 : 148));
    setProperty("TForm1", "StatusPanel0", "text", caption(connected ? 151 : 152));

    setProperty("TForm1", "Y1", "text", caption(271) + QLatin1Char(' ') + programVersion());

    // The logging entry and its tool button read the start caption even while a log runs; the
    // log's own start/stop rewrites them.
    setProperty("TForm1", "logging1", "text", caption(292));
    setProperty("TForm1", "sSpeedButton6", "toolTip", caption(292));
    setProperty("TForm1", "sSpeedButton8", "toolTip", caption(149) + QStringLiteral(" (F12)"));

    // Pressure map charts: left and right axis read "PRESSURE %".
    for (const char *window : {"TForm9", "TForm14"}) {
        if (auto *plot = control<QCustomPlot>(window, "DBChart1")) {
            setAxisTitles(plot, kAxisLeft | kAxisRight, caption(210) + QStringLiteral(" %"));
        }
    }
}

} // namespace

QString storedLanguage()
{
    QSettings s = settings();
    QString code = s.value(QStringLiteral("lang")).toString();
    if (code.isEmpty()) {
        s.setValue(QStringLiteral("lang"), QStringLiteral("en"));
        s.sync();
        code = QStringLiteral("en");
    }
    if (s.status() != QSettings::NoError) {
        return QStringLiteral("en");
    }
    return code;
}

void ApplyLanguage(const QString &code, const ConnectionFacts &facts)
{
    {
        // Stored first, so an unknown code is remembered even though it cannot be applied. A
        // store that fails still lets the captions change.
        QSettings s = settings();
        s.setValue(QStringLiteral("lang"), code);
        s.sync();
    }
    const QStringList rows = CaptionList::load(code);
    CaptionList::current().setRows(code, rows);
    for (const CaptionPlace &place : captionPlaces()) {
        applyCaptionPlace(place, caption(place.row));
    }
    applySpecialCases(facts);
}

} // namespace kesto
