// The manual composition screen, offscreen, through its grid and menu.

#include "app/appfolder.h"
#include "support/testsupport.h"
#include "ui/compose/Form_fzsz.h"
#include "ui/compose/Form_sdzj.h"
#include "ui/paper/Form_scsjjm.h"

#include <QAction>
#include <QDir>
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
        form = std::make_unique<Form_sdzj>(app.state());  // fits the columns when shown, sorts nothing
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
    // The seven columns of the table, then the scores.
    ASSERT_EQ(grid()->columnCount(), 8);
    QStringList headers;
    for (int c = 0; c < 7; ++c)
        headers << grid()->item(0, c)->text();
    EXPECT_EQ(headers, QStringList({"题号", "题目编号", "题目识别码", "题型", "难度", "考查范围", "知识点"}));
    EXPECT_EQ(grid()->item(0, 7)->text(), "分值");
    EXPECT_TRUE(test::child<QLabel>(form.get(), "Label_zf")->text().isEmpty());
    EXPECT_EQ(grid()->item(24, 0)->text(), "24");
    EXPECT_TRUE(grid()->item(1, 1)->text().isEmpty());
    EXPECT_FALSE(test::child<QRadioButton>(form.get(), "Option_bc")->isChecked());
    EXPECT_FALSE(test::child<QRadioButton>(form.get(), "Option_bbc")->isChecked());
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
    EXPECT_FALSE(form->AutoSizeOnActivate);

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
    EXPECT_EQ(form->DeleteKey, 9);
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
    form->SortTrigger = "ZhiNengZuJuan";
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
    test::child<QPushButton>(form.get(), "Command_zhinengpaixu")->click();
    EXPECT_EQ(grid()->item(1, 1)->text(), "00001");
    app.prompts.answer(Answer::Ok);
    test::child<QPushButton>(form.get(), "Command_zhinengpaixu")->click();
    EXPECT_EQ(column(1).mid(0, 3), QStringList({"00003", "00002", "00001"}));
    EXPECT_EQ(app.prompts.lastMessage(), "对双向细目表的智能排序结束！");
    EXPECT_EQ(app.prompts.records().last().title, "琢石-试题库-提醒您！");

    app.prompts.clear();
    form->SortTrigger.clear();
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
    test::child<QPushButton>(form.get(), "Command_tczj")->click();
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
    test::child<QPushButton>(form.get(), "Command_scsj")->click();
    EXPECT_EQ(app.prompts.lastMessage(), "还没有设置【是否保存本次用题记录】？   请设置！");
    test::child<QRadioButton>(form.get(), "Option_bbc")->setChecked(true);
    app.prompts.answer(Answer::No);
    test::child<QPushButton>(form.get(), "Command_scsj")->click();
    EXPECT_EQ(app.prompts.records().last().title, "琢石-试题库提醒您");
    EXPECT_EQ(app.prompts.records().last().buttons, Buttons::YesNo);
}

