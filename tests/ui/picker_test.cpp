// The question picker on a specification table: opening on a row's question,
// putting the displayed question or every found row into the table, and its
// own change, deletion and go-to rules.

#include "paper/spectable.h"
#include "store/paths.h"
#include "support/samplebank.h"
#include "support/testsupport.h"
#include "ui/common/scopetreewidget.h"
#include "ui/common/widgets.h"
#include "ui/compose/Form_stszckxg.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace zs;
using namespace zs::test;

namespace {

class PickerTest : public ::testing::Test {
protected:
    void SetUp() override {
        Bank bank(app.bankPath());
        addSampleCatalogue(bank);
        addSampleQuestion(bank, {"00001", "张三-00001", "单选题", "0.5", "1-期中考试", {{kSection11, "1-A|3-C"}}});
        addSampleQuestion(bank, {"00002",
                                 "李四-00002",
                                 "填空题",
                                 "0.3",
                                 std::nullopt,
                                 {{kSection21, "1-F"}, {kSection11, "2-B"}, {kSection12, "1-D|2-E"}},
                                 "李四"});
        addSampleQuestion(bank, {"00003", "张三-00003", "单选题", "0.7", "1-期中考试", {{kSection12, "2-E"}}});
        // Rows 1 to 3 hold questions of an earlier pick; the rest of the 8 rows are empty.
        table.fillRow(1, "00009", "张三-00009", "判断题", "0.1", kSection11, "2-B");
        table.fillRow(2, "00001", "张三-00001", "单选题", "0.5", kSection11, "1-A|3-C");
        table.fillRow(3, "00008", "张三-00008", "判断题", "0.2", kSection12, "1-D");
        table.numberRows();
    }
    // Opens the picker as the composition screen does on a double-clicked row.
    void openOn(int row) {
        form = std::make_unique<Form_stszckxg>(app.state(), table, row, table.cell(row, SpecTable::Code));
        form->DWDZhiDingTiHao();
        form->show();
        form->Timer1_Timer();
    }
    QString label(const char* name) { return test::child<QLabel>(form.get(), name)->text(); }
    QPushButton* button(const char* name) { return test::child<QPushButton>(form.get(), name); }
    // The seven columns of the table proper.
    QStringList row(int r) {
        QStringList out;
        for (int c = 0; c < SpecTable::kTableColumns; ++c)
            out << table.cell(r, c);
        return out;
    }

    TestApp app;
    SpecTable table{8};
    std::unique_ptr<Form_stszckxg> form;
};

}  // namespace

TEST_F(PickerTest, AnEmptyRowAsksForASearchFirst) {
    openOn(5);
    EXPECT_EQ(form->windowTitle(), "试题设置查看修改-琢石试题库");
    EXPECT_EQ(label("Label6"), "当前题目识别码");
    EXPECT_EQ(label("Label13"), "当前题目是第几题");
    EXPECT_EQ(comboText(test::child<QComboBox>(form.get(), "Combo_stly_sz")), "设置试题来源");
    EXPECT_EQ(form->findChild<QPushButton*>("Command_dkwbstk"), nullptr);
    EXPECT_EQ(form->findChild<QPushButton*>("Command_fhzjm"), nullptr);
    EXPECT_EQ(app.prompts.messages(), QStringList({"请先执行<搜索>或者<定位到指定题号>，然后才能选择某一道题！"}));
    EXPECT_EQ(label("Label_ssdts"), "");
    button("Command_dwdthsbm")->click();
    button("Command_xdct")->click();
    button("Command_xdssddqbtm")->click();
    EXPECT_EQ(app.prompts.messages().mid(1),
              QStringList({"请先执行<搜索>操作", "你还没有执行搜索，以致于，你更没有选定任何题目！",
                           "你还没有执行搜索，以致于，你更没有选定任何题目！"}));
    EXPECT_TRUE(form->isVisible());
}

TEST_F(PickerTest, AOneScopeQuestionReplacesItsRowInPlace) {
    openOn(2);
    EXPECT_EQ(label("Label_ssdts"), "1");
    EXPECT_EQ(label("Label_dqtmbh"), "00001");
    // Go to another question, then choose it for row 2.
    app.prompts.type("3");
    button("Command_dwdthsbm")->click();
    EXPECT_EQ(label("Label_dqtmbh"), "00003");
    button("Command_xdct")->click();
    EXPECT_EQ(table.rows(), 9);
    EXPECT_EQ(row(1)[1], "00009");
    EXPECT_EQ(row(2), QStringList({"2", "00003", "张三-00003", "单选题", "0.7", kSection12, "2-E"}));
    EXPECT_EQ(row(3)[1], "00008");
    EXPECT_EQ(form->placedNumber(), 3);
    EXPECT_FALSE(form->placedAll());  // the table keeps its order
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->result(), QDialog::Accepted);
}

