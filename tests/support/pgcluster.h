#pragma once

#include "support/testsupport.h"

#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace zs::test {

// A private PostgreSQL server for this test program: a cluster made by initdb
// in a temporary folder, listening only on a socket in that folder (no TCP
// port), started on first use and stopped when the program ends. The server
// runs as the current user (as the account postgres when that is root). Test cases
// share it and each takes a database of its own.
class PostgresCluster {
public:
    // The running cluster, or null when this machine lacks the PostgreSQL
    // server programs (`unavailableReason()` says so). A cluster that fails to
    // start fails the test program.
    static PostgresCluster* instance();
    static QString unavailableReason();
    static void shutdown();

    ~PostgresCluster();

    // A new empty database (no tables) and its location text for the store.
    QString newDatabase();
    // A new empty schema of the maintenance database, as a bank location.
    QString newSchema();
    // Runs one statement as the cluster's owner in the maintenance database.
    void administer(const QString& statement);

    QString socketFolder() const { return folder_.path(); }
    int port() const { return kPort; }
    QString user() const { return user_; }
    // The location text of a database of this cluster.
    QString location(const QString& database, const QString& schema = {}) const;

private:
    PostgresCluster() = default;
    bool start(QString* error);
    bool run(const QString& program, const QStringList& arguments, QString* error, int timeoutMs = 60000);

    static constexpr int kPort = 5432;
    QTemporaryDir folder_{QStringLiteral("/tmp/zs-pg-XXXXXX")};
    QString bin_;
    QString user_;
    QString runAs_;  // the account the server runs as when the tests run as root
    bool started_ = false;
    int databases_ = 0;
    int schemas_ = 0;
};

// Where a test bank lives.
enum class StoreKind { File, Server };

// A fresh bank with the six tables and the default rows: a file in `folder`,
// or a new database of the private cluster. Skips the current test (calling
// GTEST_SKIP from the caller is needed: see ZS_NEW_BANK) when the PostgreSQL
// programs are missing.
QString newBank(StoreKind kind, const TempFolder& folder);

void PrintTo(StoreKind kind, std::ostream* out);

// Names the two variants of a parameterised test: File, Server.
std::string storeKindName(const ::testing::TestParamInfo<StoreKind>& info);

// A test parameterised over both stores.
class BothStores : public ::testing::TestWithParam<StoreKind> {
protected:
    // A fresh bank of this test's store; false (and the test skipped) when it
    // is a server bank and the machine has no PostgreSQL.
    bool makeBank();
    bool onServer() const { return GetParam() == StoreKind::Server; }

    TempFolder folder;
    QString location;
};

}  // namespace zs::test

// Makes `location` a fresh bank of the test's store or skips the test.
#define ZS_MAKE_BANK()                                                                                                 \
    do {                                                                                                               \
        if (!makeBank())                                                                                               \
            GTEST_SKIP() << zs::test::PostgresCluster::unavailableReason().toStdString();                              \
    } while (0)

#define ZS_BOTH_STORES(suite)                                                                                          \
    INSTANTIATE_TEST_SUITE_P(Stores, suite, ::testing::Values(zs::test::StoreKind::File, zs::test::StoreKind::Server), \
                             zs::test::storeKindName)
