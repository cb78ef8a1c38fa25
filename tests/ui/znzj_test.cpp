// The intelligent composition screen, offscreen, through its controls: the
// fresh screen, counts and total, shares with the excess message, the scope
// ticks, the parameter check and the failures that must leave it usable.

#include "plan/composition.h"
#include "store/statement.h"
#include "ui/znzj_fixtures.h"

#include <QApplication>
#include <QDateEdit>
#include <QSpinBox>
#include <QTest>
#include <gtest/gtest.h>

// Messages read as text when an assertion fails.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

using namespace zs;
using namespace zs::test;

namespace {

QColor textColour(QWidget* w) {
    return w->palette().color(QPalette::WindowText);
}

class ZnzjTest : public ::testing::Test {
protected:
    void SetUp() override {
        fillCompositionBank(app);
        form = std::make_unique<Form_znzj>(app.state());
        ui = std::make_unique<ZnzjDriver>(*form);
    }

    TestApp app;
    std::unique_ptr<Form_znzj> form;
    std::unique_ptr<ZnzjDriver> ui;
};

QStringList topTexts(QTreeWidget* tree, bool onlyTicked = false) {
    QStringList out;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        if (!onlyTicked || tree->topLevelItem(i)->checkState(0) == Qt::Checked)
            out << tree->topLevelItem(i)->text(0);
    return out;
}

}  // namespace

TEST_F(ZnzjTest, AFreshScreenShowsZeroesAndEveryTeacherAndSourceTicked) {
    EXPECT_EQ(form->windowTitle(), "智能组卷");
    EXPECT_EQ(ui->text("Label_tszj"), "0");
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(form->Label_ndbl[k]->text(), "00%");
        EXPECT_EQ(form->HScroll_ndbl[k]->minimum(), 0);
        EXPECT_EQ(form->HScroll_ndbl[k]->maximum(), 10);
        EXPECT_EQ(form->HScroll_ndbl[k]->value(), 0);
    }
    EXPECT_EQ(ui->text("Label_blzj"), "00%");
    EXPECT_EQ(textColour(ui->label("Label_blzj")), QColor(255, 0, 0));
    EXPECT_EQ(ui->text("Label_ztnd"), "0.0");

    EXPECT_EQ(topTexts(ui->tree("TreeView_zz"), true), QStringList({"张三", "李四"}));
    EXPECT_EQ(ui->tree("TreeView_zz")->topLevelItem(1)->data(0, Qt::UserRole).toString(), "作者:李四");
    EXPECT_EQ(topTexts(ui->tree("TreeView_stly"), true), QStringList({"1-课本", "2-练习册"}));
    EXPECT_EQ(ui->tree("TreeView_stly")->topLevelItem(0)->data(0, Qt::UserRole).toString(), "试题来源:1-课本");
    const ScopeTreeModel& scope = ui->scopeTree()->model();
    EXPECT_EQ(scope.count(), 1 + 1 + 1 + 1 + 2 + 4);
    EXPECT_FALSE(scope.anyChecked());

    const QStringList types = {"单选题", "多选题", "填空题", "判断题", "计算题", "作图题", "解答题", "作文题"};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(form->Check_tx[i]->objectName(), QString("Check_tx_%1").arg(i));
        EXPECT_EQ(form->Check_tx[i]->text(), types[i]);
        EXPECT_FALSE(form->Check_tx[i]->isChecked());
        EXPECT_EQ(textColour(form->Check_tx[i]), QColor(128, 128, 128));
        EXPECT_EQ(form->Text_ts[i]->text(), "0");
        EXPECT_FALSE(form->Text_ts[i]->isEnabled());
        EXPECT_FALSE(form->Command_tsjian[i]->isEnabled());
        EXPECT_FALSE(form->Command_tsjia[i]->isEnabled());
        EXPECT_EQ(form->Command_tsjian[i]->text(), "-");
        EXPECT_EQ(form->Command_tsjia[i]->text(), "+");
    }
    const QStringList levelCaptions = {"\"容易题\"占总题数比例", "\"较易题\"占总题数比例", "\"中等题\"占总题数比例",
                                       "\"较难题\"占总题数比例", "\"困难题\"占总题数比例"};
    const char* levelLabels[] = {"Label1", "Label4", "Label5", "Label6", "Label7"};
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(ui->text(levelLabels[k]), levelCaptions[k]);

    EXPECT_EQ(ui->find<QPushButton>("Command_jszyfa")->text(), "计算最优方案");
    EXPECT_EQ(ui->find<QPushButton>("Command_tc")->text(), "退    出");
    EXPECT_EQ(ui->find<QCheckBox>("Check_zzzq")->text(), "在这之前");
    EXPECT_EQ(ui->find<QCheckBox>("Check_zzzh")->text(), "在这之后");
    EXPECT_FALSE(ui->find<QDateEdit>("DTPicker_zzzq")->isEnabled());
    EXPECT_FALSE(ui->find<QDateEdit>("DTPicker_zzzh")->isEnabled());
    EXPECT_TRUE(ui->find<QDateEdit>("DTPicker_zzzq")->calendarPopup());
    EXPECT_EQ(ui->find<QCheckBox>("Check_jxyh")->text(), "精细优化");
    EXPECT_TRUE(ui->find<QCheckBox>("Check_jxyh")->isChecked());
    EXPECT_TRUE(app.prompts.messages().isEmpty());
}