TEST_F(PickerTest, AThreeScopeQuestionTurnsOneRowIntoThree) {
    openOn(2);
    app.prompts.type("2");
    button("Command_dwdthsbm")->click();
    EXPECT_EQ(label("Label_dqtmbh"), "00002");
    button("Command_xdct")->click();
    EXPECT_EQ(table.rows(), 11);
    EXPECT_EQ(row(1)[1], "00009");
    EXPECT_EQ(row(2), QStringList({"2", "00002", "李四-00002", "填空题", "0.3", kSection21, "1-F"}));
    EXPECT_EQ(row(3)[5], kSection11);
    EXPECT_EQ(row(4), QStringList({"4", "00002", "李四-00002", "填空题", "0.3", kSection12, "1-D\r2-E"}));
    EXPECT_EQ(row(5)[1], "00008");
    EXPECT_EQ(row(10)[0], "10");
    EXPECT_EQ(form->placedNumber(), 2);
}

TEST_F(PickerTest, AllFoundRowsGoAfterTheLastQuestionOfTheTable) {
    table.setRows(7);  // rows 4 to 6 are empty
    openOn(2);
    setComboText(test::child<QComboBox>(form.get(), "Combo_tx_ss"), "单选题");
    button("Command_ss")->click();
    ASSERT_EQ(label("Label_ssdts"), "2");
    button("Command_xdssddqbtm")->click();
    // The three empty rows go, and the two found rows follow row 3.
    EXPECT_EQ(table.rows(), 6);
    EXPECT_EQ(row(4), QStringList({"4", "00001", "张三-00001", "单选题", "0.5", kSection11, "1-A\r3-C"}));
    EXPECT_EQ(row(5)[1], "00003");
    EXPECT_TRUE(form->placedAll());  // the table sorts them as loaded rows
    EXPECT_FALSE(form->isVisible());
}

TEST_F(PickerTest, NothingFoundIsNotPutIntoTheTable) {
    openOn(2);
    setComboText(test::child<QComboBox>(form.get(), "Combo_tx_ss"), "作图题");
    button("Command_ss")->click();
    app.prompts.clear();
    button("Command_xdct")->click();
    button("Command_xdssddqbtm")->click();
    EXPECT_EQ(app.prompts.messages(), QStringList({"你没有选定任何题目！", "没有搜索到任何试题，暂不能执行此操作~~"}));
    EXPECT_EQ(table.rows(), 9);
    EXPECT_EQ(row(2)[1], "00001");
    EXPECT_TRUE(form->isVisible());
}

TEST_F(PickerTest, ChangeWithoutSourceAndDeletionThatMovesOn) {
    openOn(2);
    button("Command_ss")->click();  // 00001, 00002 three times, 00003
    ASSERT_EQ(label("Label_ssdts"), "5");
    button("Command_xyt")->click();
    EXPECT_EQ(comboText(test::child<QComboBox>(form.get(), "Combo_stly_sz")), "选择试题来源");
    button("Command_qdxg")->click();
    EXPECT_EQ(app.prompts.lastMessage(), "已成功修改试题！\r\r题目编号为：00002");
    RowSet rows = Bank(app.bankPath()).query("select * from 试题库 where 题目编号='00002'");
    ASSERT_EQ(rows.count(), 3);
    EXPECT_TRUE(rows.isNull(0, "试题来源"));
    EXPECT_EQ(rows.text(0, "考查范围"), kSection11);  // tree order
    EXPECT_EQ(rows.text(2, "知识点"), "1-F");

    app.prompts.answer(Answer::Yes);
    button("Command_scct")->click();
    EXPECT_EQ(app.prompts.lastMessage(), "您已成功删除已选试题！");
    EXPECT_EQ(Bank(app.bankPath()).query("select * from 试题库 where 题目编号='00002'").count(), 0);
    EXPECT_FALSE(QFile::exists(questionDocumentPath(app.bankPath(), "00002")));
    // The found rows are not read again; the deleted question's rows are passed over.
    EXPECT_EQ(label("Label_ssdts"), "2");
    EXPECT_EQ(label("Label_dqtmsdjt"), "2");
    EXPECT_EQ(label("Label_dqtmbh"), "00003");
    EXPECT_EQ(row(2)[1], "00001");  // the table is untouched
}

