#include "firmware/random_name.h"

#include <QRandomGenerator>

namespace kesto {

namespace {

QRandomGenerator &generator()
{
    static QRandomGenerator gen(QRandomGenerator::system()->generate());
    return gen;
}

} // namespace

QString RandomName(int length)
{
    const QString alphabet = QString::fromLatin1(kRandomNameAlphabet);
    const int size = int(alphabet.size());
    if (length > size) {
        length = size - 1;
    }
    QString name;
    for (int i = 0; i < length; ++i) {
        QChar c;
        do {
            c = alphabet.at(generator().bounded(size));
        } while (name.contains(c));
        name.append(c);
    }
    return name;
}

} // namespace kesto
