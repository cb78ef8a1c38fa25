// The specification table's row commands, the smart sort and the special
// training query.

#include "paper/smartsort.h"
#include "paper/spectable.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>
#include <tuple>

using namespace zs;

namespace {

SpecTable tableOf(const QList<QPair<QString, QString>>& typeAndDifficulty) {
    SpecTable t(int(typeAndDifficulty.size()));
    for (int i = 0; i < typeAndDifficulty.size(); ++i) {
        const auto& [type, difficulty] = typeAndDifficulty[i];
        if (!type.isEmpty())
            t.fillRow(i + 1, QString::number(i + 1).rightJustified(5, '0'), "张三-" + QString::number(i + 1), type,
                      difficulty, "a\\b", "1-x");
    }
    t.numberRows();
    t.setCell(0, SpecTable::QuestionNumber, "题目编号");
    return t;
}

QStringList column(const SpecTable& t, int c) {
    QStringList out;
    for (int r = 1; r < t.rows(); ++r)
        out << t.cell(r, c);
    return out;
}

}  // namespace

TEST(SpecTableRows, InsertDeleteAndSwapKeepTheRowNumbers) {
    SpecTable t(24);
    for (int r = 1; r <= 24; ++r)
        t.setCell(r, SpecTable::Code, "c" + QString::number(r));
    t.numberRows();
    t.insertEmptyRows(5, 3);
    t.numberRows();
    EXPECT_EQ(t.dataRows(), 27);
    EXPECT_TRUE(t.cell(5, SpecTable::Code).isEmpty() && t.cell(7, SpecTable::Code).isEmpty());
    EXPECT_EQ(t.cell(8, SpecTable::Code), "c5");
    EXPECT_EQ(t.cell(27, SpecTable::Number), "27");

    t.removeRow(3);
    EXPECT_EQ(t.dataRows(), 26);
    EXPECT_EQ(t.cell(3, SpecTable::Code), "c4");

    t.swapRows(1, 2);
    EXPECT_EQ(t.cell(1, SpecTable::Code), "c2");
    EXPECT_EQ(t.cell(1, SpecTable::Number), "1");  // numbers never move
    t.swapRows(26, 27);                            // past the end: nothing
    t.swapRows(1, 0);                              // the header: nothing
    EXPECT_EQ(t.cell(0, SpecTable::Code), "题目识别码");
}

TEST(SpecTableRows, DeletingAQuestionRemovesAllItsRowsButNeverTheLastRow) {
    SpecTable t(10);
    for (int r : {3, 4, 9})
        t.setCell(r, SpecTable::QuestionNumber, "00007");
    t.setCell(5, SpecTable::QuestionNumber, "00008");
    EXPECT_EQ(t.removeQuestion(7), 3);
    EXPECT_EQ(t.dataRows(), 7);
    EXPECT_EQ(t.cell(3, SpecTable::QuestionNumber), "00008");

    SpecTable only(2);
    only.setCell(1, SpecTable::QuestionNumber, "00001");
    only.setCell(2, SpecTable::QuestionNumber, "00001");
    only.removeQuestion(1);
    EXPECT_EQ(only.dataRows(), 1);
    EXPECT_TRUE(only.cell(1, SpecTable::QuestionNumber).isEmpty());
}

TEST(SmartSort, GroupsByTheTypeOrderAndOrdersDifficultyAsText) {
    SpecTable t = tableOf({{"填空题", "0.3"}, {"单选题", "0.5"}, {"", ""}, {"单选题", "0.2"}, {"作文题", "0.9"}});
    smartSort(t);
    EXPECT_EQ(column(t, SpecTable::Type), QStringList({"单选题", "单选题", "填空题", "作文题", ""}));
    EXPECT_EQ(column(t, SpecTable::Difficulty), QStringList({"0.2", "0.5", "0.3", "0.9", ""}));

    SpecTable text = tableOf({{"单选题", "3"}, {"单选题", "1"}, {"单选题", "9"}, {"单选题", "10"}, {"单选题", "2"}});
    smartSort(text);
    EXPECT_EQ(column(text, SpecTable::Difficulty), QStringList({"1", "10", "2", "3", "9"}));
}

TEST(SmartSort, UnknownTypesComeAfterTheListedOnes) {
    SpecTable t = tableOf({{"连线题", "0.1"}, {"解答题", "0.5"}, {"单选题", "0.5"}});
    smartSort(t);
    EXPECT_EQ(column(t, SpecTable::Type), QStringList({"单选题", "解答题", "连线题"}));
}

TEST(SpecialTraining, OneConditionPerKnowledgeLine) {
    const QStringList points = specialTrainingPoints("力学-重力\r力学-弹力");
    EXPECT_EQ(points, QStringList({"重力", "弹力"}));
    EXPECT_EQ(specialTrainingQuery(points), "select * from 试题库 where 知识点 like '%重力%' and 知识点 like '%弹力%'");
    EXPECT_EQ(specialTrainingPoints("无编号"), QStringList({"无编号"}));
    EXPECT_TRUE(specialTrainingQuery(specialTrainingPoints("")).isEmpty());
    EXPECT_EQ(specialTrainingQuery({"It's"}), "select * from 试题库 where 知识点 like '%It''s%'");
}

