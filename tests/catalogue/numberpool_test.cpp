// Refilling the pool of free question numbers on real banks and documents.

#include "catalogue/numberpool.h"
#include "store/paths.h"
#include "support/testsupport.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace zs;
using test::TestApp;

namespace {

class NumberPoolTest : public ::testing::Test {
protected:
    // A complete question: both documents and one row.
    void complete(const QString& number) {
        TestApp::touch(questionDocumentPath(app.bankPath(), number));
        TestApp::touch(answerDocumentPath(app.bankPath(), number));
        row(number);
    }
    void row(const QString& number) {
        Bank(app.bankPath())
            .addRow("试题库", {{"题目编号", number}, {"考查范围", "a"}, {"试题识别码", "张三-" + number}});
    }
    QStringList poolSlots() const {
        QStringList out;
        for (int i = 1; i <= NumberPool::kSlots; ++i)
            out << pool.slot(i);
        return out;
    }
    static QStringList range(int from, int to) {
        QStringList out;
        for (int n = from; n <= to; ++n)
            out << QString::number(n).rightJustified(5, '0');
        return out;
    }
    int rowsOf(const QString& number) {
        return Bank(app.bankPath()).query("select * from 试题库 where 题目编号='" + number + "'").count();
    }

    TestApp app;
    NumberPool pool;
};

}  // namespace

TEST_F(NumberPoolTest, AnEmptyBankGivesTheFirstFiftyNumbersWithProgressToTheEnd) {
    QList<int> progress;
    const RefillResult r = refillNumberPool(pool, app.bankPath(), [&](int i) { progress << i; });
    EXPECT_TRUE(r.completed);
    EXPECT_EQ(poolSlots(), range(1, 50));
    ASSERT_EQ(progress.size(), 50);
    EXPECT_EQ(progress.first(), 1);
    EXPECT_EQ(progress.last(), 50);
}

TEST_F(NumberPoolTest, NumbersInUseAreSkipped) {
    for (const char* n : {"00001", "00002", "00003"})
        complete(n);
    refillNumberPool(pool, app.bankPath());
    EXPECT_EQ(poolSlots(), range(4, 53));
    EXPECT_EQ(rowsOf("00002"), 1);
    EXPECT_TRUE(QFile::exists(questionDocumentPath(app.bankPath(), "00002")));
}

TEST_F(NumberPoolTest, AbandonedEntriesAreReclaimed) {
    complete("00001");
    // An entry abandoned before saving: a question document only.
    TestApp::touch(questionDocumentPath(app.bankPath(), "00002"));
    // Rows whose answer document is missing.
    TestApp::touch(questionDocumentPath(app.bankPath(), "00005"));
    row("00005");
    row("00005");
    refillNumberPool(pool, app.bankPath());
    EXPECT_EQ(pool.slot(1), "00002");
    EXPECT_FALSE(QFile::exists(questionDocumentPath(app.bankPath(), "00002")));
    // A question is never deleted because a document of it is missing: 00005
    // keeps its rows, its question document and its number.
    EXPECT_TRUE(QFile::exists(questionDocumentPath(app.bankPath(), "00005")));
    EXPECT_EQ(rowsOf("00005"), 2);
    EXPECT_FALSE(poolSlots().contains("00005"));
    EXPECT_EQ(rowsOf("00001"), 1);
}

TEST_F(NumberPoolTest, RowsWhoseDocumentsAreAllMissingKeepTheirNumber) {
    complete("00001");
    row("00002");
    TestApp::touch(answerDocumentPath(app.bankPath(), "00004"));  // a stray answer, no rows
    EXPECT_TRUE(refillNumberPool(pool, app.bankPath()).completed);
    EXPECT_EQ(rowsOf("00002"), 1);
    EXPECT_EQ(pool.slot(1), "00003");
    EXPECT_EQ(pool.slot(2), "00004");
    EXPECT_FALSE(QFile::exists(answerDocumentPath(app.bankPath(), "00004")));
}

