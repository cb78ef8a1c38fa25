// Two teachers on one server bank at the same moment: numbers handed out once,
// a question stored once per number, a change made on rows changed meanwhile
// refused, and nothing half-written.

#include "catalogue/numberpool.h"
#include "questions/questionrecord.h"
#include "questions/questionsearch.h"
#include "store/bank.h"
#include "store/paths.h"
#include "store/serverdocuments.h"
#include "store/serverlocation.h"
#include "support/pgcluster.h"
#include "support/samplebank.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <atomic>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>

using namespace zs;
using namespace zs::test;

namespace {

class SharedBank : public ::testing::Test {
protected:
    void SetUp() override {
        if (!PostgresCluster::instance())
            GTEST_SKIP() << PostgresCluster::unavailableReason().toStdString();
        location = newBank(StoreKind::Server, folder);
        Bank bank(location);
        addSampleCatalogue(bank);
    }
    static QuestionRecord record(const QString& number, const QString& teacher, const QString& type = "单选题") {
        QuestionRecord r;
        r.number = number;
        r.code = makeIdentificationCode(teacher, number);
        r.type = type;
        r.difficulty = "0.5";
        r.date = QDate(2024, 3, 7);
        r.teacher = teacher;
        r.scopes = {{kSection11, "1-A"}, {kSection12, "2-E"}};
        return r;
    }
    static QSet<QString> numbersOf(const NumberPool& pool) {
        QSet<QString> out;
        for (int i = 1; i <= NumberPool::kSlots; ++i)
            out.insert(pool.slot(i));
        return out;
    }
    // Runs two pieces of work on two threads that start together.
    static void together(const std::function<void()>& a, const std::function<void()>& b) {
        std::atomic<int> ready{0};
        auto start = [&](const std::function<void()>& work) {
            return std::thread([&ready, work] {
                ++ready;
                while (ready < 2)
                    std::this_thread::yield();
                work();
            });
        };
        std::thread first = start(a);
        std::thread second = start(b);
        first.join();
        second.join();
    }

    TempFolder folder;
    QString location;
};

}  // namespace

TEST_F(SharedBank, TwoPoolsFilledAtOnceNeverShareANumber) {
    {
        Bank bank(location);
        addQuestion(bank, record("00001", "张三"));
    }
    NumberPool mine, theirs;
    RefillResult a, b;
    together([&] { a = refillNumberPool(mine, location); }, [&] { b = refillNumberPool(theirs, location); });
    ASSERT_TRUE(a.completed) << a.message.toStdString();
    ASSERT_TRUE(b.completed) << b.message.toStdString();
    const QSet<QString> x = numbersOf(mine), y = numbersOf(theirs);
    EXPECT_EQ(x.size(), 50);
    EXPECT_EQ(y.size(), 50);
    EXPECT_FALSE(x.intersects(y));
    EXPECT_FALSE(x.contains("00001"));
    EXPECT_FALSE(y.contains("00001"));
    // Together they are the lowest free numbers, each pool in rising order.
    QSet<QString> all = x + y;
    for (int n = 2; n <= 101; ++n)
        EXPECT_TRUE(all.contains(QString::number(n).rightJustified(5, '0'))) << n;

    // Storing a number ends its reservation; a refill gives back the pool's
    // earlier numbers and takes the lowest free ones again, never the other pool's.
    {
        Bank bank(location);
        addQuestion(bank, record(mine.slot(1), "张三"));
        EXPECT_EQ(bank.query("select * from 题目编号预留 where 题目编号='" + mine.slot(1) + "'").count(), 0);
        EXPECT_EQ(bank.query("select * from 题目编号预留").count(), 99);
    }
    const QString used = mine.slot(1);
    mine.setSlot(1, QString());
    ASSERT_TRUE(refillNumberPool(mine, location).completed);
    EXPECT_FALSE(numbersOf(mine).intersects(y));
    EXPECT_FALSE(numbersOf(mine).contains(used));
    EXPECT_EQ(Bank(location).query("select * from 题目编号预留").count(), 100);
}

