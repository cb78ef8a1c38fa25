#pragma once

#include <QString>

namespace zs {

// Numeric text: apart from surrounding blanks, an optional sign, digits with at
// most one decimal point, and an optional exponent. Used for the QQ number, the
// "#-" prefix of catalogue names and the number boxes of the screens.
bool isNumericText(const QString& text);

// The value of a numeric text (0 when it is not numeric).
double numericValue(const QString& text);

// The number spelled by the leading numeric characters of a text: leading blanks
// are skipped, "12abc" gives 12, a text that does not start with a number gives 0.
double leadingNumber(const QString& text);

// Round to the nearest whole number, halves to the even number.
long long roundHalfEven(double value);

// Shortest decimal text of a number, without a leading blank (3, 2.5, -1).
QString numberText(double value);

// A whole number as text with at least `digits` digits ("00000" → 5, "00" → 2).
QString zeroPadded(long long value, int digits);

// A count as the completion messages write it: non-negative numbers get one
// leading blank (" 12"), negative ones their sign ("-3").
QString countText(long long value);

// Five-digit question number of a whole number (7 → "00007").
inline QString questionNumberText(long long value) {
    return zeroPadded(value, 5);
}

// Percentage text of a ratio with at least two digits: 0.09 → "09%", 1 → "100%".
QString percentText(double ratio);

}  // namespace zs
