// The bank store against real SQLite files and a real PostgreSQL server: the
// statement shapes the screens send, natural order, quoting, transactions and
// refused files.

#include "store/bank.h"
#include "store/statement.h"
#include "support/pgcluster.h"
#include "support/samplebank.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <functional>
#include <gtest/gtest.h>

using namespace zs;
using zs::test::TempFolder;

namespace {

class BankTest : public zs::test::BothStores {
protected:
    void SetUp() override {
        ZS_MAKE_BANK();
        path = location;
        bank = std::make_unique<Bank>(path);
    }
    void addQuestion(const QString& number, const QString& scope, const QString& knowledge,
                     const QString& teacher = "张三", const QVariant& lastUse = {}) {
        bank->addRow("试题库", {{"题目编号", number},
                                {"考查范围", scope},
                                {"题型", "单选题"},
                                {"难度", "0.5"},
                                {"知识点", knowledge},
                                {"试题识别码", teacher + "-" + number},
                                {"入库日期", QDate(2012, 3, 7)},
                                {"入库教师", teacher},
                                {"最后使用日期", lastUse}});
    }
    void addCatalogue(const QStringList& values) { test::addCatalogueRow(*bank, values); }

    QString path;
    std::unique_ptr<Bank> bank;
};

ZS_BOTH_STORES(BankTest);

}  // namespace

TEST_P(BankTest, NewBankHasItsTablesDefaultsAndColumnOrder) {
    EXPECT_EQ(bank->query("select 题型 from 题型").texts(), Bank::defaultTypes());
    EXPECT_EQ(bank->query("select 难度 from 难度").texts(),
              QStringList({"0.1", "0.2", "0.3", "0.4", "0.5", "0.6", "0.7", "0.8", "0.9", "1.0"}));
    addQuestion("00001", "a\\b", "甲");
    const RowSet rows = bank->query("select * from 试题库");
    const QStringList expected = {"题目编号", "考查范围", "题型", "难度", "知识点", "试题识别码"};
    for (int i = 0; i < expected.size(); ++i)
        EXPECT_EQ(rows.columns()[i + 1], expected[i]);
    EXPECT_EQ(rows.text(0, 1), "00001");
    EXPECT_EQ(rows.text(0, 6), "张三-00001");
    EXPECT_TRUE(bank->query("select * from 试题来源").isEmpty());
    EXPECT_TRUE(bank->query("select * from 用户管理").isEmpty());
}

TEST_P(BankTest, DistinctListsComeInNaturalOrderWithoutDuplicates) {
    for (const char* s : {"10-化学", "2-物理", "1-语文", "2-物理", "3-英语"})
        addCatalogue({QString::fromUtf8(s)});
    addCatalogue({});  // a row with an empty subject is skipped by the lists, not by the store
    const RowSet rows = bank->query("select distinct 科目 from 教材设置");
    EXPECT_EQ(rows.texts(), QStringList({"1-语文", "2-物理", "3-英语", "10-化学"}));
}

TEST_P(BankTest, UnionOfTeachersIsDistinctAndOrdered) {
    bank->addRow("用户管理", {{"实名用户名", "王五"}, {"密码", "x"}});
    bank->addRow("用户管理", {{"实名用户名", "张三"}, {"密码", "y"}});
    addQuestion("00001", "a", "甲", "张三");
    addQuestion("00002", "a", "甲", "李四");
    const RowSet rows = bank->query("select 实名用户名 from 用户管理 union select distinct 入库教师 from 试题库");
    EXPECT_EQ(rows.count(), 3);
    const QStringList names = rows.texts();
    EXPECT_EQ(QSet<QString>(names.begin(), names.end()), QSet<QString>({"王五", "张三", "李四"}));
}

