// The manual composition screen, offscreen, through its grid and menu.

#include "support/testsupport.h"
#include "ui/Form_scsjjm.h"
#include "ui/Form_sdzj.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

using namespace zs;

namespace {

class ManualCompositionTest : public ::testing::Test {
protected:
    void SetUp() override {
        app.state().AutoSizeOnActivate = true;
        app.state().SortOnActivate = false;
        form = std::make_unique<Form_sdzj>(app.state());
        form->show();
        form->Form_Activate();
    }
    QTableWidget* grid() { return test::child<QTableWidget>(form.get(), "MSFlexGrid1"); }
    QAction* action(const char* name) { return test::child<QAction>(form.get(), name); }
    void rightClick(int row) { form->MSFlexGrid1_MouseUp(Qt::RightButton, row, 1, QPoint(10, 10)); }
    void put(int row, const QString& number, const QString& type = "单选题", const QString& difficulty = "0.5") {
        form->table().fillRow(row, number, "张三-" + number, type, difficulty, "1-数学\\1-人教版\\第一节", "1-A|2-B");
        form->showTable();
    }
    QStringList column(int c) {
        QStringList out;
        for (int r = 1; r < grid()->rowCount(); ++r)
            out << grid()->item(r, c)->text();
        return out;
    }

    test::TestApp app;
    std::unique_ptr<Form_sdzj> form;
};

}  // namespace

TEST_F(ManualCompositionTest, AFreshTableHas24NumberedEmptyRowsUnderSevenHeaders) {
    EXPECT_EQ(form->windowTitle(), "手动组卷");
    ASSERT_EQ(grid()->rowCount(), 25);
    ASSERT_EQ(grid()->columnCount(), 7);
    QStringList headers;
    for (int c = 0; c < 7; ++c)
        headers << grid()->item(0, c)->text();
    EXPECT_EQ(headers, QStringList({"题号", "题目编号", "题目识别码", "题型", "难度", "考查范围", "知识点"}));
    EXPECT_EQ(grid()->item(24, 0)->text(), "24");
    EXPECT_TRUE(grid()->item(1, 1)->text().isEmpty());
    EXPECT_FALSE(form->findChild<QRadioButton*>("Option_bc")->isChecked());
    EXPECT_FALSE(form->findChild<QRadioButton*>("Option_bbc")->isChecked());
    EXPECT_NE(app.state().SharedWordInstance, nullptr);
    // The grid is never taller than 5200 twips.
    EXPECT_LE(grid()->height(), form->twips(5200) + 2 * grid()->frameWidth());
}

TEST_F(ManualCompositionTest, TheContextMenuHasItsSixItemsAndDelIsOffWithOneDataRow) {
    QStringList captions;
    for (QAction* a : form->popmenu()->actions())
        captions << a->text();
    EXPECT_EQ(captions,
              QStringList({"增加(N)题到当前题目之前", "增加一题到最后一题之后", "删除当前题目(先想清楚)",
                           "将当前题目和下一题对换", "将当前题目和上一题对换", "以此题为依据，生成专项训练"}));
    rightClick(3);
    EXPECT_TRUE(form->popmenu()->isVisible());
    EXPECT_TRUE(action("del")->isEnabled());
    form->popmenu()->hide();

    // A right click on the header sets the row but shows no menu.
    form->MSFlexGrid1_MouseUp(Qt::RightButton, 0, 2, QPoint(10, 10));
    EXPECT_EQ(form->CurrentRow, 0);
    EXPECT_FALSE(form->popmenu()->isVisible());

    form->table().setRows(2);
    form->showTable();
    rightClick(1);
    EXPECT_FALSE(action("del")->isEnabled());
    form->popmenu()->hide();
}

