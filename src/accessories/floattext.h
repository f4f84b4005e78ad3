#pragma once

#include "accessories/real48.h"

#include <QString>

// Number text with the decimal comma, as the calculator reads and shows it. The comma is used
// whatever the locale: the calculator's "," key types it, so reading it back must not depend
// on the user's settings.
namespace FloatText {

// Significant digits of the general format.
constexpr int GeneralDigits = 15;
// The longest text the calculator shows after "=" or an operator.
constexpr int MaxShortenedLength = 15;
// Decimal digits a 6-byte real holds (40 bits are 12.04 decimal digits): any digit after the
// twelfth comes from the binary storage, not from the numbers the user typed.
constexpr int StoredDigits = 12;

// Blanks around; an optional sign; digits; optionally a comma and digits; optionally E or e,
// an optional sign and digits; nothing else. Valid when something follows the sign (a lone
// comma reads as 0). Throws AppError "'<text>' n'est pas une valeur flottante correcte" for
// invalid text and "Débordement flottant" for a value beyond the extended range; a value too
// small for it reads as 0. The result is rounded to nearest in extended precision.
Extended toFloat(const QString &text);

// The general format: 15 significant digits, trailing zeros and a bare comma dropped, fixed
// notation for 10^-4 <= |value| < 10^15 and otherwise one digit, the fraction, E and the
// exponent ("1E-5", "1,5E20").
QString generalText(Extended value);

// The general text of a stored result without the storage noise, at most 15 characters long:
// rounded to the twelve significant digits the storage holds, never dropping an integer digit
// ("123456789000064" stays), and rounded further only when the text would be too long.
// "0,300000000000182" gives "0,3", "2,04999999999927" gives "2,05", "0,333333333333485" gives
// "0,333333333333". Text that is not a number is returned as it is.
QString shortenResult(const QString &generalText);

// What "=" and the operator keys show of a stored result: the shortest text of at most twelve
// significant digits, integer digits all kept, that reads back into exactly `stored`, so that
// 8 + 0,01 shows "8,01" and not the "8,00999999999" its twelve stored digits spell; when no
// such text exists, shortenResult() of its general text.
QString resultText(const Real48 &stored);

} // namespace FloatText