TEST_F(NumberPoolTest, DocumentsWithoutRowsAreMovedAsideNeverDeleted) {
    // A bank put back from yesterday's copy: 00002 and 00003 have documents
    // (with the teacher's text) but no rows any more.
    complete("00001");
    for (const QString& n : {QString("00002"), QString("00003")}) {
        QFile q(questionDocumentPath(app.bankPath(), n));
        ASSERT_TRUE(q.open(QIODevice::WriteOnly));
        q.write("题目 " + n.toUtf8());
        q.close();
        TestApp::touch(answerDocumentPath(app.bankPath(), n));
    }
    const QDate today(2026, 12, 9);
    const QString strays = strayFolderOf(app.bankPath(), today);
    EXPECT_EQ(strays, QDir(app.documents()).filePath("已移出-2026年12月09日"));
    // A file of that name is there already from an earlier move.
    QDir().mkpath(strays);
    TestApp::touch(QDir(strays).filePath("00002-题目.doc"));

    const RefillResult r = refillNumberPool(pool, app.bankPath(), {}, today);
    EXPECT_TRUE(r.completed);
    EXPECT_EQ(r.notice, "有 2 道试题的文档在试题库里没有记录（例如试题库是从较早的备份恢复的），它们没有被删除，"
                        "已经移到下面这个文件夹，需要时可以从那里找回：\r" +
                            QDir::toNativeSeparators(strays));
    // The numbers are free again, and nothing of the teacher's is lost.
    EXPECT_EQ(pool.slot(1), "00002");
    EXPECT_EQ(pool.slot(2), "00003");
    EXPECT_FALSE(QFile::exists(questionDocumentPath(app.bankPath(), "00002")));
    QFile kept(QDir(strays).filePath("00002-题目(2).doc"));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "题目 00002");
    EXPECT_TRUE(QFile::exists(QDir(strays).filePath("00003-答案.doc")));

    // Told once: the next refill finds nothing to move.
    NumberPool again;
    EXPECT_TRUE(refillNumberPool(again, app.bankPath(), {}, today).notice.isEmpty());
}

TEST_F(NumberPoolTest, RowsWithoutANumberAreLeftAloneAndTheirCodesNumbersKept) {
    complete("00001");
    // Question 00002 lost its number in the bank; its documents are there.
    TestApp::touch(questionDocumentPath(app.bankPath(), "00002"));
    TestApp::touch(answerDocumentPath(app.bankPath(), "00002"));
    Bank bank(app.bankPath());
    bank.addRow("试题库", {{"考查范围", "a"}, {"试题识别码", "张三-00002"}});
    bank.addRow("试题库", {{"题目编号", ""}, {"考查范围", "b"}, {"试题识别码", "李四-00004"}});
    bank.addRow("试题库", {{"题目编号", " "}, {"考查范围", "c"}});
    const RefillResult r = refillNumberPool(pool, app.bankPath());
    EXPECT_TRUE(r.completed);
    EXPECT_EQ(pool.slot(1), "00003");
    EXPECT_EQ(pool.slot(2), "00005");
    EXPECT_TRUE(QFile::exists(questionDocumentPath(app.bankPath(), "00002")));
    EXPECT_TRUE(QFile::exists(answerDocumentPath(app.bankPath(), "00002")));
    EXPECT_EQ(bank.query("select * from 试题库").count(), 4);
    EXPECT_EQ(r.notice,
              "试题库里有 3 条试题记录没有题目编号（试题识别码：张三-00002、李四-00004、（没有试题识别码））。\r\r"
              "这些记录没有被删除，它们的题目和答案文档也没有被改动；按试题识别码末尾的编号，"
              "这些编号不会分给新的试题。\r请在<查看修改>中查看这些试题，并请人修复试题库中的题目编号。");
    // A bank without such rows has nothing to tell.
    TestApp other;
    NumberPool otherPool;
    EXPECT_TRUE(refillNumberPool(otherPool, other.bankPath()).notice.isEmpty());
}