TEST_F(ZnzjTest, CountsAndTheTotalFollowTheTypeBoxes) {
    QCheckBox* single = form->Check_tx[0];
    QTest::mouseClick(single, Qt::LeftButton, {}, QPoint(8, single->height() / 2));
    ASSERT_TRUE(single->isChecked());
    EXPECT_EQ(textColour(single), QColor(0, 0, 255));
    EXPECT_TRUE(form->Text_ts[0]->isEnabled());
    for (int n = 0; n < 3; ++n)
        QTest::mouseClick(form->Command_tsjia[0], Qt::LeftButton);
    QTest::mouseClick(form->Command_tsjian[0], Qt::LeftButton);
    EXPECT_EQ(form->Text_ts[0]->text(), "2");
    EXPECT_EQ(ui->text("Label_tszj"), "2");

    single->click();
    EXPECT_EQ(form->Text_ts[0]->text(), "2");
    EXPECT_EQ(ui->text("Label_tszj"), "0");
    EXPECT_EQ(textColour(single), QColor(100, 100, 100));
    EXPECT_FALSE(form->Command_tsjia[0]->isEnabled());
    single->click();
    EXPECT_EQ(ui->text("Label_tszj"), "2");

    // "-" at 0 stays 0; a typed count is read by its leading number.
    form->Check_tx[2]->click();
    form->Command_tsjian[2]->click();
    EXPECT_EQ(form->Text_ts[2]->text(), "0");
    form->Text_ts[2]->clear();
    QTest::keyClicks(form->Text_ts[2], "12abc");
    EXPECT_EQ(ui->text("Label_tszj"), "14");
}

TEST_F(ZnzjTest, SharesShowTheirTotalColourAndOverallDifficulty) {
    ui->setShares({3, 3, 4, 0, 0});
    EXPECT_EQ(form->Label_ndbl[0]->text(), "30%");
    EXPECT_EQ(form->Label_ndbl[2]->text(), "40%");
    EXPECT_EQ(ui->text("Label_blzj"), "100%");
    EXPECT_EQ(textColour(ui->label("Label_blzj")), QColor(0, 0, 0));
    EXPECT_EQ(ui->text("Label_ztnd"), "0.32");
    EXPECT_EQ(form->ShareTotal, 100);
    EXPECT_TRUE(app.prompts.messages().isEmpty());

    // One step past 100 %: the message once, the bar back where it was.
    form->HScroll_ndbl[3]->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    ASSERT_EQ(app.prompts.messages(), QStringList({"各种难度题所占比例总和不能超过：100%"}));
    EXPECT_EQ(app.prompts.records().last().icon, Icon::Question);
    EXPECT_EQ(app.prompts.records().last().title, kAppTitle);
    EXPECT_EQ(form->HScroll_ndbl[3]->value(), 0);
    EXPECT_EQ(form->Label_ndbl[3]->text(), "00%");
    EXPECT_EQ(ui->text("Label_blzj"), "100%");

    // From the keyboard: the bar keeps the focus.
    app.prompts.clear();
    form->show();
    QApplication::setActiveWindow(form.get());
    form->HScroll_ndbl[1]->setFocus();
    QTest::keyClick(form->HScroll_ndbl[1], Qt::Key_Right);
    EXPECT_EQ(app.prompts.messages().size(), 1);
    EXPECT_EQ(form->HScroll_ndbl[1]->value(), 3);
    EXPECT_TRUE(form->HScroll_ndbl[1]->hasFocus());

    // Three steps past: three messages, one per step taken back.
    app.prompts.clear();
    form->HScroll_ndbl[4]->setValue(3);
    EXPECT_EQ(app.prompts.messages().size(), 3);
    EXPECT_EQ(form->HScroll_ndbl[4]->value(), 0);

    // Lowering a share turns the total red again.
    form->HScroll_ndbl[2]->setValue(2);
    EXPECT_EQ(ui->text("Label_blzj"), "80%");
    EXPECT_EQ(textColour(ui->label("Label_blzj")), QColor(255, 0, 0));
    EXPECT_EQ(ui->text("Label_ztnd"), "0.28");
}

