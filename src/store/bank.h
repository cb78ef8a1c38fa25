#pragma once

#include "store/rowset.h"
#include "store/statement.h"

#include <QDate>
#include <QList>
#include <QPair>
#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <functional>
#include <memory>
#include <stdexcept>

namespace zs {

class BankStore;

using RowValues = QList<QPair<QString, QVariant>>;

// The bank file 试题库.mdb: an SQLite database whose statements are written in
// the bank's own dialect (see statement.h). A Bank opens the file for its
// lifetime; screens open one per operation.
//
// A school's shared bank is a database on a PostgreSQL server; its path is a
// location text (serverlocation.h) and the same statements are translated for
// the server. What differs between the two is behind one store interface
// (bankstore.h) with an implementation for each, chosen when the bank is
// opened. Connections to a server are kept open per thread between operations.
class Bank {
public:
    enum class Mode { ReadWrite, ReadOnly };

    // Opens an existing bank; throws StoreError with a clear message when the file
    // is missing, empty, read-only (for ReadWrite), not SQLite, in Access format or
    // lacks the bank's tables.
    explicit Bank(const QString& path, Mode mode = Mode::ReadWrite);
    ~Bank();
    Bank(const Bank&) = delete;
    Bank& operator=(const Bank&) = delete;

    const QString& path() const { return path_; }
    Dialect dialect() const;
    bool isServer() const { return dialect() == Dialect::Postgres; }
    // How messages name this bank: the file's path, or the server bank's name.
    QString shown() const;

    // The message that opening this file would give, or an empty text if it opens.
    // For writing, a folder that cannot be written is refused too: the database
    // keeps its journal beside the file.
    static QString problemWith(const QString& path, Mode mode = Mode::ReadWrite);

    // What the six tables of a full bank lack (tables, or columns by name), as a
    // message naming the file; empty when nothing is missing. Extra tables and
    // columns are fine.
    QString schemaProblem();

    // Creates a new bank with the six tables and the default types and
    // difficulties. Throws StoreError if the file exists or cannot be written.
    // A server location names an existing, empty database: the tables (and
    // those that only a server bank has) are made in it.
    static void create(const QString& path);
    // Creates the export template: tables 试题库 and 教材设置 only, no rows.
    static void createExportTemplate(const QString& path);

    // Runs a statement of the bank's dialect and returns its rows. "select
    // distinct" and "union" lists come back in natural order.
    RowSet query(const QString& statement);
    // Runs an update or delete statement of the bank's dialect.
    void execute(const QString& statement);
    // Runs a statement of the program's own with bound values (no translation).
    void executeBound(const QString& sqliteStatement, const QVariantList& values);
    // Appends one row; columns not named stay empty. Dates are stored as ISO text.
    void addRow(const QString& table, const RowValues& values);

    // Runs `work` in one transaction: on an exception nothing of it stays.
    void transaction(const std::function<void()>& work);

    // The program's own settings kept in the bank file (table 组卷设置, made
    // when a bank is opened for writing; the six bank tables stay as they
    // are). An empty text when the setting was never made.
    QString setting(const QString& name);
    void setSetting(const QString& name, const QString& value);

    // Type and difficulty rows of a new bank.
    static const QStringList& defaultTypes();
    static const QStringList& defaultDifficulties();

private:
    QString path_;
    // The file's or the server's database, chosen when the bank is opened.
    std::unique_ptr<BankStore> store_;
    int transactionDepth_ = 0;
};

// Column names of 试题库 in their fixed order, after the row key at position 0.
const QStringList& questionColumns();

// The column a server bank appends to 试题库: the revision of a question's
// rows, raised by every change, so that a change made on rows another teacher
// has changed meanwhile is refused.
inline const QString kRevisionColumn = QStringLiteral("修订号");

// Closes the connections to server banks this thread keeps open (before a
// database is dropped, say).
void closeServerConnections();

}  // namespace zs