TEST_F(ManualCompositionTest, InsertingRowsAndRefusingBadCounts) {
    put(5, "00005");
    rightClick(5);
    form->popmenu()->hide();
    app.prompts.type("3");
    action("addpre")->trigger();
    EXPECT_EQ(app.prompts.records().last().text, "请输入要插入的行数：");
    EXPECT_EQ(app.prompts.records().last().title, "输入");
    EXPECT_EQ(grid()->rowCount(), 28);
    EXPECT_TRUE(grid()->item(5, 1)->text().isEmpty());
    EXPECT_EQ(grid()->item(8, 1)->text(), "00005");
    EXPECT_EQ(grid()->item(27, 0)->text(), "27");
    EXPECT_FALSE(app.state().AutoSizeOnActivate);

    for (const char* bad : {"0", "-2", "abc", ""}) {
        app.prompts.clear();
        app.prompts.type(bad);
        action("addpre")->trigger();
        EXPECT_EQ(app.prompts.lastMessage(), " 输入不合法！要输入一个正整数才行~~") << bad;
        EXPECT_EQ(grid()->rowCount(), 28);
    }
}

TEST_F(ManualCompositionTest, DeletingAnEmptyRowOrEveryRowOfAQuestion) {
    put(4, "00004");
    rightClick(3);  // an empty row: DeleteKey 0
    form->popmenu()->hide();
    action("del")->trigger();
    EXPECT_EQ(grid()->rowCount(), 24);
    EXPECT_EQ(grid()->item(3, 1)->text(), "00004");
    EXPECT_EQ(grid()->item(23, 0)->text(), "23");

    put(3, "00009");
    put(4, "00009");
    put(9, "00009");
    rightClick(4);
    form->popmenu()->hide();
    EXPECT_EQ(app.state().DeleteKey, 9);
    action("del")->trigger();
    EXPECT_EQ(grid()->rowCount(), 21);
}

TEST_F(ManualCompositionTest, SwapsAndTheSelectionColours) {
    put(1, "00001");
    put(2, "00002");
    rightClick(1);
    form->popmenu()->hide();
    action("tonext")->trigger();
    EXPECT_EQ(grid()->item(1, 1)->text(), "00002");
    EXPECT_EQ(grid()->item(2, 1)->text(), "00001");

    form->MSFlexGrid1_Click(3);
    EXPECT_EQ(form->rowColour(3), QColor(0, 205, 205));
    form->MSFlexGrid1_Click(4);
    EXPECT_EQ(form->rowColour(3), QColor(255, 255, 255));
    EXPECT_EQ(form->rowColour(4), QColor(0, 205, 205));
    form->MSFlexGrid1_Click(5);
    EXPECT_EQ(form->rowColour(4), QColor(179, 222, 245));
    EXPECT_FALSE(form->rowColour(6).isValid());  // never selected
}

TEST_F(ManualCompositionTest, RowCommandsKeepTheRowsOfAQuestionTogether) {
    // Question 00002 is filed under two sections: rows 2 and 3.
    put(1, "00001");
    put(2, "00002");
    put(3, "00002");
    put(4, "00004");
    rightClick(3);
    form->popmenu()->hide();
    action("tonext")->trigger();
    EXPECT_EQ(column(1).mid(0, 4), QStringList({"00001", "00004", "00002", "00002"}));
    rightClick(3);
    form->popmenu()->hide();
    action("topre")->trigger();
    EXPECT_EQ(column(1).mid(0, 4), QStringList({"00001", "00002", "00002", "00004"}));

    // Rows inserted at the second row of the question go before the question.
    rightClick(3);
    form->popmenu()->hide();
    app.prompts.type("1");
    action("addpre")->trigger();
    EXPECT_EQ(column(1).mid(0, 5), QStringList({"00001", "", "00002", "00002", "00004"}));
    EXPECT_EQ(column(0).mid(0, 5), QStringList({"1", "2", "3", "4", "5"}));

    // The smart sort does not part them either.
    put(6, "00006", "单选题", "0.5");
    put(7, "00007", "单选题", "0.1");
    app.state().SortTrigger = "ZhiNengZuJuan";
    form->ZhiNengPaiXu();
    const QStringList numbers = column(1);
    EXPECT_EQ(numbers.indexOf("00002") + 1, numbers.lastIndexOf("00002")) << numbers.join(' ').toStdString();
}