TEST_F(SharedBank, OneNumberEnteredByTwoTeachersAtOnceIsStoredOnce) {
    for (int round = 0; round < 5; ++round) {
        const QString number = QString::number(10 + round).rightJustified(5, '0');
        std::atomic<int> stored{0};
        QStringList refusals;
        std::mutex guard;
        auto enter = [&](const QString& teacher) {
            try {
                Bank bank(location);
                addQuestion(bank, record(number, teacher));
                ++stored;
            } catch (const StoreError& e) {
                std::lock_guard lock(guard);
                refusals << e.message();
            }
        };
        together([&] { enter("张三"); }, [&] { enter("李四"); });
        EXPECT_EQ(stored, 1);
        ASSERT_EQ(refusals.size(), 1);
        EXPECT_EQ(refusals[0], "题目编号 " + number +
                                   " 已经被别的老师用了，这道题没有保存。\r请关闭<试题录入>后重新打开，再录入这道题。");
        // One teacher's two rows, never a mixture.
        const RowSet rows = Bank(location).query("select * from 试题库 where 题目编号='" + number + "'");
        ASSERT_EQ(rows.count(), 2);
        EXPECT_EQ(rows.text(0, "入库教师"), rows.text(1, "入库教师"));
    }
}

TEST_F(SharedBank, TheSecondChangeOfOneQuestionIsRefusedAndLosesNothing) {
    {
        Bank bank(location);
        addQuestion(bank, record("00001", "张三"));
    }
    // Both teachers search and see revision 1.
    QuestionBrowser first, second;
    {
        Bank bank(location);
        first.search(bank, "select * from 试题库 where 考查范围 like '%'");
        second.search(bank, "select * from 试题库 where 考查范围 like '%'");
    }
    Bank bank(location);
    const DisplayedQuestion seenByFirst = loadDisplayedQuestion(bank, first.results);
    const DisplayedQuestion seenBySecond = loadDisplayedQuestion(bank, second.results);
    ASSERT_EQ(seenByFirst.revision, std::optional<qlonglong>(1));

    QuestionRecord change = record("00001", "张三", "填空题");
    change.revision = seenByFirst.revision;
    EXPECT_EQ(replaceQuestion(bank, change), 2);

    QuestionRecord late = record("00001", "李四", "解答题");
    late.scopes = {{kSection21, "1-F"}};
    late.revision = seenBySecond.revision;
    try {
        replaceQuestion(bank, late);
        FAIL() << "the second change was stored";
    } catch (const StoreError& e) {
        EXPECT_EQ(e.message(), "该题已被其他老师修改，请重新搜索后再修改。");
    }
    // The first change stands, whole.
    RowSet rows = bank.query("select * from 试题库 where 题目编号='00001'");
    ASSERT_EQ(rows.count(), 2);
    for (int r = 0; r < rows.count(); ++r) {
        EXPECT_EQ(rows.text(r, "题型"), "填空题");
        EXPECT_EQ(rows.value(r, "修订号").toLongLong(), 2);
    }
    // Searched again, the second teacher's change goes through.
    second.search(bank, "select * from 试题库 where 考查范围 like '%'");
    late.revision = loadDisplayedQuestion(bank, second.results).revision;
    EXPECT_EQ(replaceQuestion(bank, late), 3);
    rows = bank.query("select * from 试题库 where 题目编号='00001'");
    ASSERT_EQ(rows.count(), 1);
    EXPECT_EQ(rows.text(0, "题型"), "解答题");
    EXPECT_EQ(rows.text(0, "入库教师"), "张三");  // the entering teacher is kept

    // A question deleted meanwhile is not brought back by a change.
    deleteQuestion(bank, "00001");
    late.revision = 3;
    EXPECT_THROW(replaceQuestion(bank, late), StoreError);
    EXPECT_TRUE(bank.query("select * from 试题库 where 题目编号='00001'").isEmpty());
}