TEST_P(BankTest, KnowledgePointsByBracketedConcatenationWithNullColumns) {
    addCatalogue({"1-数学", "1-人教版", "7-七年级", "1-上册", "1-第一章", "1-第一节", "1-正数"});
    addCatalogue({"1-数学", "1-人教版", "7-七年级", "1-上册", "1-第一章", "1-第一节", "2-负数"});
    addCatalogue({"1-数学", "1-人教版", "7-七年级", "1-上册", "1-第一章"});  // section column null
    const QString path = QString("1-数学\\1-人教版\\7-七年级\\1-上册\\1-第一章\\1-第一节").remove('\\');
    const RowSet rows = bank->query(
        "select 知识点 from 教材设置 where [科目] + [教材版本] +[年级] + [上下册] + [章] + [节]= '" + path + "'");
    EXPECT_EQ(rows.texts(), QStringList({"1-正数", "2-负数"}));
    // A null column makes the whole concatenation null: the chapter row matches no text.
    const RowSet none =
        bank->query("select 知识点 from 教材设置 where [科目] + [教材版本] +[年级] + [上下册] + [章] + [节]= "
                    "'1-数学1-人教版7-七年级1-上册1-第一章'");
    EXPECT_EQ(none.count(), 0);
}

TEST_P(BankTest, DateLiteralsBetweenAndDatesReadBackAsDates) {
    addQuestion("00001", "a", "甲", "张三", QDate(2024, 3, 5));
    addQuestion("00002", "a", "甲", "张三", QDate(2024, 11, 20));
    addQuestion("00003", "a", "甲", "张三");  // never used
    const RowSet today = bank->query("select distinct 题目编号 from 试题库 where  入库日期= #2012-3-7#");
    EXPECT_EQ(today.count(), 3);
    const RowSet used =
        bank->query("select * from 试题库 where 题型='单选题' and (最后使用日期 between #2024-1-1# and #2024-6-30#)");
    ASSERT_EQ(used.count(), 1);
    EXPECT_EQ(used.text(0, "题目编号"), "00001");
    EXPECT_EQ(used.date(0, "最后使用日期"), QDate(2024, 3, 5));
    EXPECT_EQ(used.value(0, "入库日期").typeId(), QMetaType::QDate);
    EXPECT_TRUE(bank->query("select * from 试题库 where 题目编号='00003'").isNull(0, "最后使用日期"));

    // A use recorded with bound values, as paper generation records it.
    for (int use = 0; use < 2; ++use)
        bank->executeBound("UPDATE \"试题库\" SET \"最后使用日期\" = ?, \"使用次数\" = coalesce(\"使用次数\", 0) + 1 "
                           "WHERE \"题目编号\" = ?",
                           {QDate(2024, 6, 1), "00003"});
    const RowSet recorded = bank->query("select * from 试题库 where 题目编号='00003'");
    EXPECT_EQ(recorded.date(0, "最后使用日期"), QDate(2024, 6, 1));
    EXPECT_EQ(recorded.value(0, "使用次数").toLongLong(), 2);
}

TEST_P(BankTest, LikeAndIrregularBlanksAsTheScreensWriteThem) {
    addQuestion("00001", "1-数学\\1-人教版\\7-七年级\\1-上册\\1-第一章\\1-第一节", "1-正数|2-负数");
    addQuestion("00002", "1-数学\\1-人教版\\7-七年级\\1-上册\\2-第二章\\1-第一节", "3-整式");
    EXPECT_EQ(
        bank->query("select * from 试题库 where 考查范围 like '1-数学\\1-人教版\\7-七年级\\1-上册\\1-第一章%'").count(),
        1);
    EXPECT_EQ(bank->query("select * from 试题库 where 考查范围 like '%' and 知识点 like '%负数%'").count(), 1);
    EXPECT_EQ(bank->query("select 考查范围,知识点 from 试题库 where 题目编号= '00002'").text(0, "知识点"), "3-整式");
    bank->execute("delete from  试题库 where 题目编号='00001'");
    EXPECT_EQ(bank->query("select  * from 试题库 where 题目编号 = '00001'").count(), 0);
}