TEST_F(ZnzjTest, TickingAChapterAndUntickingOneOfItsSections) {
    ui->tickScope(chapterPath(0));
    EXPECT_TRUE(ui->scopeTicked(sectionPath(0, 0)));
    EXPECT_TRUE(ui->scopeTicked(sectionPath(0, 1)));
    EXPECT_FALSE(ui->scopeTicked(sectionPath(1, 0)));
    EXPECT_EQ(form->inputs().ScopePaths, QStringList({sectionPath(0, 0), sectionPath(0, 1)}));

    ui->tickScope(sectionPath(0, 0), false);
    EXPECT_FALSE(ui->scopeTicked(sectionPath(0, 0)));
    EXPECT_FALSE(ui->scopeTicked(chapterPath(0)));
    EXPECT_FALSE(ui->scopeTicked(kVolume));
    EXPECT_FALSE(ui->scopeTicked("1-数学"));
    EXPECT_TRUE(ui->scopeTicked(sectionPath(0, 1)));
    EXPECT_EQ(form->inputs().ScopePaths, QStringList({sectionPath(0, 1)}));

    // Ticking the volume ticks everything below it.
    ui->tickScope(kVolume);
    EXPECT_TRUE(ui->scopeTicked(sectionPath(1, 1)));
    EXPECT_EQ(form->inputs().ScopePaths.size(), 4);
}

TEST_F(ZnzjTest, TheDateBoxesEnableTheirPickersAndLimitTogether) {
    QCheckBox* before = ui->find<QCheckBox>("Check_zzzq");
    QCheckBox* after = ui->find<QCheckBox>("Check_zzzh");
    before->click();
    EXPECT_TRUE(ui->find<QDateEdit>("DTPicker_zzzq")->isEnabled());
    EXPECT_FALSE(ui->find<QDateEdit>("DTPicker_zzzh")->isEnabled());
    ui->find<QDateEdit>("DTPicker_zzzq")->setDate(QDate(2013, 1, 20));
    // One limit alone filters nothing.
    EXPECT_FALSE(zs::CollectParameters(form->inputs(), QStringList()).LastUseRange.has_value());
    after->click();
    ui->find<QDateEdit>("DTPicker_zzzh")->setDate(QDate(2013, 1, 5));
    const CompositionParameters p = zs::CollectParameters(form->inputs(), QStringList());
    ASSERT_TRUE(p.LastUseRange.has_value());
    EXPECT_EQ(p.LastUseRange->after, QDate(2013, 1, 5));
    EXPECT_EQ(p.LastUseRange->before, QDate(2013, 1, 20));
    before->click();
    EXPECT_FALSE(ui->find<QDateEdit>("DTPicker_zzzq")->isEnabled());
}

TEST_F(ZnzjTest, TheCheckListsEveryProblemInItsOrderAndSearchesNothing) {
    QTreeWidget* teachers = ui->tree("TreeView_zz");
    for (int i = 0; i < teachers->topLevelItemCount(); ++i)
        teachers->topLevelItem(i)->setCheckState(0, Qt::Unchecked);
    bool modal = false;
    app.state().modalHook = [&](QObject*) { modal = true; };
    ui->compute();
    ASSERT_EQ(app.prompts.messages().size(), 1);
    EXPECT_EQ(app.prompts.lastMessage(), "还有以下参数设置有点问题，请前去设置好了再开始：\r\r"
                                         "     *设置的总题数为0！\r\r"
                                         "     *没有勾选任何【考查范围】！\r\r"
                                         "     *没有勾选任何【试题作者】！\r\r"
                                         "     *各难度题数比例的总和小于100%！\r\r");
    EXPECT_EQ(app.prompts.records().last().icon, Icon::None);
    EXPECT_FALSE(modal);  // no table opened
}