TEST_F(ManualCompositionTest, ARealRightClickOnTheGridOpensTheMenu) {
    const QRect cell = grid()->visualItemRect(grid()->item(2, 3));
    QTest::mouseRelease(grid()->viewport(), Qt::RightButton, {}, cell.center());
    EXPECT_EQ(form->CurrentRow, 2);
    EXPECT_TRUE(form->popmenu()->isVisible());
    form->popmenu()->hide();
}

TEST_F(ManualCompositionTest, DoubleClicksOnTheHeaderOrNumbersDoNothing) {
    form->MSFlexGrid1_DblClick(0, 3);
    form->MSFlexGrid1_DblClick(4, 0);
    EXPECT_FALSE(form->TableModified);
}

TEST_F(ManualCompositionTest, SortingAsksFirstAndReports) {
    put(1, "00001", "填空题", "0.3");
    put(2, "00002", "单选题", "0.9");
    put(3, "00003", "单选题", "0.1");
    app.prompts.answer(Answer::Cancel);
    form->findChild<QPushButton*>("Command_zhinengpaixu")->click();
    EXPECT_EQ(grid()->item(1, 1)->text(), "00001");
    app.prompts.answer(Answer::Ok);
    form->findChild<QPushButton*>("Command_zhinengpaixu")->click();
    EXPECT_EQ(column(1).mid(0, 3), QStringList({"00003", "00002", "00001"}));
    EXPECT_EQ(app.prompts.lastMessage(), "对双向细目表的智能排序结束！");
    EXPECT_EQ(app.prompts.records().last().title, "琢石-试题库-提醒您！");

    app.prompts.clear();
    app.state().SortTrigger.clear();
    form->ZhiNengPaiXu();
    EXPECT_TRUE(app.prompts.records().isEmpty());
}

TEST_F(ManualCompositionTest, SpecialTrainingBuildsASortedTable) {
    Bank bank(app.bankPath());
    for (int i = 1; i <= 5; ++i)
        bank.addRow("试题库", {{"题目编号", QString("0000%1").arg(i)},
                               {"考查范围", "a\\b"},
                               {"题型", i % 2 ? "填空题" : "单选题"},
                               {"难度", "0.5"},
                               {"知识点", "力学-重力|力学-弹力"},
                               {"试题识别码", QString("张三-0000%1").arg(i)}});
    form->table().fillRow(2, "00001", "张三-00001", "填空题", "0.5", "a\\b", "力学-重力|力学-弹力");
    form->showTable();
    rightClick(2);
    form->popmenu()->hide();
    app.prompts.type("2.7");
    action("ShengChengZhuanXiangXunLian")->trigger();
    const PromptRecord asked = app.prompts.records()[0];
    EXPECT_EQ(asked.text, "与  【00001】 类似的题目一共有  【5】 道!\r你准备选择几道？");
    EXPECT_EQ(asked.title, "设置专项训练的题目数量");
    EXPECT_EQ(grid()->rowCount(), 3);
    EXPECT_EQ(column(3), QStringList({"单选题", "填空题"}));
    EXPECT_EQ(app.prompts.lastMessage(), "双向细目表加载完毕，并且已经经过了智能排序了！");

    app.prompts.clear();
    rightClick(1);
    form->popmenu()->hide();
    app.prompts.type("6");
    action("ShengChengZhuanXiangXunLian")->trigger();
    EXPECT_EQ(app.prompts.lastMessage(), "输入的值不在 [0~5] 之间！输入无效！");
    EXPECT_EQ(grid()->rowCount(), 3);

    // A row without knowledge points is refused before any query.
    form->table().setRows(3);
    form->table().clearRow(2);
    form->showTable();
    rightClick(2);
    form->popmenu()->hide();
    app.prompts.clear();
    action("ShengChengZhuanXiangXunLian")->trigger();
    EXPECT_TRUE(app.prompts.lastMessage().startsWith("这一行还没有知识点"));
}