TEST_P(BankTest, LikeFindsTheSameRowsInTheSameOrderWhateverTheServerPlans) {
    const QString chapter = "1-数学\\1-人教版\\7-七年级\\1-上册\\1-第一章";
    // Sections of the chapter interleaved, so that the order of the scope
    // column differs from the order the rows were stored in.
    for (int i = 1; i <= 60; ++i)
        addQuestion(QString("%1").arg(i, 5, 10, QChar('0')), chapter + QString("\\%1-第%1节").arg(3 - i % 3),
                    i % 2 ? "1-Alpha|2-正数" : "3-alpha");
    addQuestion("00061", "1-数学\\1-人教版\\7-七年级\\1-上册\\2-第二章\\1-第一节", "1-Alpha");
    addQuestion("00062", "1-DATA\\x", "1-Alpha");
    if (onServer()) {
        // Rows of the table changed in place go to its end on a server: the
        // stored order is what the teacher saw before, and still sees.
        bank->execute("update 试题库 set 使用次数 = 1 where 题目编号 = '00002'");
        bank->execute("ANALYZE 试题库");
        // The index on the scope column as the server's only way to the rows.
        bank->execute("SET enable_seqscan = off");
        bank->execute("SET enable_bitmapscan = off");
    }
    auto numbers = [&](const QString& statement) {
        return bank->query(statement).texts(bank->query(statement).columnIndex("题目编号"));
    };
    QStringList stored = numbers("select * from 试题库");
    stored.removeAll("00061");
    stored.removeAll("00062");
    ASSERT_EQ(stored.size(), 60);
    if (onServer()) {
        EXPECT_EQ(stored.last(), "00002");
    }
    EXPECT_EQ(numbers("select * from 试题库 where 考查范围 like '" + sqlValue(chapter) + "%'"), stored);
    EXPECT_EQ(numbers("select * from 试题库 where 考查范围 like '" + sqlValue(chapter) + "%' and 题型='单选题'"),
              stored);
    // Latin letters still match in either case, in the pattern and in the rows.
    EXPECT_EQ(numbers("select * from 试题库 where 考查范围 like '1-data%'"), QStringList{"00062"});
    EXPECT_EQ(
        numbers("select * from 试题库 where 知识点 like '%ALPHA%' and 考查范围 like '" + sqlValue(chapter) + "%'"),
        stored);
    EXPECT_EQ(numbers("select * from 试题库 where 考查范围 like '%\\2-第2节' and 知识点 like '%2-正数%'").size(), 10);
    // "_" stays a wildcard, "\" an ordinary character.
    EXPECT_EQ(numbers("select * from 试题库 where 考查范围 like '" + sqlValue(chapter) + "\\_-第_节'"), stored);
    EXPECT_TRUE(numbers("select * from 试题库 where 考查范围 like '" + sqlValue(chapter) + "\\\\%'").isEmpty());
    if (onServer())
        bank->execute("RESET ALL");
}

TEST_P(BankTest, AQuotedValueIsStoredAndFoundLikeAnyOther) {
    bank->addRow("试题来源", {{"试题来源", "1-O'Neil's 题集"}});
    const RowSet rows = bank->query("select * from 试题来源 where 试题来源='" + sqlValue("1-O'Neil's 题集") + "'");
    ASSERT_EQ(rows.count(), 1);
    bank->execute("update 试题来源 set 试题来源 = '" + sqlValue("2-It's") + "' where 试题来源='" +
                  sqlValue("1-O'Neil's 题集") + "'");
    EXPECT_EQ(bank->query("select * from 试题来源").text(0, 0), "2-It's");
}

TEST_P(BankTest, ALoginNameWithWildcardsMatchesOnlyItselfOnceFiltered) {
    bank->addRow("用户管理", {{"实名用户名", "50%"}, {"密码", "a"}});
    bank->addRow("用户管理", {{"实名用户名", "500"}, {"密码", "b"}});
    // "like" alone treats % as a wildcard; the login compares the names exactly afterwards.
    const RowSet rows = bank->query("select * from 用户管理 where 实名用户名 like '" + sqlValue("50%") + "'");
    int exact = 0;
    for (int r = 0; r < rows.count(); ++r)
        exact += rows.text(r, "实名用户名") == "50%";
    EXPECT_EQ(exact, 1);
}

TEST_P(BankTest, ATransactionLeavesNothingBehindOnFailure) {
    EXPECT_THROW(bank->transaction([&] {
        addQuestion("00001", "a", "甲");
        addQuestion("00001", "b", "乙");
        bank->execute("this is not a statement");
    }),
                 StoreError);
    EXPECT_EQ(bank->query("select * from 试题库").count(), 0);
    bank->transaction([&] {
        addQuestion("00001", "a", "甲");
        addQuestion("00001", "b", "乙");
    });
    EXPECT_EQ(bank->query("select distinct 题目编号 from 试题库").count(), 1);
}