TEST_F(ZnzjTest, TooFewQuestionsInTheScopeAreRefusedAfterTheNotice) {
    ui->tickScope(sectionPath(0, 0));
    ui->tickType(0, 30);
    ui->setShares({10, 0, 0, 0, 0});
    bool modal = false;
    app.state().modalHook = [&](QObject*) { modal = true; };
    ui->compute();
    // The refusal names what the section holds.
    EXPECT_EQ(app.prompts.messages(),
              QStringList({"计算<最优方案>的时间可能有点长，在这段时间内要稍安勿躁，不要乱点鼠标哦~",
                           "对不起，所选考查范围内的总题数小于您组卷所需的总题数，无法进行智能组卷！\r\r"
                           "所选范围内共 12 道题。题型：单选题 5 道，填空题 3 道，计算题 4 道；"
                           "难度：容易题 2 道，较易题 2 道，中等题 4 道，较难题 2 道，困难题 2 道。"}));
    EXPECT_FALSE(modal);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(ZnzjTest, AFailingCandidateQueryIsReportedAndTheScreenStaysUsable) {
    ui->typicalRequest();
    Bank(app.bankPath()).execute("alter table 试题库 rename column 入库教师 to 教师");
    bool modal = false;
    app.state().modalHook = [&](QObject*) { modal = true; };
    ui->compute();
    ASSERT_EQ(app.prompts.records().size(), 2) << app.prompts.messages().join("\n").toStdString();
    EXPECT_EQ(app.prompts.records()[0].text, kSearchNotice);
    EXPECT_EQ(app.prompts.records()[1].icon, Icon::Critical);
    // The teacher reads what is wrong; the statement is in the details.
    EXPECT_TRUE(app.prompts.records()[1].text.contains("试题库的数据表缺少列<入库教师>"))
        << app.prompts.records()[1].text.toStdString();
    EXPECT_TRUE(app.prompts.records()[1].details.contains("select * from 试题库 where"));
    EXPECT_FALSE(modal);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // The settings stay and the controls still work.
    EXPECT_EQ(ui->text("Label_tszj"), "8");
    form->Command_tsjia[0]->click();
    EXPECT_EQ(ui->text("Label_tszj"), "9");
}

TEST_F(ZnzjTest, TheScopeCountsFollowTheTicksAndShowWhatCannotBeMet) {
    // Nothing ticked: nothing counted.
    EXPECT_EQ(ui->text("Label_kcfwsl"), "尚未勾选考查范围");
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(form->Label_txsl[i]->text(), "");

    // One section: 12 questions (two filed from the last section too).
    ui->tickScope(sectionPath(0, 0));
    EXPECT_EQ(ui->text("Label_kcfwsl"), "所选范围内共 12 道题");
    const QStringList types = {"有 5 道", "有 0 道", "有 3 道", "有 0 道", "有 4 道", "有 0 道", "有 0 道", "有 0 道"};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(form->Label_txsl[i]->text(), types[i]) << i;
    const QStringList levels = {"有 2 道", "有 2 道", "有 4 道", "有 2 道", "有 2 道"};
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(form->Label_ndsl[k]->text(), levels[k]) << k;

    // The whole volume, then one teacher only: every count follows.
    ui->tickScope(kVolume);
    EXPECT_EQ(ui->text("Label_kcfwsl"), "所选范围内共 40 道题");
    EXPECT_EQ(form->Label_txsl[0]->text(), "有 14 道");
    EXPECT_EQ(form->Label_ndsl[4]->text(), "有 8 道");
    ui->tree("TreeView_zz")->topLevelItem(1)->setCheckState(0, Qt::Unchecked);  // 李四
    EXPECT_EQ(ui->text("Label_kcfwsl"), "所选范围内共 20 道题");
    EXPECT_EQ(form->Label_txsl[0]->text(), "有 7 道");
    // Questions recently used are left out as the composition leaves them out.
    {
        Bank bank(app.bankPath());
        bank.execute("update 试题库 set 最后使用日期 = #" + dialectDate(app.clock.today()) +
                     "# where 题目编号 = '00001' or 题目编号 = '00003'");
    }
    ui->find<QCheckBox>("Check_jtnyg")->click();
    EXPECT_EQ(ui->text("Label_kcfwsl"), "所选范围内共 18 道题");
    ui->find<QCheckBox>("Check_jtnyg")->click();
    ui->tree("TreeView_zz")->topLevelItem(1)->setCheckState(0, Qt::Checked);
    EXPECT_EQ(ui->text("Label_kcfwsl"), "所选范围内共 40 道题");

    // Asking more than there are turns the count red, as the teacher types.
    const QColor grey(85, 85, 85), red(255, 0, 0);
    ui->tickType(0, 14);
    EXPECT_EQ(textColour(form->Label_txsl[0]), grey);
    form->Text_ts[0]->setText("15");
    EXPECT_EQ(textColour(form->Label_txsl[0]), red);
    EXPECT_EQ(textColour(form->Label_txsl[2]), grey);
    // 15 questions, all 困难题: 8 there.
    ui->setShares({0, 0, 0, 0, 10});
    EXPECT_EQ(textColour(form->Label_ndsl[4]), red);
    EXPECT_EQ(textColour(form->Label_ndsl[0]), grey);
    form->HScroll_ndbl[4]->setValue(5);
    form->HScroll_ndbl[2]->setValue(5);
    EXPECT_EQ(textColour(form->Label_ndsl[4]), grey);
    EXPECT_EQ(textColour(ui->label("Label_kcfwsl")), grey);
    form->Text_ts[0]->setText("41");
    EXPECT_EQ(textColour(ui->label("Label_kcfwsl")), red);

    // Unticking the scope clears the counts.
    ui->tickScope(kVolume, false);
    EXPECT_EQ(ui->text("Label_kcfwsl"), "尚未勾选考查范围");
    EXPECT_EQ(form->Label_ndsl[0]->text(), "");
    EXPECT_EQ(textColour(form->Label_txsl[0]), grey);
    EXPECT_TRUE(app.prompts.messages().isEmpty()) << app.prompts.messages().join("\n").toStdString();
}

TEST_F(ZnzjTest, TheLogoOpensTheHomePage) {
    QLabel* logo = ui->label("Image_logo");
    EXPECT_FALSE(logo->pixmap().isNull());
    QTest::mouseClick(logo, Qt::LeftButton);
    ASSERT_EQ(app.desktop.openedUrls.size(), 1);
    EXPECT_EQ(app.desktop.openedUrls.first(), app.state().homePage());
}

// ------------------------------------------------------------------ exact composition's controls

TEST_F(ZnzjTest, TheNewControlsStartUntickedAndTheDayCountFollowsItsBox) {
    QCheckBox* recent = ui->find<QCheckBox>("Check_jtnyg");
    QSpinBox* days = ui->find<QSpinBox>("Text_jtnyg");
    ASSERT_NE(recent, nullptr);
    ASSERT_NE(days, nullptr);
    EXPECT_EQ(recent->text(), "近");
    EXPECT_EQ(ui->text("Label_jtnyg"), "天内用过的题不选");
    EXPECT_FALSE(recent->isChecked());
    EXPECT_EQ(days->value(), 30);
    EXPECT_FALSE(days->isEnabled());
    recent->click();
    EXPECT_TRUE(days->isEnabled());
    EXPECT_EQ(ui->find<QCheckBox>("Check_tsscabj")->text(), "同时生成A/B卷");
    EXPECT_FALSE(ui->find<QCheckBox>("Check_tsscabj")->isChecked());
    EXPECT_TRUE(app.prompts.messages().isEmpty());
}

TEST_F(ZnzjTest, TheRecentUseFilterIsRememberedInTheBank) {
    ui->find<QCheckBox>("Check_jtnyg")->click();
    ui->find<QSpinBox>("Text_jtnyg")->setValue(14);
    // Remembered when the teacher computes (even a request the check refuses).
    ui->compute();
    EXPECT_TRUE(app.prompts.lastMessage().startsWith(kParameterProblemsHeader));

    Form_znzj again(app.state());
    EXPECT_TRUE(test::child<QCheckBox>(&again, "Check_jtnyg")->isChecked());
    EXPECT_EQ(test::child<QSpinBox>(&again, "Text_jtnyg")->value(), 14);
    EXPECT_TRUE(test::child<QSpinBox>(&again, "Text_jtnyg")->isEnabled());
    const CompositionInputs in = again.inputs();
    EXPECT_TRUE(in.recentUseTicked);
    EXPECT_EQ(in.recentUseDays, 14);
    EXPECT_EQ(in.today, app.clock.today());

    // Another bank has its own (here: none).
    TestApp other;
    fillCompositionBank(other, 4);
    Form_znzj elsewhere(other.state());
    EXPECT_FALSE(test::child<QCheckBox>(&elsewhere, "Check_jtnyg")->isChecked());
    EXPECT_EQ(test::child<QSpinBox>(&elsewhere, "Text_jtnyg")->value(), 30);
}

TEST_F(ZnzjTest, AnImpossibleRequestIsExplainedBeforeSearchingAndCancelKeepsTheSettings) {
    // The whole volume holds 14 单选题, 13 填空题 and 8 困难题.
    ui->tickScope(kVolume);
    ui->tickType(0, 16);
    ui->tickType(2, 2);
    ui->setShares({0, 0, 0, 0, 10});
    bool modal = false;
    app.state().modalHook = [&](QObject*) { modal = true; };
    app.prompts.answer(Answer::Cancel);  // the explanation
    ui->compute();
    ASSERT_EQ(app.prompts.records().size(), 2) << app.prompts.messages().join("\n").toStdString();
    EXPECT_EQ(app.prompts.records()[0].text, kSearchNotice);
    const PromptRecord& question = app.prompts.records()[1];
    EXPECT_EQ(question.text, "所选考查范围内的题目不能完全满足设置的要求：\r\r"
                             "单选题：需要 16 道，所选范围内只有 14 道。\r"
                             "困难题：需要 18 道，所选范围内只有 8 道。\r\r"
                             "点击“确定”仍然计算最接近要求的方案，点击“取消”返回修改参数。");
    EXPECT_EQ(question.buttons, Buttons::OkCancel);
    EXPECT_EQ(question.icon, Icon::Question);
    EXPECT_FALSE(modal);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(ui->text("Label_tszj"), "18");

    // The ticked types alone cannot fill the paper: refused with their counts,
    // before any explanation (no type that was not ticked is taken instead).
    app.prompts.clear();
    form->Text_ts[2]->setText("12");
    ui->compute();
    EXPECT_EQ(app.prompts.messages(),
              QStringList({kSearchNotice, "对不起，所选考查范围内所要求题型的题目只有 27 道（单选题 14 道，填空题 13 "
                                          "道），少于您组卷所需的总题数 28 道，无法进行智能组卷！"}));
    EXPECT_FALSE(modal);

    // More questions than the scope holds are refused as always, before any explanation.
    app.prompts.clear();
    ui->find<QCheckBox>("Check_jxyh")->click();
    form->Text_ts[0]->setText("60");
    ui->compute();
    EXPECT_EQ(app.prompts.messages(),
              QStringList({kSearchNotice, "对不起，所选考查范围内的总题数小于您组卷所需的总题数，无法进行智能组卷！\r\r"
                                          "所选范围内共 40 道题。题型：单选题 14 道，填空题 13 道，计算题 13 道；"
                                          "难度：容易题 8 道，较易题 8 道，中等题 8 道，较难题 8 道，困难题 8 道。"}));
}

TEST_F(ZnzjTest, ABPapersNeedTwiceAsManyQuestions) {
    // One section holds 12 questions: two papers of 8 without a common one cannot be made.
    ui->tickScope(sectionPath(0, 0));
    ui->tickType(0, 4);
    ui->tickType(2, 2);
    ui->tickType(4, 2);
    ui->setShares({2, 3, 3, 1, 1});
    ui->find<QCheckBox>("Check_tsscabj")->click();
    bool modal = false;
    app.state().modalHook = [&](QObject*) { modal = true; };
    ui->compute();
    EXPECT_EQ(app.prompts.messages(),
              QStringList({kSearchNotice,
                           "对不起，所选考查范围内的题目不够组成两套没有相同题目的A/B卷，无法同时生成A/B卷！\r\r"
                           "所选范围内共 12 道题。题型：单选题 5 道，填空题 3 道，计算题 4 道；"
                           "难度：容易题 2 道，较易题 2 道，中等题 4 道，较难题 2 道，困难题 2 道。"}));
    EXPECT_FALSE(modal);
}