TEST_F(PickerTest, AQuestionOfTheOtherPaperGoesInOnlyWhenTheTeacherAgrees) {
    SpecTable other(2);
    other.fillRow(1, "00003", "张三-00003", "单选题", "0.7", kSection12, "2-E");
    openOn(2);
    form->setOtherPaper(&other, "A卷", "B卷");
    app.prompts.type("3");
    button("Command_dwdthsbm")->click();
    ASSERT_EQ(label("Label_dqtmbh"), "00003");
    app.prompts.answer(Answer::No);
    button("Command_xdct")->click();
    EXPECT_EQ(app.prompts.records().last().text,
              "题目【00003】已经在B卷中了，放进A卷后两份试卷会有相同的题目。\r仍然要放进A卷吗？");
    EXPECT_EQ(row(2)[1], "00001");  // nothing placed, the picker stays open
    EXPECT_TRUE(form->isVisible());

    // All found rows: the shared ones are counted and named.
    setComboText(test::child<QComboBox>(form.get(), "Combo_tx_ss"), "单选题");
    button("Command_ss")->click();
    app.prompts.answer(Answer::Yes);
    button("Command_xdssddqbtm")->click();
    EXPECT_EQ(app.prompts.records().last().text,
              "题目【00003】已经在B卷中了，放进A卷后两份试卷会有相同的题目。\r仍然要放进A卷吗？");
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(table.cell(table.rows() - 1, SpecTable::QuestionNumber) == "00003");

    // A question the other paper does not hold goes in without a word.
    const int asked = app.prompts.records().size();
    openOn(2);
    form->setOtherPaper(&other, "A卷", "B卷");
    app.prompts.type("2");
    button("Command_dwdthsbm")->click();
    button("Command_xdct")->click();
    EXPECT_EQ(app.prompts.records().size(), asked + 1);  // only the go-to's input
    EXPECT_EQ(row(2)[1], "00002");
}

TEST_F(PickerTest, QuestionsWaitingForACorrectionStayOutOfTheTable) {
    {
        Bank bank(app.bankPath());
        addSampleQuestion(bank, {"00004", "张三-00004", "单选题", "2.5", "1-期中考试", {{kSection12, "2-E"}}});
        // Another question filed under 00003 by mistake.
        addSampleQuestion(bank, {"00003", "李四-00005", "单选题", "0.5", "1-期中考试", {{kSection11, "1-A"}}, "李四"});
    }
    openOn(2);
    app.prompts.type("4");
    button("Command_dwdthsbm")->click();
    ASSERT_EQ(label("Label_dqtmbh"), "00004");
    app.prompts.clear();
    button("Command_xdct")->click();
    EXPECT_EQ(
        app.prompts.messages(),
        QStringList({"题目编号为 00004 的试题难度为“2.5”，不是 0.1～1.0 之间的难度，改正之前不能放进试卷。\r请先在<"
                     "查看修改>中改正它。"}));
    EXPECT_EQ(row(2)[1], "00001");
    EXPECT_TRUE(form->isVisible());

    // All found rows: the two that wait are named under the details, the rest go in.
    setComboText(test::child<QComboBox>(form.get(), "Combo_tx_ss"), "单选题");
    button("Command_ss")->click();
    app.prompts.clear();
    button("Command_xdssddqbtm")->click();
    ASSERT_EQ(app.prompts.messages().size(), 1);
    EXPECT_EQ(app.prompts.lastMessage(),
              "找到的试题中有 2 道需要先在<查看修改>中改正，没有放进试卷（题目编号见详细信息）。");
    EXPECT_EQ(app.prompts.records().last().details,
              "00003：题目编号被 2 道不同的试题共用（试题识别码：张三-00003、李四-00005）\n"
              "00004：难度为“2.5”，不是 0.1～1.0 之间的难度");
    QStringList numbers;
    for (int r = 4; r < table.rows(); ++r)
        numbers << row(r)[1];
    EXPECT_EQ(numbers, QStringList({"00001"}));
}
