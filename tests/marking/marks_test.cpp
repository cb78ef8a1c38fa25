// Scores given on screen: what the teacher types, the order answers come in,
// and every score stored at once on a file bank and a school bank, with two
// teachers marking one paper at the same time.

#include "marking/marks.h"
#include "store/bank.h"
#include "support/pgcluster.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>
#include <thread>

using namespace zs;

TEST(ScoreEntry, NumbersWithinTheFullMarkInItsSteps) {
    EXPECT_EQ(readScoreEntry("7", 10).score, 7.0);
    EXPECT_EQ(readScoreEntry(" 7.5 ", 10).score, 7.5);
    EXPECT_EQ(readScoreEntry("７．５", 10).score, 7.5);  // typed with a Chinese input method
    EXPECT_EQ(readScoreEntry("0", 10).score, 0.0);
    EXPECT_EQ(readScoreEntry("10", 10).score, 10.0);
    EXPECT_EQ(readScoreEntry("11", 10).refusal, "分数要在 0 到 10 分之间。");
    EXPECT_EQ(readScoreEntry("-1", 10).refusal, "分数要在 0 到 10 分之间。");
    EXPECT_EQ(readScoreEntry("7.3", 10).refusal, "分数要按 0.5 分一档给。");
    EXPECT_EQ(readScoreEntry("2", 6, 2).score, 2.0);
    EXPECT_FALSE(readScoreEntry("3", 6, 2).score);
    EXPECT_EQ(readScoreEntry("abc", 10).refusal, "“abc”不是分数。");
    EXPECT_FALSE(readScoreEntry("", 10).score);
    EXPECT_FALSE(readScoreEntry("nan", 10).score);
}

TEST(MarkingQueue, AnswersComeInOneOrderAndProblemsComeBackLast) {
    const QStringList students{"03", "01", "02", "04", "02"};
    MarkingQueue plain(students, {});
    EXPECT_EQ(plain.students(), QStringList({"01", "02", "03", "04"}));
    // The anonymous order is the same for every teacher of the question.
    MarkingQueue a(students, {}, 77), b(students, {}, 77);
    EXPECT_EQ(a.students(), b.students());
    EXPECT_EQ(a.students().size(), 4);

    // "02" marked before by another teacher: the queue starts at "01", then skips it.
    MarkingQueue q(students, {{"02", Mark{"02", 5, 4, false, "李老师", {}}}});
    EXPECT_EQ(q.current(), "01");
    EXPECT_EQ(q.marked(), 1);
    q.give({"01", 5, 6, false, "张老师", {}});
    EXPECT_EQ(q.current(), "03");
    q.give({"03", 5, 0, true, "张老师", {}});  // set aside
    EXPECT_EQ(q.current(), "04");
    EXPECT_EQ(q.marked(), 2);
    EXPECT_EQ(q.problems(), 1);
    q.give({"04", 5, 6, false, "张老师", {}});
    EXPECT_EQ(q.current(), "03");  // the problem comes back
    q.give({"03", 5, 2, false, "张老师", {}});
    EXPECT_EQ(q.marked(), 4);
    EXPECT_EQ(q.current(), "03");  // nothing left: it stays
    EXPECT_DOUBLE_EQ(q.mean(), 4.5);
    EXPECT_EQ(q.distribution(), (QVector<QPair<double, int>>{{2, 1}, {4, 1}, {6, 2}}));
    // Back to an earlier answer, and the score taken back.
    ASSERT_TRUE(q.back());
    EXPECT_EQ(q.current(), "02");
    q.forget("02");
    EXPECT_TRUE(q.needsMark("02"));
    EXPECT_TRUE(q.toFirstUnmarked());
    EXPECT_EQ(q.current(), "02");
    MarkingQueue empty({}, {});
    EXPECT_EQ(empty.current(), "");
    EXPECT_FALSE(empty.back());
    EXPECT_FALSE(empty.forward());
}

class MarkStore : public test::BothStores {};
ZS_BOTH_STORES(MarkStore);

TEST_P(MarkStore, AScoreIsStoredReplacedAndTakenBack) {
    ZS_MAKE_BANK();
    Bank bank(location);
    ensureMarkTables(bank);
    const QDateTime when(QDate(2026, 12, 10), QTime(9, 30));
    storeMark(bank, 1, {"20260001", 5, 6, false, "张老师", when});
    storeMark(bank, 1, {"20260002", 5, 0, true, "张老师", when});
    storeMark(bank, 2, {"20260001", 5, 3, false, "张老师", when});                // another paper
    storeMark(bank, 1, {"20260001", 5, 7.5, false, "李老师", when.addSecs(60)});  // marked again
    const QHash<QString, Mark> marks = questionMarks(bank, 1, 5);
    ASSERT_EQ(marks.size(), 2);
    EXPECT_DOUBLE_EQ(marks["20260001"].score, 7.5);
    EXPECT_EQ(marks["20260001"].marker, "李老师");
    EXPECT_EQ(marks["20260001"].when, when.addSecs(60));
    EXPECT_TRUE(marks["20260002"].problem);
    removeMark(bank, 1, "20260002", 5);
    EXPECT_EQ(questionMarks(bank, 1, 5).size(), 1);
    EXPECT_EQ(paperMarks(bank, 2).size(), 1);
}

TEST_P(MarkStore, TwoTeachersMarkingOnePaperAtOnceLoseNothing) {
    ZS_MAKE_BANK();
    {
        Bank bank(location);
        ensureMarkTables(bank);
    }
    // Each teacher marks a question of their own for 60 students, on their
    // own connection, at the same time.
    auto teacher = [&](int question, const QString& name) {
        Bank bank(location);
        for (int s = 0; s < 60; ++s)
            storeMark(bank, 7,
                      {QString::number(s), question, double(s % 5), false, name, QDateTime::currentDateTime()});
    };
    std::thread first(teacher, 3, QStringLiteral("张老师"));
    std::thread second(teacher, 4, QStringLiteral("李老师"));
    first.join();
    second.join();
    Bank bank(location);
    EXPECT_EQ(questionMarks(bank, 7, 3).size(), 60);
    EXPECT_EQ(questionMarks(bank, 7, 4).size(), 60);
    EXPECT_EQ(questionMarks(bank, 7, 4)["12"].marker, "李老师");
}
