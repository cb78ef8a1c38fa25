// scripts/school-server.sh against the tests' private PostgreSQL server: it
// makes the database, the program makes the bank in it with a first
// 元老级用户, and a second run refuses to make it again.

#include "app/accounts.h"
#include "questions/questionrecord.h"
#include "store/bank.h"
#include "store/serverlocation.h"
#include "support/pgcluster.h"

#include <QDir>
#include <QProcess>
#include <gtest/gtest.h>

using namespace zs;
using namespace zs::test;

namespace {

struct ScriptRun {
    int exitCode = -1;
    QString output;
};

ScriptRun runScript(const QStringList& arguments) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("ZS_ELDER_PASSWORD", "校长的密码");
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    p.setProcessEnvironment(environment);
    p.start("bash", QStringList{QString::fromUtf8(ZS_SOURCE_DIR) + "/scripts/school-server.sh"} + arguments +
                        QStringList{"--program", QStringLiteral(ZS_PROGRAM_PATH)});
    p.waitForFinished(120000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAll())};
}

}  // namespace

TEST(SchoolServerScript, MakesADatabaseWithTheBankAndAFirstElder) {
    PrivateCluster* cluster = PostgresCluster::instance();
    if (!cluster)
        GTEST_SKIP() << PostgresCluster::unavailableReason().toStdString();
    const QStringList arguments = {"--host",     cluster->socketFolder(),
                                   "--port",     QString::number(cluster->port()),
                                   "--user",     cluster->user(),
                                   "--database", "初中数学组",
                                   "--elder",    "李校长"};
    const ScriptRun run = runScript(arguments);
    ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
    EXPECT_TRUE(run.output.contains("已建立数据库：初中数学组")) << run.output.toStdString();
    EXPECT_TRUE(run.output.contains("学校题库已建立")) << run.output.toStdString();

    const QString location = cluster->location("初中数学组");
    {
        Bank bank(location);
        EXPECT_EQ(bank.schemaProblem(), "");
        EXPECT_EQ(bank.query("select 题型 from 题型").count(), 8);
        EXPECT_EQ(bank.query("select 实名用户名 from 账户级别 where 级别='元老级用户'").texts(),
                  QStringList({"李校长"}));
    }
    EXPECT_EQ(checkLogin(location, "李校长", "校长的密码").outcome, LoginResult::Outcome::Accepted);
    EXPECT_EQ(checkLogin(location, "李校长", "别的密码").outcome, LoginResult::Outcome::WrongPassword);

    // A second run finds the bank there and changes nothing.
    const ScriptRun again = runScript(arguments);
    EXPECT_NE(again.exitCode, 0);
    EXPECT_TRUE(again.output.contains("这个数据库里已经有试题库，不能再新建")) << again.output.toStdString();
    EXPECT_EQ(Bank(location).query("select * from 用户管理").count(), 1);
}
