// The specification table's row commands, the smart sort and the special
// training query.

#include "compose/smartsort.h"
#include "compose/spectable.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

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