TEST_P(BankTest, ABrokenStatementIsReportedNotFatal) {
    try {
        bank->query("select * from 没有这个表");
        FAIL() << "expected a StoreError";
    } catch (const StoreError& e) {
        EXPECT_TRUE(e.message().contains("试题库操作失败"));
    }
}

TEST_P(BankTest, AFailureSaysWhatFailedInChineseAndKeepsTheDatabaseWordsForTheDetails) {
    const QString shown = onServer() ? bank->shown() : QDir::toNativeSeparators(path);
    const QString incomplete = onServer() ? "，这个试题库不完整。" : "，这个试题库文件不完整。";
    const QString engine = onServer() ? "PostgreSQL：" : "SQLite：";
    auto failure = [&](const std::function<void()>& work) -> StoreError {
        try {
            work();
        } catch (const StoreError& e) {
            return e;
        }
        ADD_FAILURE() << "no failure";
        return StoreError({});
    };
    StoreError e = failure([&] { bank->query("select * from 没有这个表"); });
    EXPECT_EQ(e.message(), "试题库操作失败：\r" + shown + "\r\r试题库缺少数据表<没有这个表>" + incomplete);
    EXPECT_TRUE(e.details().startsWith("语句：select * from 没有这个表\n" + engine)) << e.details().toStdString();
    if (!onServer()) {
        EXPECT_EQ(e.details(), "语句：select * from 没有这个表\nSQLite：no such table: 没有这个表");
    }

    e = failure([&] { bank->execute("update 试题库 set 没有这列 = 1"); });
    EXPECT_EQ(e.message(), "试题库操作失败：\r" + shown + "\r\r试题库的数据表缺少列<没有这列>" + incomplete);
    EXPECT_TRUE(e.details().contains("没有这列")) << e.details().toStdString();

    e = failure([&] { bank->addRow("没有这个表", {{"甲", 1}}); });
    EXPECT_TRUE(e.message().contains("缺少数据表<没有这个表>")) << e.message().toStdString();
    EXPECT_TRUE(e.details().contains("INSERT INTO \"没有这个表\"")) << e.details().toStdString();

    // A write the bank's own rules refuse, and a statement that is no statement.
    if (onServer()) {
        bank->execute("CREATE FUNCTION refuse() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN RAISE "
                      "check_violation USING MESSAGE = 'disk full'; END $$");
        bank->execute("CREATE TRIGGER refuse BEFORE INSERT ON 难度 FOR EACH ROW EXECUTE FUNCTION refuse()");
    } else {
        bank->execute("CREATE TRIGGER refuse BEFORE INSERT ON 难度 BEGIN SELECT RAISE(ABORT, 'disk full'); END");
    }
    e = failure([&] { bank->addRow("难度", {{"难度", "1.1"}}); });
    EXPECT_EQ(e.message(), "试题库操作失败：\r" + shown + "\r\r要写入的数据不符合试题库的规定，没有写入。");
    EXPECT_TRUE(e.details().contains("disk full"));
    e = failure([&] { bank->query("this is not a statement"); });
    EXPECT_EQ(e.message(), "试题库操作失败：\r" + shown + "\r\r读写试题库时出错，这项操作没有完成。");
    EXPECT_TRUE(e.details().contains("syntax error")) << e.details().toStdString();
    for (const char* english : {"syntax", "no such", "SQLite", "PostgreSQL", "INSERT", "relation"})
        EXPECT_FALSE(e.message().contains(english));
}

