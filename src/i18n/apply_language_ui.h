#pragma once

#include <QString>

namespace kesto {

class ConnectionFacts;

// Stores the code as the program's language (QSettings "KESTO", value "lang"), loads its caption
// list and writes every row into its places in all windows. An unknown code throws kesto::Error
// after the code was stored; the windows then keep their texts.
void ApplyLanguage(const QString &code, const ConnectionFacts &facts);

// The stored language code; "en" is written when none is stored. Never throws: settings that
// cannot be written leave the program in English.
QString storedLanguage();

} // namespace kesto