TEST(SpecialTraining, TheCountIsAWholeNumberWithinTheFound) {
    EXPECT_EQ(readTrainingCount("2.7", 5).count, 2);
    EXPECT_EQ(readTrainingCount("0", 5).refusal, "输入的值不在 [0~5] 之间！输入无效！");
    EXPECT_EQ(readTrainingCount("6", 5).refusal, "输入的值不在 [0~5] 之间！输入无效！");
    EXPECT_EQ(readTrainingCount("abc", 5).refusal, "输入的不是一个正整数！输入无效");
    EXPECT_EQ(readTrainingCount("", 5).refusal, "输入的不是一个正整数！输入无效");
    EXPECT_FALSE(readTrainingCount("99999", 5).refusal.isEmpty());
}

TEST(SpecialTraining, TheFoundRowsReplaceTheTable) {
    test::TestApp app;
    Bank bank(app.bankPath());
    for (int i = 1; i <= 5; ++i)
        bank.addRow("试题库", {{"题目编号", QString("0000%1").arg(i)},
                               {"考查范围", "a\\b"},
                               {"题型", "单选题"},
                               {"难度", "0.5"},
                               {"知识点", "1-重力|2-弹力"},
                               {"试题识别码", QString("张三-0000%1").arg(i)}});
    const RowSet rows = bank.query(specialTrainingQuery({"重力", "弹力"}));
    ASSERT_EQ(rows.count(), 5);
    SpecTable t(24);
    fillTableFromRows(t, rows, 2);
    EXPECT_EQ(t.dataRows(), 2);
    EXPECT_EQ(t.cell(2, SpecTable::QuestionNumber), "00002");
    EXPECT_EQ(t.cell(1, SpecTable::Knowledge), "1-重力\r2-弹力");
    EXPECT_EQ(t.cell(2, SpecTable::Number), "2");
}

namespace {

// A table of questions given as (number, type, difficulty); one row each, so a
// number given twice is a question filed under two scopes.
SpecTable questionsTable(const QList<std::tuple<QString, QString, QString>>& rows) {
    SpecTable t(int(rows.size()));
    for (int i = 0; i < rows.size(); ++i) {
        const auto& [number, type, difficulty] = rows[i];
        t.fillRow(i + 1, number, "张三-" + number, type, difficulty, "scope" + QString::number(i + 1), "1-x");
    }
    t.numberRows();
    return t;
}

}  // namespace

TEST(SmartSort, TheRowsOfOneQuestionStayTogether) {
    // The plain exchange sort moves 00003 between the two scope rows of 00002
    // (same type and difficulty), and the question would then be placed twice.
    SpecTable t = questionsTable({{"00001", "单选题", "0.5"},
                                  {"00002", "单选题", "0.3"},
                                  {"00002", "单选题", "0.3"},
                                  {"00003", "单选题", "0.3"},
                                  {"00004", "单选题", "0.2"}});
    smartSort(t);
    const QStringList numbers = column(t, SpecTable::QuestionNumber);
    const int first = int(numbers.indexOf("00002"));
    ASSERT_GE(first, 0);
    EXPECT_EQ(numbers[first + 1], "00002") << numbers.join(' ').toStdString();
    EXPECT_EQ(numbers.first(), "00004");
    EXPECT_EQ(numbers.last(), "00001");
    // The two scopes keep their order and their own cells.
    EXPECT_EQ(t.cell(first + 1, SpecTable::Scope), "scope2");
    EXPECT_EQ(t.cell(first + 2, SpecTable::Scope), "scope3");
    EXPECT_EQ(column(t, SpecTable::Number), QStringList({"1", "2", "3", "4", "5"}));

    // Rows of one question that stand apart are brought together.
    SpecTable apart = questionsTable({{"00007", "填空题", "0.4"},
                                      {"00008", "单选题", "0.4"},
                                      {"00009", "填空题", "0.1"},
                                      {"00007", "填空题", "0.4"}});
    smartSort(apart);
    EXPECT_EQ(column(apart, SpecTable::QuestionNumber), QStringList({"00008", "00009", "00007", "00007"}));
}

TEST(SpecTableRows, MovingAndInsertingKeepTheRowsOfAQuestionTogether) {
    SpecTable t = questionsTable({{"00001", "单选题", "0.1"},
                                  {"00002", "单选题", "0.2"},
                                  {"00002", "单选题", "0.2"},
                                  {"00003", "单选题", "0.3"}});
    EXPECT_EQ(t.questionRows(3), qMakePair(2, 3));
    EXPECT_EQ(t.questionRows(1), qMakePair(1, 1));

    // Down from its second row: both rows pass the next question.
    t.swapQuestionWithNext(3);
    EXPECT_EQ(column(t, SpecTable::QuestionNumber), QStringList({"00001", "00003", "00002", "00002"}));
    EXPECT_EQ(column(t, SpecTable::Number), QStringList({"1", "2", "3", "4"}));
    t.swapQuestionWithNext(4);  // the last question: nothing
    EXPECT_EQ(column(t, SpecTable::QuestionNumber), QStringList({"00001", "00003", "00002", "00002"}));

    // Up from its first row: both rows pass the question above.
    t.swapQuestionWithPrevious(3);
    t.swapQuestionWithPrevious(2);
    EXPECT_EQ(column(t, SpecTable::QuestionNumber), QStringList({"00002", "00002", "00001", "00003"}));
    t.swapQuestionWithPrevious(1);  // the first question: nothing
    EXPECT_EQ(column(t, SpecTable::QuestionNumber), QStringList({"00002", "00002", "00001", "00003"}));

    // One-row questions and empty rows swap as single rows.
    SpecTable plain(3);
    plain.setCell(1, SpecTable::Code, "a");
    plain.swapQuestionWithNext(1);
    EXPECT_EQ(column(plain, SpecTable::Code), QStringList({"", "a", ""}));
}
