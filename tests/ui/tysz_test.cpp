// The question-source screen driven through its controls on a real bank.

#include "store/bank.h"
#include "support/testsupport.h"
#include "ui/catalogue/Form_tysz.h"

#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QMainWindow>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace zs;
using zs::test::TestApp;

namespace {

class TyszTest : public ::testing::Test {
protected:
    void SetUp() override {
        Bank bank(app.bankPath());
        for (const char* s : {"10-月考", "2-期末考试", "1-期中考试"})
            bank.addRow("试题来源", {{"试题来源", QString::fromUtf8(s)}});
        bank.addRow("试题库", {{"题目编号", "00001"}, {"试题来源", "2-期末考试"}});
    }

    QListWidget* list(Form_tysz& form) { return test::child<QListWidget>(&form, "List_tysz"); }
    QStringList items(Form_tysz& form) {
        QStringList out;
        for (int i = 0; i < list(form)->count(); ++i)
            out << list(form)->item(i)->text();
        return out;
    }
    void select(Form_tysz& form, const QString& text) {
        const auto found = list(form)->findItems(text, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1);
        list(form)->setCurrentItem(found.first());
    }
    void click(Form_tysz& form, const char* button) {
        QTest::mouseClick(test::child<QPushButton>(&form, button), Qt::LeftButton);
    }
    QStringList sourcesInBank() {
        QStringList out = Bank(app.bankPath()).query("select * from 试题来源").texts();
        out.sort();
        return out;
    }
    QString questionSource() { return Bank(app.bankPath()).query("select 试题来源 from 试题库").text(0, 0); }

    TestApp app;
};

}  // namespace

TEST_F(TyszTest, ListsTheSourcesInNaturalOrder) {
    app.state().BankPath = "elsewhere";
    Form_tysz form(app.state());
    EXPECT_EQ(form.windowTitle(), "题源设置");
    EXPECT_EQ(app.state().BankPath, app.bankPath());
    EXPECT_EQ(items(form), QStringList({"1-期中考试", "2-期末考试", "10-月考"}));
    EXPECT_EQ(test::child<QPushButton>(&form, "Command_zjty")->text(), "增加题源");
    EXPECT_EQ(test::child<QPushButton>(&form, "Command_xgty")->text(), "修改题源");
    EXPECT_EQ(test::child<QPushButton>(&form, "Command_scty")->text(), "删除题源");
    EXPECT_EQ(test::child<QPushButton>(&form, "Command_tc")->text(), "退出");
}

TEST_F(TyszTest, AddChecksTheNameAndDuplicates) {
    Form_tysz form(app.state());
    app.prompts.type("期末考试");
    click(form, "Command_zjty");
    EXPECT_EQ(app.prompts.lastMessage(),
              "输入的名称格式不正确！\r正确的格式应该为：#-********\r其中#代表数字，*代表文字");
    app.prompts.cancel();
    click(form, "Command_zjty");
    EXPECT_EQ(app.prompts.lastMessage(), "输入的内容不能为空！");
    app.prompts.type("2-期末考试");
    click(form, "Command_zjty");
    EXPECT_EQ(app.prompts.lastMessage(), "和原有项目重复！");
    EXPECT_EQ(app.prompts.records().first().text, "请输入要增加的<试题来源>的名称：");
    EXPECT_EQ(sourcesInBank().size(), 3);

    app.prompts.clear();
    app.prompts.type("3-King's 联考");
    click(form, "Command_zjty");
    EXPECT_TRUE(app.prompts.messages().isEmpty());
    EXPECT_EQ(items(form), QStringList({"1-期中考试", "2-期末考试", "3-King's 联考", "10-月考"}));
    EXPECT_TRUE(sourcesInBank().contains("3-King's 联考"));
}

TEST_F(TyszTest, RenameRefusesTheUnchangedNameAndLeavesQuestionsAlone) {
    Form_tysz form(app.state());
    click(form, "Command_xgty");
    EXPECT_EQ(app.prompts.messages(), QStringList({"请先选中待更改项！"}));

    select(form, "2-期末考试");
    app.prompts.clear();
    app.prompts.answer(Answer::Ok);
    app.prompts.type("2-期末考试");
    click(form, "Command_xgty");
    ASSERT_EQ(app.prompts.records().size(), 3);
    EXPECT_EQ(app.prompts.records()[0].text, "确定要更改 “2-期末考试” 吗？");
    EXPECT_EQ(app.prompts.records()[0].buttons, Buttons::OkCancel);
    EXPECT_EQ(app.prompts.records()[1].text, "请输入更改后的<试题来源>的名称：");
    EXPECT_EQ(app.prompts.records()[1].defaultText, "2-期末考试");
    EXPECT_EQ(app.prompts.records()[2].text, "和原有项目重复！");

    select(form, "2-期末考试");
    app.prompts.answer(Answer::Cancel);
    click(form, "Command_xgty");
    select(form, "2-期末考试");
    app.prompts.answer(Answer::Ok);
    app.prompts.type("2-O'Brien 期末");
    click(form, "Command_xgty");
    EXPECT_EQ(sourcesInBank(), QStringList({"1-期中考试", "10-月考", "2-O'Brien 期末"}));
    EXPECT_EQ(items(form), QStringList({"1-期中考试", "2-O'Brien 期末", "10-月考"}));
    EXPECT_EQ(questionSource(), "2-期末考试");
}

TEST_F(TyszTest, DeleteAsksAndLeavesQuestionsAlone) {
    Form_tysz form(app.state());
    click(form, "Command_scty");
    EXPECT_EQ(app.prompts.messages(), QStringList({"请先选中待删除项！"}));

    select(form, "2-期末考试");
    app.prompts.clear();
    app.prompts.answer(Answer::Cancel);
    click(form, "Command_scty");
    EXPECT_EQ(app.prompts.messages(), QStringList({"确定要删除 “2-期末考试” 吗？"}));
    EXPECT_EQ(sourcesInBank().size(), 3);

    select(form, "2-期末考试");
    app.prompts.answer(Answer::Ok);
    click(form, "Command_scty");
    EXPECT_EQ(items(form), QStringList({"1-期中考试", "10-月考"}));
    EXPECT_EQ(questionSource(), "2-期末考试");
}

TEST_F(TyszTest, ExitBringsTheMainMenuBackToTheFront) {
    QMainWindow menu;
    menu.setWindowTitle("主界面");
    menu.show();
    Form_tysz form(app.state(), &menu);
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    click(form, "Command_tc");
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &menu; }, 2000));
}

TEST_F(TyszTest, LooksTidy) {
    Bank bank(app.bankPath());
    for (const char* s : {"3-单元测验", "4-中考真题", "5-高考真题", "6-竞赛题", "7-教辅资料", "8-自编题"})
        bank.addRow("试题来源", {{"试题来源", QString::fromUtf8(s)}});
    Form_tysz form(app.state());
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QListWidget* sources = list(form);
    EXPECT_EQ(sources->count(), 9);
    EXPECT_GE(sources->viewport()->width(), sources->fontMetrics().horizontalAdvance("10-月考 期末复习卷"));
    if (const QString dir = qEnvironmentVariable("ZS_SCREENSHOT_DIR"); !dir.isEmpty()) {
        select(form, "2-期末考试");
        form.grab().save(QDir(dir).filePath("Form_tysz.png"));
    }
}