TEST_P(BankTest, TheSixTablesAreCheckedWithTheirColumnsByName) {
    EXPECT_EQ(bank->schemaProblem(), "");
    // Extra tables and columns, and columns in another order, are fine.
    bank->execute("CREATE TABLE 备注 (内容 TEXT)");
    bank->execute("ALTER TABLE 难度 ADD COLUMN 说明 TEXT");
    bank->execute("DROP TABLE 题型");
    bank->execute("CREATE TABLE 题型 (序号 INTEGER, 题型 TEXT)");
    EXPECT_EQ(bank->schemaProblem(), "");

    bank->execute("ALTER TABLE 试题库 DROP COLUMN 使用次数");
    bank->execute("DROP TABLE 试题来源");
    if (onServer()) {
        EXPECT_EQ(bank->schemaProblem(), "学校题库不完整，缺少：数据表<试题库>的列<使用次数>、数据表<试题来源>\r" +
                                             bank->shown() + "\r\r请学校题库的管理员检查这个数据库。");
    } else {
        EXPECT_EQ(bank->schemaProblem(), "试题库文件不完整，缺少：数据表<试题库>的列<使用次数>、数据表<试题来源>\r" +
                                             QDir::toNativeSeparators(path) + "\r\r请用完整的试题库文件替换它。");
    }
}

TEST(BankFiles, BadFilesAreRefusedWithAMessageNamingTheFile) {
    TempFolder folder;
    const QString missing = folder.file("没有.mdb");
    const QString empty = folder.file("空.mdb");
    const QString text = folder.file("文本.mdb");
    const QString access = folder.file("旧题库.mdb");
    const QString foreign = folder.file("别的数据库.mdb");
    zs::test::TestApp::touch(empty);
    {
        QFile f(text);
        f.open(QIODevice::WriteOnly);
        f.write("这不是数据库");
    }
    {
        QFile f(access);
        f.open(QIODevice::WriteOnly);
        QByteArray head(4, '\0');
        head[1] = 1;
        f.write(head + "Standard Jet DB" + QByteArray(200, '\0'));
    }
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "foreign");
        db.setDatabaseName(foreign);
        db.open();
        QSqlQuery(db).exec("create table t (a)");
        db.close();
    }
    QSqlDatabase::removeDatabase("foreign");

    struct Case {
        QString file;
        QString words;
    } cases[] = {{missing, "找不到"}, {empty, "空的"}, {text, "不是试题库文件"}, {access, "Access"}, {foreign, "缺少"}};
    for (const Case& c : cases) {
        try {
            Bank bank(c.file);
            ADD_FAILURE() << "opened " << c.file.toStdString();
        } catch (const StoreError& e) {
            EXPECT_TRUE(e.message().contains(c.words)) << e.message().toStdString();
            EXPECT_TRUE(e.message().contains(QFileInfo(c.file).fileName())) << e.message().toStdString();
        }
    }
    // Nothing was written into the refused files.
    EXPECT_EQ(QFileInfo(empty).size(), 0);
    EXPECT_FALSE(QFileInfo::exists(missing));
}

TEST(BankFiles, ADamagedBankIsRefusedSayingSoWithTheDatabaseWordsInTheDetails) {
    TempFolder folder;
    const QString path = folder.file("坏.mdb");
    Bank::create(path);
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.seek(100);
        f.write(QByteArray(3000, '\xff'));
    }
    try {
        Bank bank(path);
        FAIL() << "opened";
    } catch (const StoreError& e) {
        EXPECT_EQ(e.message(), "无法读取试题库文件：\r" + QDir::toNativeSeparators(path) +
                                   "\r\r试题库文件已经损坏，无法读写。请用备份的试题库文件替换它。");
        EXPECT_EQ(e.details(), "SQLite：database disk image is malformed");
    }
}

TEST(BankFiles, AReadOnlyBankIsRefusedForWritingButReadable) {
    TempFolder folder;
    const QString path = folder.file("只读.mdb");
    Bank::create(path);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadUser);
    if (QFileInfo(path).isWritable())
        GTEST_SKIP() << "running as a user who can write read-only files";
    EXPECT_THROW(Bank bank(path), StoreError);
    Bank reader(path, Bank::Mode::ReadOnly);
    EXPECT_EQ(reader.query("select 题型 from 题型").count(), 8);
}

TEST_P(BankTest, TheProgramsOwnSettingsAreKeptAndReplaced) {
    EXPECT_EQ(bank->setting("近期用过不选天数"), "");
    bank->setSetting("近期用过不选天数", "14");
    bank->setSetting("近期用过不选天数", "7");
    EXPECT_EQ(bank->setting("近期用过不选天数"), "7");
    EXPECT_EQ(bank->query("select 设置项 from 组卷设置").count(), 1);
}
