#pragma once

#include <QString>

namespace kesto {

class ConnectionFacts;
struct CaptionPlace;

// Stores the code as the program's language (QSettings "KESTO", value "lang"), loads its caption
// list and writes every row into its places in all windows. An unknown code throws kesto::Error
// after the code was stored; the windows then keep their texts.
void ApplyLanguage(const QString &code, const ConnectionFacts &facts);

// The stored language code; "en" is written when none is stored. Never throws: settings that
// cannot be written leave the program in English.
QString storedLanguage();

// Writes one text into one place of the table; a window or control that does not exist (yet) is
// skipped. List items keep the list's selection; axis titles are written to every masked axis.
void applyCaptionPlace(const CaptionPlace &place, const QString &text);

} // namespace kesto
