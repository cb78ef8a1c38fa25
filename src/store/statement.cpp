#include "store/statement.h"

#include <QDate>
#include <QRegularExpression>

namespace zs {

QString sqlValue(const QString& value) {
    QString s = value;
    s.replace(u'\'', QStringLiteral("''"));
    return s;
}

QString dialectDate(const QDate& date) {
    return QStringLiteral("%1-%2-%3").arg(date.year()).arg(date.month()).arg(date.day());
}

QString dateLiteral(const QDate& date) {
    return u'#' + dialectDate(date) + u'#';
}

namespace {

QDate parseDialectDate(const QString& text) {
    static const QRegularExpression ymd(QStringLiteral("^\\s*(\\d{4})[-/](\\d{1,2})[-/](\\d{1,2})\\s*$"));
    static const QRegularExpression mdy(QStringLiteral("^\\s*(\\d{1,2})/(\\d{1,2})/(\\d{4})\\s*$"));
    if (auto m = ymd.match(text); m.hasMatch())
        return QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    if (auto m = mdy.match(text); m.hasMatch())
        return QDate(m.captured(3).toInt(), m.captured(1).toInt(), m.captured(2).toInt());
    return {};
}

// Index of the last character that is not a blank before position i (or -1).
int previousNonBlank(const QString& s, int i) {
    while (--i >= 0)
        if (!s[i].isSpace())
            return i;
    return -1;
}

int nextNonBlank(const QString& s, int i) {
    while (++i < s.size())
        if (!s[i].isSpace())
            return i;
    return -1;
}

}  // namespace

QString toSqlite(const QString& statement) {
    QString out;
    out.reserve(statement.size() + 16);
    const int n = statement.size();
    for (int i = 0; i < n; ++i) {
        const QChar c = statement[i];
        if (c == u'\'') {
            // Copy the literal, '' escapes included.
            int j = i + 1;
            while (j < n) {
                if (statement[j] == u'\'') {
                    if (j + 1 < n && statement[j + 1] == u'\'') {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            out += QStringView(statement).mid(i, qMin(j, n - 1) - i + 1);
            i = j;
            continue;
        }
        if (c == u'[') {
            const int close = statement.indexOf(u']', i + 1);
            if (close > i) {
                out += u'"' + statement.mid(i + 1, close - i - 1) + u'"';
                i = close;
                continue;
            }
        }
        if (c == u'#') {
            const int close = statement.indexOf(u'#', i + 1);
            if (close > i) {
                const QDate d = parseDialectDate(statement.mid(i + 1, close - i - 1));
                if (d.isValid()) {
                    out += u'\'' + d.toString(Qt::ISODate) + u'\'';
                    i = close;
                    continue;
                }
            }
        }
        if (c == u'+') {
            const int p = previousNonBlank(statement, i);
            const int q = nextNonBlank(statement, i);
            const bool textLeft = p >= 0 && (statement[p] == u']' || statement[p] == u'\'');
            const bool textRight = q >= 0 && (statement[q] == u'[' || statement[q] == u'\'');
            if (textLeft || textRight) {
                out += QStringLiteral("||");
                continue;
            }
        }
        out += c;
    }
    return out;
}

bool returnsNaturalOrder(const QString& statement) {
    static const QRegularExpression distinct(QStringLiteral("^\\s*select\\s+distinct\\b"),
                                             QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression unionWord(QStringLiteral("\\sunion\\s"), QRegularExpression::CaseInsensitiveOption);
    if (distinct.match(statement).hasMatch())
        return true;
    // "union" outside text literals.
    QString outside;
    bool inLiteral = false;
    for (QChar c : statement) {
        if (c == u'\'')
            inLiteral = !inLiteral;
        else if (!inLiteral)
            outside += c;
    }
    return unionWord.match(outside).hasMatch();
}

}  // namespace zs