TEST_F(ManualCompositionTest, ClosingAsksOnlyAfterChanges) {
    form->TableModified = true;
    app.prompts.answer(Answer::No);
    form->close();
    EXPECT_TRUE(form->isVisible());
    const PromptRecord asked = app.prompts.records().last();
    EXPECT_EQ(asked.text,
              "        ~~双向细目表已有新的改动记录~~\r\r你确定不用<生成试卷或者导出表格>就直接退出界面吗？");
    EXPECT_EQ(asked.title, "危险操作！！");
    EXPECT_EQ(asked.buttons, Buttons::YesNoCancel);
    EXPECT_EQ(asked.icon, Icon::Exclamation);
    EXPECT_EQ(asked.defaultButton, 1);
    app.prompts.answer(Answer::Yes);
    form->findChild<QPushButton*>("Command_tczj")->click();
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(app.state().SharedWordInstance, nullptr);
}

TEST_F(ManualCompositionTest, ClosingWithoutChangesDoesNotAsk) {
    rightClick(1);
    form->popmenu()->hide();
    action("addlast")->trigger();
    form->close();
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(app.prompts.records().isEmpty());
}

TEST_F(ManualCompositionTest, GeneratingNeedsTheUseRecordChoice) {
    form->findChild<QPushButton*>("Command_scsj")->click();
    EXPECT_EQ(app.prompts.lastMessage(), "还没有设置【是否保存本次用题记录】？   请设置！");
    form->findChild<QRadioButton*>("Option_bbc")->setChecked(true);
    app.prompts.answer(Answer::No);
    form->findChild<QPushButton*>("Command_scsj")->click();
    EXPECT_EQ(app.prompts.records().last().title, "琢石-试题库提醒您");
    EXPECT_EQ(app.prompts.records().last().buttons, Buttons::YesNo);
}

TEST_F(ManualCompositionTest, ABPapersSwitchTablesAndGenerateEachWithItsMark) {
    EXPECT_FALSE(form->findChild<QWidget*>("Frame_abj")->isVisible());
    EXPECT_TRUE(form->paperMark().isEmpty());
    put(1, "00001");
    SpecTable second(2);
    second.fillRow(1, "00002", "张三-00002", "填空题", "0.3", "1-数学\\1-人教版\\第二节", "3-C");
    second.fillRow(2, "00003", "张三-00003", "填空题", "0.7", "1-数学\\1-人教版\\第二节", "3-C");
    form->setSecondPaper(second);
    EXPECT_TRUE(form->findChild<QWidget*>("Frame_abj")->isVisible());
    EXPECT_EQ(form->findChild<QRadioButton*>("Option_Ajuan")->text(), "A卷");
    EXPECT_EQ(form->findChild<QRadioButton*>("Option_Bjuan")->text(), "B卷");
    EXPECT_TRUE(form->findChild<QRadioButton*>("Option_Ajuan")->isChecked());
    EXPECT_EQ(form->paperMark(), "A卷");

    form->findChild<QRadioButton*>("Option_Bjuan")->click();
    EXPECT_EQ(form->shownPaper(), 1);
    EXPECT_EQ(form->paperMark(), "B卷");
    EXPECT_EQ(form->findChild<QLabel*>("Label_biaoti")->text(), "命卷双向细目表（B卷）");
    ASSERT_EQ(grid()->rowCount(), 3);
    EXPECT_EQ(column(1), QStringList({"00002", "00003"}));
    EXPECT_EQ(column(0), QStringList({"1", "2"}));
    // The use-record choice stays with the screen; the generator gets B's mark.
    form->findChild<QRadioButton*>("Option_bbc")->setChecked(true);
    QString mark;
    app.state().modalHook = [&](QObject* screen) {
        if (auto* generator = qobject_cast<Form_scsjjm*>(screen))
            mark = generator->paperMark();
    };
    app.prompts.answer(Answer::Yes);
    form->findChild<QPushButton*>("Command_scsj")->click();
    EXPECT_EQ(mark, "B卷");

    // Back to A: its rows as they were.
    form->findChild<QRadioButton*>("Option_Ajuan")->click();
    EXPECT_EQ(form->shownPaper(), 0);
    EXPECT_EQ(column(1).first(), "00001");
    EXPECT_EQ(grid()->rowCount(), 25);
    EXPECT_EQ(form->findChild<QLabel*>("Label_biaoti")->text(), "命卷双向细目表（A卷）");
}
