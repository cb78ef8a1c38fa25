#include "store/bank.h"
#include "store/naturalorder.h"
#include "store/paths.h"
#include "store/serverlocation.h"
#include "store/statement.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

using namespace zs;

TEST(Statement, TranslatesTheDialect) {
    struct Case {
        const char* jet;
        const char* sqlite;
    } cases[] = {
        {"select * from 试题库 where  入库日期= #2012-3-7#", "select * from 试题库 where  入库日期= '2012-03-07'"},
        {"select 知识点 from 教材设置 where [科目] + [教材版本] +[年级] + [上下册] + [章] + [节]= 'x'",
         "select 知识点 from 教材设置 where \"科目\" || \"教材版本\" ||\"年级\" || \"上下册\" || \"章\" || \"节\"= "
         "'x'"},
        {" and (最后使用日期 between #2024-1-5# and #2024-12-31#)",
         " and (最后使用日期 between '2024-01-05' and '2024-12-31')"},
        // Text literals are never touched, whatever they hold.
        {"select * from 用户管理 where 实名用户名 like 'a#1-2-3#[x]+''y'''",
         "select * from 用户管理 where 实名用户名 like 'a#1-2-3#[x]+''y'''"},
        {"delete from  教材设置 where 科目='1-语文'", "delete from  教材设置 where 科目='1-语文'"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(toSqlite(QString::fromUtf8(c.jet)), QString::fromUtf8(c.sqlite)) << c.jet;
}

TEST(Statement, DateLiteralsWriteMonthAndDayWithoutLeadingZeros) {
    EXPECT_EQ(dateLiteral(QDate(2012, 3, 7)), "#2012-3-7#");
    EXPECT_EQ(dateLiteral(QDate(2024, 12, 31)), "#2024-12-31#");
}

TEST(Statement, QuotesAreDoubledAndNothingElseChanges) {
    EXPECT_EQ(sqlValue("1-语文"), "1-语文");
    EXPECT_EQ(sqlValue("O'Neil's"), "O''Neil''s");
    EXPECT_EQ(sqlValue("50%_x"), "50%_x");
}

TEST(Statement, NaturalOrderListsAreRecognised) {
    EXPECT_TRUE(returnsNaturalOrder("select distinct 科目 from 教材设置"));
    EXPECT_TRUE(returnsNaturalOrder("SELECT  DISTINCT 题目编号 from 试题库"));
    EXPECT_TRUE(returnsNaturalOrder("select 实名用户名 from 用户管理 union select distinct 入库教师 from 试题库"));
    EXPECT_FALSE(returnsNaturalOrder("select * from 试题库 where 知识点 like '%union all%'"));
    EXPECT_FALSE(returnsNaturalOrder("select * from 试题来源"));
}

TEST(NaturalOrder, ComparesTheNumberBeforeTheFirstDashAsANumber) {
    EXPECT_TRUE(naturalLess("2-物理", "10-化学"));
    EXPECT_FALSE(naturalLess("10-化学", "2-物理"));
    EXPECT_TRUE(naturalLess("1.5-甲", "2-乙"));
    EXPECT_TRUE(naturalLess("3-a", "3-b"));
    EXPECT_TRUE(naturalLess("99-z", "无编号"));
}

TEST(Statement, TranslatesTheDialectForTheServer) {
    struct Case {
        const char* jet;
        const char* postgres;
    } cases[] = {
        {"select * from 试题库 where  入库日期= #2012-3-7#", "select * from 试题库 where  入库日期= '2012-03-07'"},
        {"select 知识点 from 教材设置 where [科目] + [教材版本] +[年级] + [上下册] + [章] + [节]= 'x'",
         "select 知识点 from 教材设置 where \"科目\" || \"教材版本\" ||\"年级\" || \"上下册\" || \"章\" || \"节\"= "
         "'x'"},
        // "like" matches Latin letters in either case and takes "\" as an ordinary character; a
        // pattern without such letters is matched case-sensitively, which finds the same rows
        // through the column's index, and the rows are asked for in the table's stored order.
        {"select * from 试题库 where 考查范围 like '1-数学\\1-人教版%' and 知识点 like '%1-A%'",
         "select * from 试题库 where 考查范围 LIKE '1-数学\\1-人教版%' ESCAPE '' and 知识点 ILIKE '%1-A%' ESCAPE '' "
         "ORDER BY ctid"},
        {"select * from 用户管理 where 实名用户名 LIKE 'a''like''b'",
         "select * from 用户管理 where 实名用户名 ILIKE 'a''like''b' ESCAPE ''"},
        // Names that merely hold the word stay as they are.
        {"select likely, unlike from t", "select likely, unlike from t"},
        {"select * from 用户管理 where 实名用户名 like 'a#1-2-3#[x]+''y'''",
         "select * from 用户管理 where 实名用户名 ILIKE 'a#1-2-3#[x]+''y''' ESCAPE ''"},
        // The search by section, type and knowledge points as the browse screens write it.
        {"select * from 试题库 where 考查范围 like '1-数学\\1-人教版\\7-七年级%' and 题型='单选题' and 知识点 like "
         "'%2-负数%'",
         "select * from 试题库 where 考查范围 LIKE '1-数学\\1-人教版\\7-七年级%' ESCAPE '' and 题型='单选题' and "
         "知识点 LIKE '%2-负数%' ESCAPE '' ORDER BY ctid"},
        // Letters of any script with two cases keep the match in either case.
        {"select * from 试题库 where 知识点 like '%Ωмега%'",
         "select * from 试题库 where 知识点 ILIKE '%Ωмега%' ESCAPE ''"},
        {"select 考查范围,知识点 from 试题库 where 考查范围 like '%节'",
         "select 考查范围,知识点 from 试题库 where 考查范围 LIKE '%节' ESCAPE '' ORDER BY ctid"},
        // Statements that order, group, join or count their rows themselves keep their own shape.
        {"select distinct 入库教师 from 试题库 where 考查范围 like '1-数学%'",
         "select distinct 入库教师 from 试题库 where 考查范围 LIKE '1-数学%' ESCAPE ''"},
        {"select count(*) from 试题库 where 考查范围 like '1-数学%'",
         "select count(*) from 试题库 where 考查范围 LIKE '1-数学%' ESCAPE ''"},
        {"select * from 试题库 where 考查范围 like '1-数学%' order by 题目编号",
         "select * from 试题库 where 考查范围 LIKE '1-数学%' ESCAPE '' order by 题目编号"},
        {"select * from 试题库 where 考查范围 like '1-数学%' union select * from 试题库 where 题型='x'",
         "select * from 试题库 where 考查范围 LIKE '1-数学%' ESCAPE '' union select * from 试题库 where 题型='x'"},
        {"select * from 试题库, 教材设置 where 考查范围 like '1-数学%'",
         "select * from 试题库, 教材设置 where 考查范围 LIKE '1-数学%' ESCAPE ''"},
        // The words are looked for outside the literals only.
        {"select * from 试题库 where 试题来源='for all' and 考查范围 like '1-数学%'",
         "select * from 试题库 where 试题来源='for all' and 考查范围 LIKE '1-数学%' ESCAPE '' ORDER BY ctid"},
        {"delete from 试题库 where 考查范围 like '1-数学%'",
         "delete from 试题库 where 考查范围 LIKE '1-数学%' ESCAPE ''"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(toPostgres(QString::fromUtf8(c.jet)), QString::fromUtf8(c.postgres)) << c.jet;
    // The file bank's translation keeps "like" as it is.
    EXPECT_EQ(toSqlite("select * from t where a like 'x\\y%'"), "select * from t where a like 'x\\y%'");
}

TEST(ServerLocation, ReadsAndWritesTheLocationText) {
    ServerLocation school = ServerLocation::parse("postgresql://王老师@192.168.1.10:5433/题库");
    EXPECT_TRUE(school.isValid());
    EXPECT_EQ(school.user, "王老师");
    EXPECT_EQ(school.host, "192.168.1.10");
    EXPECT_EQ(school.port, 5433);
    EXPECT_EQ(school.database, "题库");
    EXPECT_EQ(ServerLocation::parse(school.text()), school);
    EXPECT_EQ(school.shown(), "学校题库 题库（服务器 192.168.1.10:5433）");

    ServerLocation local;
    local.host = "/tmp/a folder";
    local.port = 5432;
    local.database = "banks";
    local.user = "zs";
    local.schema = "数学组";
    EXPECT_TRUE(isServerLocation(local.text()));
    EXPECT_EQ(ServerLocation::parse(local.text()), local);
    EXPECT_EQ(local.shown(), "学校题库 banks.数学组（服务器 本机:5432）");

    EXPECT_FALSE(isServerLocation("/home/t/试题库.mdb"));
    EXPECT_FALSE(ServerLocation::parse("/home/t/试题库.mdb").isValid());
    EXPECT_FALSE(ServerLocation::parse("postgresql://u@h/").isValid());
    EXPECT_EQ(ServerLocation::parse("postgresql://u@h/db").port, 5432);
    // Each server bank has a cache folder of its own, beside no file.
    ServerLocation other = local;
    other.schema = "物理组";
    EXPECT_NE(serverCacheFolder(local), serverCacheFolder(other));
    EXPECT_EQ(bankFolderOf(local.text()), serverCacheFolder(local));
}
