// Registration, password change and forgotten password, driven offscreen with
// real focus changes and clicks: the exact messages, which boxes are emptied,
// where the focus goes, and what reaches the bank.

#include "app/accounts.h"
#include "store/bank.h"
#include "support/testsupport.h"
#include "ui/start/Form_WJMM.h"
#include "ui/start/Form_yhgm.h"
#include "ui/start/Form_yhzc.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace zs;

namespace {

const QString kRepeat = "两次密码输入不相同\r请重新输入密码！";

class AccountScreensTest : public ::testing::Test {
protected:
    RunState& state() { return app.state(); }
    static QLineEdit* box(QWidget& form, const char* name) { return test::child<QLineEdit>(&form, name); }
    static QPushButton* button(QWidget& form, const char* name) { return test::child<QPushButton>(&form, name); }
    static void fill(QWidget& form, const QList<std::pair<const char*, QString>>& values) {
        for (const auto& [name, value] : values)
            box(form, name)->setText(value);
    }
    // Shows the screen as the active window so that focus moves are real.
    static void activate(QWidget& form) {
        form.show();
        form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    }
    // Types into a box that has the focus, then tabs on.
    static void typeAndLeave(QLineEdit* into, const QString& text, QWidget* next) {
        into->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(into, text);
        next->setFocus(Qt::TabFocusReason);
    }
    RowSet users() { return Bank(app.bankPath()).query("select * from 用户管理"); }
    static void fillRegistration(QWidget& form, const QString& name, const QString& password) {
        fill(form, {{"Text_smyhm", name},
                    {"Text_mm", password},
                    {"Text_zcsrmm", password},
                    {"Text_lxfsqq", "10001"},
                    {"Text_szxxxm", "实验中学"},
                    {"Text_srxk", "物理"}});
    }

