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

bool isNameCharacter(QChar c) {
    return c.isLetterOrNumber() || c == u'_';
}

// Whether the keyword `word` (lower case) stands at position i as a word of its own.
bool isWordAt(const QString& s, int i, QStringView word) {
    if (i > 0 && isNameCharacter(s[i - 1]))
        return false;
    if (QStringView(s).mid(i, word.size()).compare(word, Qt::CaseInsensitive) != 0)
        return false;
    const int after = i + int(word.size());
    return after >= s.size() || !isNameCharacter(s[after]);
}

// Whether a "like" pattern matches the same texts in either case: it holds no
// letter that has another case (Chinese, digits, punctuation and the
// wildcards have none).
bool isCaseFree(QStringView pattern) {
    const QString text = pattern.toString();
    return text.toLower() == text && text.toUpper() == text;
}

// The statement's words outside its text literals, in lower case.
QString outsideLiterals(const QString& statement) {
    QString outside;
    outside.reserve(statement.size());
    bool inLiteral = false;
    for (QChar c : statement) {
        if (c == u'\'') {
            inLiteral = !inLiteral;
            outside += u' ';
        } else if (!inLiteral) {
            outside += c.toLower();
        }
    }
    return outside;
}

// Whether the statement is a plain list of rows of one table, "select <columns>
// from <table> where …", that may be given an order: no aggregate or function
// in its columns, and nothing that orders, groups, joins or limits its rows.
bool takesStoredOrder(const QString& statement) {
    static const QRegularExpression plain(QStringLiteral("^\\s*select\\s+([^()]*?)\\s+from\\s+[^\\s,()]+\\s+where\\s"));
    static const QRegularExpression shaping(
        QStringLiteral("\\b(distinct|all|order|group|having|union|intersect|except|limit|offset|fetch|join|for|into|"
                       "returning)\\b|;"));
    const QString outside = outsideLiterals(statement);
    return plain.match(outside).hasMatch() && !shaping.match(outside).hasMatch();
}

}  // namespace

QString translateStatement(const QString& statement, Dialect dialect) {
    const bool server = dialect == Dialect::Postgres;
    // On the server "like" is matched as the file bank matches it: Latin
    // letters in either case, and "\\" (the scope separator) as an ordinary
    // character rather than the escape character.
    bool escapeAfterLiteral = false;
    // A "like" whose pattern has no letters with case is matched with the
    // server's case-sensitive LIKE: it finds the same rows, and the index on
    // the column serves a pattern with a fixed beginning (ILIKE would read
    // every row of the table). Its operator is written once the pattern is read.
    qsizetype likeAt = -1;
    bool caseSensitiveLike = false;
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
            if (likeAt >= 0) {
                const bool caseFree = isCaseFree(QStringView(statement).mid(i + 1, qMax(0, qMin(j, n) - i - 1)));
                out.insert(likeAt, caseFree ? QStringLiteral("LIKE") : QStringLiteral("ILIKE"));
                caseSensitiveLike = caseSensitiveLike || caseFree;
                likeAt = -1;
            }
            out += QStringView(statement).mid(i, qMin(j, n - 1) - i + 1);
            i = j;
            if (escapeAfterLiteral) {
                out += QStringLiteral(" ESCAPE ''");
                escapeAfterLiteral = false;
            }
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
        if (server && (c == u'l' || c == u'L') && isWordAt(statement, i, u"like")) {
            const int pattern = nextNonBlank(statement, i + 3);
            if (pattern >= 0 && statement[pattern] == u'\'')
                likeAt = out.size();
            else
                out += QStringLiteral("ILIKE");
            i += 3;
            escapeAfterLiteral = true;
            continue;
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
    // A full scan gives the rows in the table's stored order, which is the
    // order the teacher sees them in. An index on the searched column would
    // give them in the column's order instead: the stored order is asked for.
    if (caseSensitiveLike && takesStoredOrder(statement))
        out += QStringLiteral(" ORDER BY ctid");
    return out;
}

QString toSqlite(const QString& statement) {
    return translateStatement(statement, Dialect::Sqlite);
}

QString toPostgres(const QString& statement) {
    return translateStatement(statement, Dialect::Postgres);
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
