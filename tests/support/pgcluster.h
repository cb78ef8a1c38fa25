#pragma once

#include "doubles/privatecluster.h"
#include "support/testsupport.h"

#include <QString>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <string>

namespace zs::test {

// The private PostgreSQL server of this test program (doubles/privatecluster.h),
// started on first use and stopped when the program ends. Test cases share it
// and each takes a schema (or database) of its own.
class PostgresCluster {
public:
    // The running cluster, or null when this machine lacks the PostgreSQL
    // server programs (`unavailableReason()` says so). A cluster that fails to
    // start fails the test.
    static PrivateCluster* instance();
    static QString unavailableReason() { return PrivateCluster::unavailableReason(); }
    static void shutdown();
};

// Where a test bank lives.
enum class StoreKind { File, Server };

// A fresh bank with the six tables and the default rows: a file in `folder`,
// or a new schema of the private cluster; empty when there is no PostgreSQL.
QString newBank(StoreKind kind, const TempFolder& folder);

void PrintTo(StoreKind kind, std::ostream* out);
// Names the two variants of a parameterised test: File, Server.
std::string storeKindName(const ::testing::TestParamInfo<StoreKind>& info);

// A test parameterised over both stores.
class BothStores : public ::testing::TestWithParam<StoreKind> {
protected:
    // A fresh bank of this test's store in `location`; false when it is a
    // server bank and the machine has no PostgreSQL (see ZS_MAKE_BANK).
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
