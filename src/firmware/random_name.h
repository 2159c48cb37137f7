#pragma once

#include <QString>

namespace kesto {

// The characters a run's names are drawn from.
inline constexpr char kRandomNameAlphabet[] =
    "ABCDEFGHIJKLMabcdefghijklm0123456789NOPQRSTUVWXYZnopqrstuvwxyz";

// A text of `length` distinct characters of kRandomNameAlphabet, drawn at random. A length
// greater than the alphabet's is reduced to the alphabet's length minus one; a length below 1
// gives "". The generator is seeded once per program run.
QString RandomName(int length);

} // namespace kesto
