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

// Every window of that name; tests may hold more than one main window at a time.
QList<QWidget *> windowsNamed(const QString &objectName)
{
    QList<QWidget *> found;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->objectName() == objectName) {
            found << w;
        }
    }
    return found;
}

// Secondary windows are children of the main window and reuse control names ("Label1",
// "sSpeedButton1"), so a window's controls are searched without entering other windows. Menus
// are windows too but belong to the window that holds them.
bool isOtherWindow(QObject *o)
{
    auto *w = qobject_cast<QWidget *>(o);
    return w && w->isWindow() && !qobject_cast<QMenu *>(w);
}

QObject *controlOf(QWidget *window, const QString &name)
{
    QObjectList queue = window->children();
    while (!queue.isEmpty()) {
        QObject *o = queue.takeFirst();
        if (isOtherWindow(o)) {
            continue;
        }
        if (o->objectName() == name) {
            return o;
        }
        queue += o->children();
    }
    return nullptr;
}

// The control of every window of that name; "" names the window itself. Windows or controls
// that do not exist (yet) give nothing.
template <typename T = QObject> QList<T *> controls(const char *window, const char *name)
{
    QList<T *> found;
    for (QWidget *w : windowsNamed(QLatin1String(window))) {
        QObject *o = *name ? controlOf(w, QLatin1String(name)) : w;
        if (T *c = qobject_cast<T *>(o)) {
            found << c;
        }
    }
    return found;
}

void setProperty(const char *window, const char *name, const char *property, const QString &text)
{
    for (QObject *target : controls(window, name)) {
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
    for (QObject *target : controls(place.window, place.control)) {
        switch (place.property) {
        case PlaceProperty::Item:
            if (auto *list = qobject_cast<QComboBox *>(target);
                list && place.index >= 0 && place.index < list->count()) {
                list->setItemText(place.index, text);
            }
            break;
        case PlaceProperty::Axis:
            if (auto *plot = qobject_cast<QCustomPlot *>(target)) {
                setAxisTitles(plot, place.index, text);
            }
            break;
        default:
            target->setProperty(placePropertyName(place.property), text);
            break;
        }
    }
}

namespace {

// The TPS reaction list is refilled; its selection stays empty until the options are next read.
void refillReactionList()
{
    for (QComboBox *list : controls<QComboBox>("TForm4", "ComboBox4")) {
        list->clear();
        for (int row = 34; row <= 37; ++row) {
            list->addItem(caption(row));
        }
        list->setCurrentIndex(-1);
    }
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
        for (QCustomPlot *plot : controls<QCustomPlot>(window, "DBChart1")) {
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
