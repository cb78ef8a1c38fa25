#include "store/textnumbers.h"

#include <cmath>

namespace zs {

namespace {

// Parses a number at the start of `s` from position `i`; returns the end
// position or -1 when no digits were found.
int scanNumber(const QString& s, int i) {
    const int n = s.size();
    if (i < n && (s[i] == u'+' || s[i] == u'-'))
        ++i;
    int digits = 0;
    while (i < n && s[i].isDigit() && s[i].unicode() < 128) {
        ++i;
        ++digits;
    }
    if (i < n && s[i] == u'.') {
        ++i;
        while (i < n && s[i].isDigit() && s[i].unicode() < 128) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return -1;
    if (i < n && (s[i] == u'e' || s[i] == u'E')) {
        int j = i + 1;
        if (j < n && (s[j] == u'+' || s[j] == u'-'))
            ++j;
        int expDigits = 0;
        while (j < n && s[j].isDigit() && s[j].unicode() < 128) {
            ++j;
            ++expDigits;
        }
        if (expDigits > 0)
            i = j;
    }
    return i;
}

}  // namespace

bool isNumericText(const QString& text) {
    const QString s = text.trimmed();
    if (s.isEmpty())
        return false;
    const int end = scanNumber(s, 0);
    return end == s.size();
}

double numericValue(const QString& text) {
    if (!isNumericText(text))
        return 0;
    return text.trimmed().toDouble();
}

double leadingNumber(const QString& text) {
    int start = 0;
    while (start < text.size() && text[start].isSpace())
        ++start;
    const int end = scanNumber(text, start);
    if (end < 0)
        return 0;
    bool ok = false;
    const double v = text.mid(start, end - start).toDouble(&ok);
    return ok ? v : 0;
}

long long roundHalfEven(double value) {
    return static_cast<long long>(std::nearbyint(value));  // default rounding mode: to nearest, ties to even
}

QString numberText(double value) {
    if (value == std::floor(value) && std::fabs(value) < 1e15)
        return QString::number(static_cast<long long>(value));
    return QString::number(value, 'g', 15);
}

QString zeroPadded(long long value, int digits) {
    const bool negative = value < 0;
    QString s = QString::number(negative ? -value : value).rightJustified(digits, u'0');
    return negative ? u'-' + s : s;
}

QString countText(long long value) {
    return value >= 0 ? u' ' + QString::number(value) : QString::number(value);
}

QString percentText(double ratio) {
    return zeroPadded(roundHalfEven(ratio * 100.0), 2) + u'%';
}

}  // namespace zs
