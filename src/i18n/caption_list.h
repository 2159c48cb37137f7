#pragma once

#include <QString>
#include <QStringList>

namespace kesto {

// A positional caption list: row n is the text of every place that row feeds.
class CaptionList
{
public:
    // The rows as last applied; English until a language is applied.
    static CaptionList &current();

    // Loads the list of a language code ("en", "ru") from the program's resources; throws
    // kesto::Error for a code without a list.
    static QStringList load(const QString &code);

    void setRows(const QString &code, const QStringList &rows);
    QString code() const { return m_code; }
    // A row the list lacks reads as "".
    QString row(int n) const { return n >= 0 && n < m_rows.size() ? m_rows.at(n) : QString(); }
    int rowCount() const { return int(m_rows.size()); }

private:
    QString m_code;
    QStringList m_rows;
};

// Row n of the current list.
inline QString caption(int row)
{
    return CaptionList::current().row(row);
}

} // namespace kesto
