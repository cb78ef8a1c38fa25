// The connections to a school bank that a thread keeps between operations:
// reused while they last, replaced when the server has ended one meanwhile,
// and never leaving half an operation behind when the server ends one in the
// middle of it.

#include "store/bank.h"
#include "support/pgcluster.h"
#include "support/testsupport.h"

#include <QElapsedTimer>
#include <QThread>
#include <gtest/gtest.h>

using namespace zs;
using namespace zs::test;

namespace {

class KeptConnection : public ::testing::Test {
protected:
    void SetUp() override {
        cluster = PostgresCluster::instance();
        if (!cluster)
            GTEST_SKIP() << PostgresCluster::unavailableReason().toStdString();
        location = newBank(StoreKind::Server, folder);
    }
    void TearDown() override { closeServerConnections(); }

    static QString backendOf(Bank& bank) { return bank.query("select pg_backend_pid()").text(0, 0); }

    // Ends a server process as an administrator would, and waits until it is
    // gone (asking on the administrator's connection, so that no connection
    // this thread keeps is touched).
    void endBackend(const QString& pid) {
        ASSERT_TRUE(cluster->administer("SELECT pg_terminate_backend(" + pid + ")").isEmpty());
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 10000) {
            if (cluster
                    ->administer("DO $$ BEGIN IF EXISTS (SELECT 1 FROM pg_stat_activity WHERE pid = " + pid +
                                 ") THEN RAISE EXCEPTION 'still there'; END IF; END $$")
                    .isEmpty())
                return;
            QThread::msleep(20);
        }
        FAIL() << "the server process " << pid.toStdString() << " did not end";
    }

    int questionRows(const QString& number) {
        Bank bank(location);
        return bank.query("select * from 试题库 where 题目编号='" + number + "'").count();
    }

    PrivateCluster* cluster = nullptr;
    TempFolder folder;
    QString location;
};

}  // namespace

TEST_F(KeptConnection, TheNextOperationOfAThreadReusesTheConnectionOfTheLast) {
    QString first;
    {
        Bank bank(location);
        first = backendOf(bank);
    }
    Bank again(location);
    EXPECT_EQ(backendOf(again), first);
    // A second bank open at the same time has a connection of its own.
    Bank beside(location);
    EXPECT_NE(backendOf(beside), first);
}

TEST_F(KeptConnection, AConnectionTheServerEndedWhileIdleIsReplacedAndTheOperationSucceeds) {
    auto keptAndEnded = [&] {
        QString pid;
        {
            Bank bank(location);
            pid = backendOf(bank);
        }
        endBackend(pid);
        return pid;
    };
    // A write in a transaction, a plain write and a read, each meeting a kept
    // connection the server has ended.
    QString ended = keptAndEnded();
    {
        Bank bank(location);
        bank.transaction([&] {
            bank.addRow("试题库", {{"题目编号", "00001"}, {"试题识别码", "甲-00001"}});
            bank.addRow("试题库", {{"题目编号", "00001"}, {"试题识别码", "甲-00001"}});
        });
        EXPECT_NE(backendOf(bank), ended);
    }
    ended = keptAndEnded();
    {
        Bank bank(location);
        bank.execute("update 试题库 set 使用次数 = 1 where 题目编号='00001'");
    }
    ended = keptAndEnded();
    Bank bank(location);
    const RowSet rows = bank.query("select 使用次数 from 试题库 where 题目编号='00001'");
    ASSERT_EQ(rows.count(), 2);
    EXPECT_EQ(rows.value(0, 0).toLongLong(), 1);
    EXPECT_EQ(rows.value(1, 0).toLongLong(), 1);
    EXPECT_NE(backendOf(bank), ended);
}

TEST_F(KeptConnection, AConnectionEndedInTheMiddleOfATransactionLeavesNothingAndIsNotKept) {
    {
        Bank warm(location);
        backendOf(warm);
    }
    QString ended;
    try {
        Bank bank(location);  // the kept connection
        bank.transaction([&] {
            bank.addRow("试题库", {{"题目编号", "00002"}, {"试题识别码", "乙-00002"}});
            ended = backendOf(bank);
            endBackend(ended);
            bank.addRow("试题库", {{"题目编号", "00002"}, {"试题识别码", "乙-00002"}});
        });
        ADD_FAILURE() << "the transaction went through on an ended connection";
    } catch (const StoreError& e) {
        EXPECT_TRUE(e.message().contains("与学校题库服务器的连接中断了")) << e.message().toStdString();
    }
    EXPECT_EQ(questionRows("00002"), 0);
    // The next operation works on a new connection.
    Bank bank(location);
    EXPECT_NE(backendOf(bank), ended);
    bank.transaction([&] { bank.addRow("试题库", {{"题目编号", "00002"}, {"试题识别码", "乙-00002"}}); });
    EXPECT_EQ(questionRows("00002"), 1);
}

TEST_F(KeptConnection, AFailedTransactionLeavesTheKeptConnectionReadyForTheNextOperation) {
    EXPECT_THROW(
        {
            Bank bank(location);
            bank.transaction([&] {
                bank.addRow("试题库", {{"题目编号", "00003"}, {"试题识别码", "丙-00003"}});
                bank.query("select * from 没有这张表");
            });
        },
        StoreError);
    EXPECT_EQ(questionRows("00003"), 0);
    Bank bank(location);
    bank.transaction([&] { bank.addRow("试题库", {{"题目编号", "00003"}, {"试题识别码", "丙-00003"}}); });
    EXPECT_EQ(questionRows("00003"), 1);
}