TEST_F(SharedBank, TwoChangesAtOnceOnTheSameRevisionStoreOneOfThem) {
    {
        Bank bank(location);
        addQuestion(bank, record("00003", "张三"));
    }
    std::atomic<int> stored{0}, refused{0};
    auto change = [&](const QString& type) {
        QuestionRecord r = record("00003", "张三", type);
        r.revision = 1;
        try {
            Bank bank(location);
            replaceQuestion(bank, r);
            ++stored;
        } catch (const StoreError& e) {
            if (e.message() == kChangedByOtherMessage)
                ++refused;
        }
    };
    together([&] { change("填空题"); }, [&] { change("判断题"); });
    EXPECT_EQ(stored, 1);
    EXPECT_EQ(refused, 1);
    const RowSet rows = Bank(location).query("select * from 试题库 where 题目编号='00003'");
    ASSERT_EQ(rows.count(), 2);
    EXPECT_EQ(rows.text(0, "题型"), rows.text(1, "题型"));
}

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

}  // namespace

TEST_F(SharedBank, DocumentsTravelWithTheirRowsBetweenComputers) {
    // Two computers: each fetches into a cache folder of its own.
    TempFolder firstComputer, secondComputer;
    static const char kQuestionBytes[] = "\xd0\xcf\x11\xe0 question \x00\xff bytes";
    const QByteArray question(kQuestionBytes, sizeof kQuestionBytes - 1);
    setServerCacheRoot(firstComputer.path());
    {
        Bank bank(location);
        writeFile(questionDocumentPath(location, "00001"), question);
        writeFile(answerDocumentPath(location, "00001"), "answer");
        addQuestion(bank, record("00001", "张三"));
        EXPECT_EQ(bank.query("select * from 试题文档").count(), 2);
    }

    setServerCacheRoot(secondComputer.path());
    EXPECT_FALSE(QFileInfo::exists(questionDocumentPath(location, "00001")));
    {
        Bank bank(location);
        fetchDocuments(bank, {"00001"});
    }
    EXPECT_EQ(readFile(questionDocumentPath(location, "00001")), question);
    EXPECT_EQ(readFile(answerDocumentPath(location, "00001")), "answer");

    // A change on the second computer reaches the first with its rows.
    writeFile(answerDocumentPath(location, "00001"), "better answer");
    {
        Bank bank(location);
        QuestionRecord change = record("00001", "张三", "填空题");
        change.revision = 1;
        replaceQuestion(bank, change);
    }
    setServerCacheRoot(firstComputer.path());
    EXPECT_EQ(readFile(answerDocumentPath(location, "00001")), "answer");
    {
        Bank bank(location);
        fetchDocuments(bank, {"00001"});
        EXPECT_EQ(bank.query("select 修订号 from 试题文档 where 文件名='00001-答案.doc'").value(0, 0).toLongLong(), 2);
    }
    EXPECT_EQ(readFile(answerDocumentPath(location, "00001")), "better answer");
    EXPECT_EQ(readFile(questionDocumentPath(location, "00001")), question);

    // A refused entry stores no documents; a deletion takes them with the rows.
    writeFile(answerDocumentPath(location, "00001"), "overwritten by a refused entry");
    {
        Bank bank(location);
        EXPECT_THROW(addQuestion(bank, record("00001", "李四")), StoreError);
        fetchDocuments(bank, {"00001"});
    }
    {
        Bank bank(location);
        EXPECT_EQ(bank.query("select 内容 from 试题文档 where 文件名='00001-答案.doc'").value(0, 0).toByteArray(),
                  "better answer");
        deleteQuestion(bank, "00001");
        EXPECT_TRUE(bank.query("select * from 试题文档").isEmpty());
        EXPECT_TRUE(bank.query("select * from 试题库").isEmpty());
    }
}
