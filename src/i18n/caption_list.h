#pragma once

#include <QString>
#include <QStringList>

// Rows appended after the last specified row (493) for this program's own messages. Both lists
// carry them at the same numbers; the English list holds an empty row 493 before them. New rows
// are only ever appended, so every earlier row keeps its number.
//   494  transfer stopped because the controller stopped answering (save/upload of the image)
//   495  transfer stopped by an error; the error text follows the row
//   496  the programmer (avrdude) cannot be found (firmware update)
//   497  title of the open dialog that picks a firmware file (Intel HEX)

namespace kesto {

// Rows that hold the four characters "\r\n" for each line break of a message; setRows turns
// them into line feed + carriage return.
inline constexpr int kUploadDoneRow = 223;
inline constexpr int kUploadConfirmRow = 462;

// A positional caption list: row n is the text of every place that row feeds.
class CaptionList
{
public:
    // The rows as last applied; English until a language is applied.
    static CaptionList &current();

    // Loads the list of a language code ("en", "ru") from the program's resources; throws
    // kesto::Error for a code without a list.
    static QStringList load(const QString &code);

    // Takes the rows of a language; rows kUploadDoneRow and kUploadConfirmRow are stored with
    // every "\r\n" (any case) turned into a line feed followed by a carriage return.
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