TEST_F(NumberPoolTest, ASlotStillHoldingANumberCountsItAsTaken) {
    for (int i = 1; i <= 50; ++i)
        pool.setSlot(i, range(i, i).first());
    refillNumberPool(pool, app.bankPath());
    EXPECT_EQ(poolSlots(), range(2, 51));
}

TEST_F(NumberPoolTest, APartlyUsedPoolIsRebuiltFromTheLowestFreeNumber) {
    for (const char* n : {"00001", "00002", "00003"})
        complete(n);
    for (int i = 4; i <= 50; ++i)
        pool.setSlot(i, range(i, i).first());
    refillNumberPool(pool, app.bankPath());
    EXPECT_EQ(poolSlots(), range(4, 53));
}

TEST_F(NumberPoolTest, AMissingDocumentsFolderNeverDeletesQuestions) {
    complete("00001");
    complete("00002");
    ASSERT_TRUE(QDir(app.documents()).removeRecursively());
    const RefillResult r = refillNumberPool(pool, app.bankPath());
    EXPECT_FALSE(r.completed);
    EXPECT_TRUE(r.message.contains("试题源文件")) << r.message.toStdString();
    EXPECT_TRUE(r.message.startsWith("试题源文件夹不见了！")) << r.message.toStdString();
    EXPECT_TRUE(r.message.contains(QDir::toNativeSeparators(app.documents())));
    EXPECT_EQ(rowsOf("00001"), 1);
    EXPECT_EQ(rowsOf("00002"), 1);
    EXPECT_TRUE(pool.isEmpty(1));
    EXPECT_FALSE(QFileInfo::exists(app.documents()));
}

TEST_F(NumberPoolTest, AnEmptiedDocumentsFolderNeverDeletesQuestionsEither) {
    // The folder was lost and made anew, empty: 50 questions look abandoned.
    for (int n = 1; n <= 50; ++n)
        complete(range(n, n).first());
    ASSERT_TRUE(QDir(app.documents()).removeRecursively());
    ASSERT_TRUE(QDir().mkpath(app.documents()));
    const RefillResult r = refillNumberPool(pool, app.bankPath());
    EXPECT_FALSE(r.completed);
    EXPECT_TRUE(r.message.startsWith("试题源文件夹里的试题文档都不见了！")) << r.message.toStdString();
    EXPECT_TRUE(r.message.contains("试题库里有 50 道试题"));
    EXPECT_EQ(Bank(app.bankPath()).query("select * from 试题库").count(), 50);
    EXPECT_TRUE(pool.isEmpty(1));
}

TEST_F(NumberPoolTest, AMissingDocumentsFolderOfAnEmptyBankIsMade) {
    ASSERT_TRUE(QDir(app.documents()).removeRecursively());
    EXPECT_TRUE(refillNumberPool(pool, app.bankPath()).completed);
    EXPECT_TRUE(QFileInfo(app.documents()).isDir());
    EXPECT_EQ(pool.slot(1), "00001");
}

TEST_F(NumberPoolTest, TheScanStopsAtTheHighestNumberWithAMessage) {
    // Every number but the last few is in use: the pool cannot be filled.
    Bank bank(app.bankPath());
    bank.transaction([&] {
        for (int n = 1; n <= kHighestQuestionNumber - 3; ++n)
            bank.addRow("试题库", {{"题目编号", QString::number(n).rightJustified(5, '0')}});
    });
    for (int n = 1; n <= kHighestQuestionNumber - 3; ++n) {
        TestApp::touch(questionDocumentPath(app.bankPath(), QString::number(n).rightJustified(5, '0')));
        TestApp::touch(answerDocumentPath(app.bankPath(), QString::number(n).rightJustified(5, '0')));
    }
    const RefillResult r = refillNumberPool(pool, app.bankPath());
    EXPECT_FALSE(r.completed);
    EXPECT_TRUE(r.message.contains("32767"));
    EXPECT_EQ(pool.slot(1), "32765");
    EXPECT_EQ(pool.slot(3), "32767");
    EXPECT_TRUE(pool.isEmpty(4));
}