TEST_F(ManualCompositionTest, ScoresComeFromTheTypesOrTheQuestionAndAddUpLive) {
    QLabel* total = test::child<QLabel>(form.get(), "Label_zf");
    put(1, "00001");
    put(2, "00002");
    put(3, "00003", "填空题");
    put(4, "00003", "填空题");  // the same question's second scope: counted once
    put(5, "00005", "解答题");
    EXPECT_TRUE(total->text().isEmpty());
    EXPECT_EQ(column(7).mid(0, 6), QStringList({"", "", "", "", "", ""}));

    // The type scores: a bad one is refused and nothing is kept.
    test::ModalScreens modal(app.state());
    QString typed = "-1";
    modal.on<Form_fzsz>([&](Form_fzsz& screen) {
        QTableWidget* types = test::child<QTableWidget>(&screen, "Grid_txfz");
        for (int r = 0; r < types->rowCount(); ++r) {
            const QString type = types->item(r, 0)->text();
            if (type == "单选题")
                types->item(r, 1)->setText(typed);
            if (type == "填空题")
                types->item(r, 1)->setText("2.5");
        }
        test::child<QPushButton>(&screen, "Command_bc")->click();
        EXPECT_EQ(screen.saved(), typed != "-1");
    });
    test::child<QPushButton>(form.get(), "Command_fzsz")->click();
    EXPECT_EQ(app.prompts.lastMessage(), "<单选题>的分值“-1”不对。\r分值要填写一个正数，最多一位小数，例如 3 或 2.5。");
    EXPECT_TRUE(form->typeScores().isEmpty());
    EXPECT_TRUE(total->text().isEmpty());

    typed = "３";  // typed with a Chinese input method
    test::child<QPushButton>(form.get(), "Command_fzsz")->click();
    EXPECT_EQ(column(7).mid(0, 5), QStringList({"3", "3", "2.5", "2.5", ""}));
    EXPECT_EQ(grid()->item(1, 7)->foreground().color(), QColor(128, 128, 128));
    EXPECT_EQ(total->text(), "总分：8.5分（1道题还没有分值）");

    // A question's own score, on every row of the question.
    app.prompts.type("12");
    form->MSFlexGrid1_DblClick(5, 7);
    EXPECT_EQ(app.prompts.records().last().title, "设置分值");
    EXPECT_EQ(app.prompts.records().last().text,
              "请输入题目【00005】的分值：\r（输入0则按<解答题>的分值计分，现在还没有设置）");
    EXPECT_EQ(total->text(), "总分：20.5分");
    EXPECT_TRUE(form->TableModified);
    app.prompts.type("4");
    form->MSFlexGrid1_DblClick(4, 7);
    EXPECT_EQ(column(7).mid(0, 5), QStringList({"3", "3", "4", "4", "12"}));
    EXPECT_EQ(grid()->item(3, 7)->foreground(), QBrush());
    EXPECT_EQ(total->text(), "总分：22分");
    // Bad scores change nothing; a cancelled box neither; 0 gives the type's back.
    for (const char* bad : {"abc", "-3", "0.25", "1001"}) {
        app.prompts.type(bad);
        form->MSFlexGrid1_DblClick(1, 7);
        EXPECT_EQ(app.prompts.lastMessage(), "分值要填写一个正数，最多一位小数，例如 3 或 2.5。") << bad;
    }
    app.prompts.cancel();
    form->MSFlexGrid1_DblClick(3, 7);
    EXPECT_EQ(form->table().cell(3, SpecTable::Score), "4");
    app.prompts.type("0");
    form->MSFlexGrid1_DblClick(3, 7);
    EXPECT_EQ(column(7).mid(0, 5), QStringList({"3", "3", "2.5", "2.5", "12"}));
    EXPECT_EQ(total->text(), "总分：20.5分");
    // An empty row has no score to set.
    form->MSFlexGrid1_DblClick(9, 7);
    EXPECT_EQ(app.prompts.lastMessage(), "这一行还没有题目，不能设置分值。");

    // A score moves with its question.
    rightClick(5);
    form->popmenu()->hide();
    action("topre")->trigger();
    EXPECT_EQ(column(7).mid(0, 5), QStringList({"3", "3", "12", "2.5", "2.5"}));

    // The type scores are the bank's: a new screen finds them.
    Form_sdzj again(app.state());
    EXPECT_EQ(again.typeScores().of("单选题"), 30);
    EXPECT_EQ(again.typeScores().of("填空题"), 25);
    EXPECT_FALSE(again.typeScores().of("解答题").has_value());
}

TEST_F(ManualCompositionTest, TheWorkbookKeepsTheScoresAndReadsTablesWithoutThem) {
    AppFolder::writeWorkbookTemplate(test::office(), app.state().appFile("命卷双向细目表模板.xls"));
    Bank bank(app.bankPath());
    for (const QString n : {"00001", "00002", "00005"})
        bank.addRow("试题库", {{"题目编号", n}, {"试题识别码", "张三-" + n}, {"题型", "单选题"}, {"难度", "0.5"}});
    put(1, "00001");
    put(2, "00002");
    put(3, "00005", "解答题");
    app.prompts.type("12");
    form->MSFlexGrid1_DblClick(3, 7);
    ASSERT_EQ(form->table().cell(3, SpecTable::Score), "12");

    test::TempFolder out;
    app.prompts.type(out.path());
    test::child<QPushButton>(form.get(), "Command_bcbg")->click();
    ASSERT_EQ(app.desktop.openedFiles.size(), 1);
    const QString scored = app.desktop.openedFiles.last();
    {
        const auto calc = test::office().startSpreadsheet();
        const auto book = calc->open(scored);
        EXPECT_EQ(book->cellText("命卷双向细目表", 2, 8), "分值");
        EXPECT_EQ(book->cellText("命卷双向细目表", 5, 8), "12");
        EXPECT_EQ(book->cellText("命卷双向细目表", 3, 8), "");  // no score of its own, none of its type
        EXPECT_TRUE(book->borders("命卷双向细目表", 5, 8).all());
        book->close();
    }

    // Read back into a cleared table: the scores come back.
    for (int r = 1; r <= 3; ++r)
        form->table().clearRow(r);
    form->showTable();
    app.prompts.answer(Answer::Yes);
    app.prompts.type(scored);
    test::child<QPushButton>(form.get(), "Command_drbg")->click();
    EXPECT_EQ(form->table().cell(3, SpecTable::QuestionNumber), "00005");
    EXPECT_EQ(form->table().cell(3, SpecTable::Score), "12");
    EXPECT_EQ(test::child<QLabel>(form.get(), "Label_zf")->text(), "总分：12分（2道题还没有分值）");

    // A workbook without the column (a table without scores) clears them.
    form->table().clearRow(3);
    form->showTable();
    app.prompts.type(out.path());
    app.clock.advanceSeconds(60);  // a workbook of its own name
    test::child<QPushButton>(form.get(), "Command_bcbg")->click();
    const QString plain = app.desktop.openedFiles.last();
    ASSERT_NE(plain, scored);
    {
        const auto calc = test::office().startSpreadsheet();
        const auto book = calc->open(plain);
        EXPECT_EQ(book->cellText("命卷双向细目表", 2, 8), "");
        book->close();
    }
    app.prompts.type("12");
    form->MSFlexGrid1_DblClick(1, 7);
    app.prompts.answer(Answer::Yes);
    app.prompts.type(plain);
    test::child<QPushButton>(form.get(), "Command_drbg")->click();
    EXPECT_EQ(form->table().cell(1, SpecTable::QuestionNumber), "00001");
    EXPECT_EQ(form->table().cell(1, SpecTable::Score), "");
    EXPECT_TRUE(test::child<QLabel>(form.get(), "Label_zf")->text().isEmpty());
}

