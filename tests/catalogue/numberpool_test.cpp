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
    EXPECT_FALSE(QFile::exists(questionDocumentPath(app.bankPath(), "00005")));
    EXPECT_EQ(rowsOf("00005"), 0);
    EXPECT_TRUE(poolSlots().contains("00005"));
    EXPECT_EQ(rowsOf("00001"), 1);
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
    EXPECT_EQ(rowsOf("00001"), 1);
    EXPECT_EQ(rowsOf("00002"), 1);
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
