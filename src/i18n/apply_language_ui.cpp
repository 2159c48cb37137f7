#include "i18n/apply_language_ui.h"

#include "i18n/caption_list.h"
#include "i18n/caption_places.h"
#include "link/connection_facts.h"

#include <QApplication>
#include <QSettings>
#include <QWidget>

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
    }
    return "text";
}

QWidget *topLevel(const char *objectName)
{
    const QString name = QLatin1String(objectName);
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->objectName() == name) {
            return w;
        }
    }
    return nullptr;
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
    Q_UNUSED(facts);
    {
        QSettings s = settings();
        s.setValue(QStringLiteral("lang"), code);
    }
    const QStringList rows = CaptionList::load(code);
    CaptionList::current().setRows(code, rows);
    for (const CaptionPlace &place : captionPlaces()) {
        QWidget *window = topLevel(place.window);
        if (!window) {
            continue;
        }
        QObject *target =
            *place.control ? window->findChild<QObject *>(QLatin1String(place.control)) : window;
        if (target) {
            target->setProperty(propertyName(place.property),
                                CaptionList::current().row(place.row));
        }
    }
}

} // namespace kesto