TEST_F(ManualCompositionTest, ABPapersSwitchTablesAndGenerateEachWithItsMark) {
    EXPECT_FALSE(test::child<QWidget>(form.get(), "Frame_abj")->isVisible());
    EXPECT_TRUE(form->paperMark().isEmpty());
    put(1, "00001");
    SpecTable second(2);
    second.fillRow(1, "00002", "张三-00002", "填空题", "0.3", "1-数学\\1-人教版\\第二节", "3-C");
    second.fillRow(2, "00003", "张三-00003", "填空题", "0.7", "1-数学\\1-人教版\\第二节", "3-C");
    form->setSecondPaper(second);
    EXPECT_TRUE(test::child<QWidget>(form.get(), "Frame_abj")->isVisible());
    EXPECT_EQ(test::child<QRadioButton>(form.get(), "Option_Ajuan")->text(), "A卷");
    EXPECT_EQ(test::child<QRadioButton>(form.get(), "Option_Bjuan")->text(), "B卷");
    EXPECT_TRUE(test::child<QRadioButton>(form.get(), "Option_Ajuan")->isChecked());
    EXPECT_EQ(form->paperMark(), "A卷");

    test::child<QRadioButton>(form.get(), "Option_Bjuan")->click();
    EXPECT_EQ(form->shownPaper(), 1);
    EXPECT_EQ(form->paperMark(), "B卷");
    EXPECT_EQ(test::child<QLabel>(form.get(), "Label_biaoti")->text(), "命卷双向细目表（B卷）");
    ASSERT_EQ(grid()->rowCount(), 3);
    EXPECT_EQ(column(1), QStringList({"00002", "00003"}));
    EXPECT_EQ(column(0), QStringList({"1", "2"}));
    // The use-record choice stays with the screen; with B shown the generator
    // still writes both, the A paper first.
    test::child<QRadioButton>(form.get(), "Option_bbc")->setChecked(true);
    QString mark;
    bool pair = false;
    app.state().modalHook = [&](QObject* screen) {
        if (auto* generator = qobject_cast<Form_scsjjm*>(screen)) {
            mark = generator->paperMark();
            pair = generator->writesPair();
        }
    };
    app.prompts.answer(Answer::Yes);
    test::child<QPushButton>(form.get(), "Command_scsj")->click();
    EXPECT_EQ(mark, "A卷");
    EXPECT_TRUE(pair);

    // Back to A: its rows as they were.
    test::child<QRadioButton>(form.get(), "Option_Ajuan")->click();
    EXPECT_EQ(form->shownPaper(), 0);
    EXPECT_EQ(column(1).first(), "00001");
    EXPECT_EQ(grid()->rowCount(), 25);
    EXPECT_EQ(test::child<QLabel>(form.get(), "Label_biaoti")->text(), "命卷双向细目表（A卷）");

    // Leaving the screen with B shown keeps the pair; 手动组卷 opens on it again.
    test::child<QRadioButton>(form.get(), "Option_Bjuan")->click();
    form.reset();
    form = std::make_unique<Form_sdzj>(app.state());
    form->restoreKeptPair();
    form->show();
    ASSERT_TRUE(form->hasPaperPair());
    EXPECT_EQ(form->paperMark(), "A卷");
    EXPECT_EQ(column(1).first(), "00001");
    form->showPaper(1);
    EXPECT_EQ(column(1), QStringList({"00002", "00003"}));
    // A new single table ends the pair.
    form.reset();
    form = std::make_unique<Form_sdzj>(app.state());
    form.reset();
    form = std::make_unique<Form_sdzj>(app.state());
    form->restoreKeptPair();
    EXPECT_FALSE(form->hasPaperPair());
}
