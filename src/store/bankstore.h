#pragma once

// Inside the store: the database a Bank works on. A bank file is an SQLite
// database (filestore.cpp); a school bank is a PostgreSQL database
// (serverbank.cpp). Which one is chosen once, when the Bank is opened, from
// its location; everything that differs between the two lives behind this
// interface, and the Bank itself is the same for both.

#include "store/rowset.h"
#include "store/statement.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <memory>

namespace zs {

class BankStore {
public:
    virtual ~BankStore() = default;

    virtual Dialect dialect() const = 0;
    // How messages name the bank: the file's path, or the server bank's name.
    virtual QString shown() const = 0;
    virtual QSqlDatabase db() const = 0;

    // The rows of a statement of the bank's dialect, in the database's order.
    virtual RowSet rows(const QString& statement) = 0;
    // Runs a statement of the program's own with bound values (no translation).
    virtual void executeBound(const QString& statement, const QVariantList& values) = 0;
    // The statement that stores a setting (name, value), replacing an earlier one.
    virtual QString settingStatement() const = 0;
    // The statement listing a table's columns (column "name"); no rows for a
    // missing table.
    virtual QString columnsStatement(const QString& table) const = 0;
    // The message for a bank that lacks `missing`.
    virtual QString incompleteMessage(const QString& missing) const = 0;
    // Throws the StoreError of a failed statement, in the teacher's words.
    [[noreturn]] virtual void fail(const QString& statement, const QSqlError& error) const = 0;
    // Ends the connection with the Bank; `inTransaction` when a transaction
    // was left open (it is rolled back).
    virtual void close(bool inTransaction) = 0;

protected:
    // Prepares, binds and runs a statement; dates are bound as ISO text.
    void runBound(QSqlQuery& query, const QString& statement, const QVariantList& values) const;
};

// The stores, opened at `location` under the connection name `connection`;
// they throw StoreError with the teacher's message when the bank cannot be
// opened.
std::unique_ptr<BankStore> openFileStore(const QString& path, bool forWriting, const QString& connection);
std::unique_ptr<BankStore> openServerStore(const QString& location, const QString& connection);

// What opening would say, without opening (a server is asked only when
// connecting: only its location is looked at).
QString fileProblem(const QString& path, bool forWriting);
QString serverProblem(const QString& location);

// New banks: a file with the six tables (`full`) or the export template's
// two; the tables of a school bank in an empty database.
void createFileBank(const QString& path, bool full);
void createServerBank(const QString& location);

// The type and difficulty rows of a new bank (Bank::defaultTypes and
// Bank::defaultDifficulties).
const QStringList& newBankTypes();
const QStringList& newBankDifficulties();

// The "详细信息" of a failure: the statement (when there is one) and the
// database's own words, after its name ("SQLite", "PostgreSQL").
QString failureDetails(const QString& statement, const QString& database, const QString& text);

// The tables the program makes in every bank it opens for writing.
const QStringList& ownTableStatements();

}  // namespace zs