    test::TestApp app;
};

TEST_F(AccountScreensTest, RegistrationComplainsInOrderThenRegistersAndRefusesATakenName) {
    Form_yhzc form(state());
    EXPECT_EQ(form.windowTitle(), "用户注册-琢石试题库");
    QTest::mouseClick(button(form, "Command_zctj"), Qt::LeftButton);
    EXPECT_EQ(app.prompts.lastMessage(), "*实名用户名未填写!\r*密码未填写!\r*再次输入密码未填写！\r"
                                         "*所在学校详名未填写！\r*所任学科未填写！\r*联系方式(QQ)未填写！\r");
    fill(form, {{"Text_smyhm", "张三"}, {"Text_mm", "abc"}, {"Text_zcsrmm", "abc"}, {"Text_srxk", "物理"}});
    QTest::mouseClick(button(form, "Command_zctj"), Qt::LeftButton);
    EXPECT_EQ(app.prompts.lastMessage(), "*所在学校详名未填写！\r*联系方式(QQ)未填写！\r");
    EXPECT_TRUE(users().isEmpty());

    fillRegistration(form, "张三", "abc");
    QTest::mouseClick(button(form, "Command_zctj"), Qt::LeftButton);
    EXPECT_EQ(app.prompts.lastMessage(), "注册成功！\r请牢记以下信息！\r实名用户名：张三\r密码：abc");
    EXPECT_EQ(box(form, "Text_smyhm")->text(), "张三");  // the boxes stay filled

    fillRegistration(form, "李四", "xyz");
    QTest::mouseClick(button(form, "Command_zctj"), Qt::LeftButton);
    fillRegistration(form, "张三", "other");
    QTest::mouseClick(button(form, "Command_zctj"), Qt::LeftButton);
    EXPECT_EQ(app.prompts.lastMessage(), "注册未成功！因为该实名用户名已经被注册，请直接登录！");
    EXPECT_EQ(box(form, "Text_mm")->text(), "other");

    const RowSet rows = users();
    ASSERT_EQ(rows.count(), 2);
    EXPECT_EQ(rows.text(0, "实名用户名"), "张三");
    EXPECT_EQ(rows.text(0, "密码"), "abc");
    EXPECT_EQ(rows.text(0, "所在学校详名"), "实验中学");
    EXPECT_EQ(rows.text(0, "所任学科"), "物理");
    EXPECT_EQ(rows.text(0, "联系方式"), "10001");
    EXPECT_EQ(rows.text(1, "实名用户名"), "李四");

    QTest::mouseClick(button(form, "Command_qkzc"), Qt::LeftButton);
    for (QLineEdit* e : form.findChildren<QLineEdit*>())
        EXPECT_EQ(e->text(), "") << e->objectName().toStdString();
}

TEST_F(AccountScreensTest, RegistrationChecksQQAndRepeatedPasswordOnLeavingTheBox) {
    Form_yhzc form(state());
    activate(form);
    QLineEdit* qq = box(form, "Text_lxfsqq");
    typeAndLeave(qq, "12a", box(form, "Text_szxxxm"));
    EXPECT_EQ(app.prompts.messages(), QStringList{"*联系方式(QQ)不是有效QQ！\r请重新输入！"});
    EXPECT_EQ(qq->text(), "");
    EXPECT_EQ(QApplication::focusWidget(), qq);
    typeAndLeave(qq, "123456789", box(form, "Text_szxxxm"));
    EXPECT_EQ(qq->text(), "123456789");
    EXPECT_EQ(app.prompts.messages().size(), 1);

    app.prompts.clear();
    box(form, "Text_mm")->setText("abc");
    typeAndLeave(box(form, "Text_zcsrmm"), "abd", qq);
    EXPECT_EQ(app.prompts.messages(), QStringList{kRepeat});
    EXPECT_EQ(box(form, "Text_mm")->text(), "");
    EXPECT_EQ(box(form, "Text_zcsrmm")->text(), "");
    EXPECT_EQ(QApplication::focusWidget(), box(form, "Text_mm"));

    // A refusal swallows the click that took the focus away: the submit does not follow it.
    app.prompts.clear();
    fillRegistration(form, "张三", "abc");
    box(form, "Text_zcsrmm")->setText("abd");
    box(form, "Text_zcsrmm")->setFocus(Qt::TabFocusReason);
    QTest::mouseClick(button(form, "Command_zctj"), Qt::LeftButton);
    EXPECT_EQ(app.prompts.messages(), QStringList{kRepeat});
    EXPECT_TRUE(users().isEmpty());
    // ...but the next click on it is an ordinary click.
    fillRegistration(form, "张三", "abc");
    QTest::mouseClick(button(form, "Command_zctj"), Qt::LeftButton);
    EXPECT_EQ(app.prompts.messages().size(), 2);
    EXPECT_EQ(users().count(), 1);

    // Leaving a box for "清空重填" needs no check.
    app.prompts.clear();
    box(form, "Text_lxfsqq")->setText("abc");
    box(form, "Text_lxfsqq")->setFocus(Qt::TabFocusReason);
    QTest::mouseClick(button(form, "Command_qkzc"), Qt::LeftButton);
    EXPECT_TRUE(app.prompts.messages().isEmpty());
    EXPECT_EQ(box(form, "Text_lxfsqq")->text(), "");
}

TEST_F(AccountScreensTest, SubmitByKeyboardStillChecksPasswordsAndQQ) {
    // Enter in a box presses "提交注册" without the box losing the focus.
    Form_yhzc form(state());
    activate(form);
    fillRegistration(form, "张三", "abc");
    box(form, "Text_zcsrmm")->setText("abd");
    box(form, "Text_zcsrmm")->setFocus();
    QTest::keyClick(box(form, "Text_zcsrmm"), Qt::Key_Return);
    EXPECT_EQ(app.prompts.lastMessage(), kRepeat);
    EXPECT_EQ(QApplication::focusWidget(), box(form, "Text_mm"));

    fillRegistration(form, "张三", "abc");
    box(form, "Text_lxfsqq")->setText("QQ10001");
    box(form, "Text_lxfsqq")->setFocus();
    QTest::keyClick(box(form, "Text_lxfsqq"), Qt::Key_Return);
    EXPECT_EQ(app.prompts.lastMessage(), "*联系方式(QQ)不是有效QQ！\r请重新输入！");
    EXPECT_EQ(box(form, "Text_lxfsqq")->text(), "");
    EXPECT_TRUE(users().isEmpty());
}

TEST_F(AccountScreensTest, ChangePassword) {
    ASSERT_EQ(registerAccount(app.bankPath(), {"张三", "abc", "实验中学", "物理", "10001"}, "abc").outcome,
              RegistrationResult::Outcome::Registered);
    Form_yhgm form(state());
    EXPECT_EQ(form.windowTitle(), "用户改密-琢石试题库");
    activate(form);
    QTest::mouseClick(button(form, "Command_qrgm"), Qt::LeftButton);
    EXPECT_EQ(app.prompts.lastMessage(), "*实名用户名未填写!\r*密码未填写!\r");

    fill(form, {{"Text_smyhm", "张三"}, {"Text_mm", "abd"}, {"Text_xmm", "new"}, {"Text_qqrxmm", "new"}});
    QTest::mouseClick(button(form, "Command_qrgm"), Qt::LeftButton);
    EXPECT_EQ(app.prompts.lastMessage(), "没有查询到相关记录！\r请确认用户名和密码匹配！");
    EXPECT_EQ(users().text(0, "密码"), "abc");

    // The confirmation box is checked when it is left.
    app.prompts.clear();
    box(form, "Text_mm")->setText("abc");
    box(form, "Text_qqrxmm")->clear();
    typeAndLeave(box(form, "Text_qqrxmm"), "neu", box(form, "Text_smyhm"));
    EXPECT_EQ(app.prompts.messages(), QStringList{kRepeat});
    EXPECT_EQ(box(form, "Text_xmm")->text(), "");
    EXPECT_EQ(box(form, "Text_qqrxmm")->text(), "");
    EXPECT_EQ(QApplication::focusWidget(), box(form, "Text_xmm"));

    // Emptied by that refusal, the new-password boxes cannot set an empty password by accident.
    box(form, "Text_xmm")->setText("new");
    QTest::mouseClick(button(form, "Command_qrgm"), Qt::LeftButton);
    EXPECT_EQ(app.prompts.lastMessage(), kRepeat);
    EXPECT_EQ(users().text(0, "密码"), "abc");

    fill(form, {{"Text_xmm", "new'pw"}, {"Text_qqrxmm", "new'pw"}});
    QTest::mouseClick(button(form, "Command_qrgm"), Qt::LeftButton);
    EXPECT_EQ(app.prompts.lastMessage(),
              "新密码已经修改成功！请牢记下列用户名和密码：\r\r实名用户名：张三\r密      码：new'pw");
    EXPECT_EQ(users().text(0, "密码"), "new'pw");
}

TEST_F(AccountScreensTest, ForgottenPasswordNeedsAllFourDetails) {
    ASSERT_EQ(registerAccount(app.bankPath(), {"张三", "abc", "实验中学", "物理", "10001"}, "abc").outcome,
              RegistrationResult::Outcome::Registered);
    Form_WJMM form(state());
    EXPECT_EQ(form.windowTitle(), "忘记密码-琢石试题库");
    QLineEdit* password = box(form, "Text_mm");
    EXPECT_EQ(password->echoMode(), QLineEdit::Normal);

    fill(form, {{"Text_smyhm", "张三"}, {"Text_szxxxm", "实验中学"}, {"Text_srxk", "物理"}, {"Text_lxfsqq", "10001"}});
    QTest::mouseClick(button(form, "Command_HQMM"), Qt::LeftButton);
    EXPECT_EQ(password->text(), "abc");
    EXPECT_TRUE(app.prompts.messages().isEmpty());

    const QList<std::pair<const char*, QString>> wrong = {{"Text_szxxxm", "实验中学 "},
                                                          {"Text_szxxxm", ""},
                                                          {"Text_srxk", "化学"},
                                                          {"Text_lxfsqq", "1000"},
                                                          {"Text_smyhm", "张"}};
    for (const auto& [name, value] : wrong) {
        fill(form,
             {{"Text_smyhm", "张三"}, {"Text_szxxxm", "实验中学"}, {"Text_srxk", "物理"}, {"Text_lxfsqq", "10001"}});
        box(form, name)->setText(value);
        password->setText("abc");
        QTest::mouseClick(button(form, "Command_HQMM"), Qt::LeftButton);
        EXPECT_EQ(app.prompts.lastMessage(), "所填信息有误，没有查询到相关记录！") << name;
        EXPECT_EQ(password->text(), "") << name;
    }
    EXPECT_EQ(app.prompts.messages().size(), wrong.size());
}

}  // namespace
