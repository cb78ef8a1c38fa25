#pragma once

#include <QDate>
#include <QString>

namespace zs {

// A text value ready to stand between the single quotes of a statement: every
// "'" is doubled, nothing else changes. Every statement builder passes values
// through it, so the statement texts stay as written for ordinary values.
QString sqlValue(const QString& value);

// The database a bank lives in: an SQLite file or a PostgreSQL server.
enum class Dialect { Sqlite, Postgres };

// Turns a statement of the bank's Jet dialect into the dialect of the database.
QString translateStatement(const QString& statement, Dialect dialect);

// Turns a statement of the bank's Jet dialect into SQLite:
//   [名称]            → "名称"
//   #2012-3-7#        → '2012-03-07'
//   a + b (text)      → a || b   (next to a bracketed name or a text literal)
// Text literals are copied unchanged.
QString toSqlite(const QString& statement);
// The same for PostgreSQL; besides, "like" becomes "ILIKE … ESCAPE ''" so that
// a pattern matches what it matches in a file bank (Latin letters in either
// case, "\\" an ordinary character). A pattern without letters that have a
// case (a scope path, a knowledge point in Chinese) becomes "LIKE … ESCAPE ''"
// instead, which matches the same rows and lets the server use the column's
// index; a plain list of one table's rows that has one is then asked for in
// the table's stored order (" ORDER BY ctid"), the order a full scan gives.
QString toPostgres(const QString& statement);

// True for statements whose rows come back in natural order: "select distinct"
// lists and "union" lists.
bool returnsNaturalOrder(const QString& statement);

// The date literal of the bank's dialect: "#" + yyyy-m-d + "#".
QString dateLiteral(const QDate& date);

// Date as the dialect writes it inside a literal: four-digit year, month and
// day without leading zeros (2012-3-7).
QString dialectDate(const QDate& date);

}  // namespace zs
