#include "i18n/caption_list.h"

#include "link/error.h"

#include <QFile>

void kestoInitResources()
{
    Q_INIT_RESOURCE(kesto);
}

namespace kesto {

CaptionList &CaptionList::current()
{
    static CaptionList list = [] {
        kestoInitResources();
        CaptionList l;
        l.setRows(QStringLiteral("en"), load(QStringLiteral("en")));
        return l;
    }();
    return list;
}

QStringList CaptionList::load(const QString &code)
{
    kestoInitResources();
    QFile file(QStringLiteral(":/i18n/LNG%1.txt").arg(code.toUpper()));
    if (code.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        throw Error(QStringLiteral("Resource LNG%1 not found").arg(code));
    }
    // Rows end with CR LF; a final break starts no row.
    QString text = QString::fromUtf8(file.readAll());
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QStringList rows = text.split(QLatin1Char('\n'));
    if (!rows.isEmpty() && rows.last().isEmpty()) {
        rows.removeLast();
    }
    return rows;
}

void CaptionList::setRows(const QString &code, const QStringList &rows)
{
    m_code = code;
    m_rows = rows;
    for (int row : {kUploadDoneRow, kUploadConfirmRow}) {
        if (row < m_rows.size()) {
            m_rows[row].replace(QLatin1String("\\r\\n"), QLatin1String("\n\r"),
                                Qt::CaseInsensitive);
        }
    }
}

} // namespace kesto
