// The start of a run: splash, login and main menu, driven offscreen with the
// prompts scripted: the login's refusals and focus, the main menu's status
// bar, title, commands, logout and exit.

#include "app/accounts.h"
#include "store/paths.h"
#include "support/testsupport.h"
#include "ui/start/Form_WJMM.h"
#include "ui/start/Form_lxzz.h"
#include "ui/start/Form_qdjm.h"
#include "ui/start/Form_yhdl.h"
#include "ui/start/Form_yhgm.h"
#include "ui/start/Form_yhzc.h"
#include "ui/start/Form_zjm.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace zs;
using zs::test::openScreen;

namespace {

class LoginTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const auto& [name, password] : {std::pair{"张三", "abc"}, std::pair{"李四", "xyz"}})
            ASSERT_EQ(registerAccount(app.bankPath(), {name, password, "第一中学", "数学", "123456"}, password).outcome,
                      RegistrationResult::Outcome::Registered);
        state().endHook = [this] { ++ended; };
    }
    void TearDown() override {
        // Screens the flow opened on the heap go away with their close.
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->testAttribute(Qt::WA_DeleteOnClose))
                w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    RunState& state() { return app.state(); }
    static QLineEdit* box(QWidget& form, const char* name) { return test::child<QLineEdit>(&form, name); }
    static QPushButton* button(QWidget& form, const char* name) { return test::child<QPushButton>(&form, name); }

    // Logs in on a login screen that the flow opened; returns the main menu.
    Form_zjm* logIn(const QString& name, const QString& password) {
        Form_yhdl* login = openScreen<Form_yhdl>();
        EXPECT_NE(login, nullptr);
        if (!login)
            return nullptr;
        box(*login, "Text_smyhm")->setText(name);
        box(*login, "Text_mm")->setText(password);
        QTest::mouseClick(button(*login, "command_qd"), Qt::LeftButton);
        return openScreen<Form_zjm>();
    }

    test::TestApp app;
    int ended = 0;
};

TEST_F(LoginTest, RefusalsEmptyTheRightBoxesAndPlaceTheFocus) {
    Form_yhdl login(state());
    login.show();
    login.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&login));
    EXPECT_EQ(login.windowTitle(), "用户登录-琢石试题库");
    EXPECT_EQ(QApplication::focusWidget(), box(login, "Text_smyhm"));

    QLineEdit* name = box(login, "Text_smyhm");
    QLineEdit* password = box(login, "Text_mm");
    EXPECT_EQ(password->echoMode(), QLineEdit::Password);

    // No name.
    password->setText("abc");
    password->setFocus();
    QTest::mouseClick(button(login, "command_qd"), Qt::LeftButton);
    EXPECT_EQ(app.prompts.lastMessage(), "*实名用户名不能为空！\r请认真填写实名用户名！");
    EXPECT_EQ(login.focusWidget(), name);

    // A name nobody registered: both boxes emptied.
    name->setText("王五");
    QTest::mouseClick(button(login, "command_qd"), Qt::LeftButton);
    EXPECT_EQ(app.prompts.lastMessage(), "*该用户名不存在！\r请重新输入和注册新用户！");
    EXPECT_EQ(name->text(), "");
    EXPECT_EQ(password->text(), "");
    EXPECT_EQ(login.focusWidget(), name);

    // A wrong password (case counts): only the password is emptied.
    name->setText("张三");
    password->setText("ABC");
    QTest::mouseClick(button(login, "command_qd"), Qt::LeftButton);
    EXPECT_EQ(app.prompts.lastMessage(), "*密码错误！\r请重新输入密码！");
    EXPECT_EQ(name->text(), "张三");
    EXPECT_EQ(password->text(), "");
    EXPECT_EQ(login.focusWidget(), password);

    ASSERT_EQ(app.prompts.records().size(), 3);
    for (const PromptRecord& r : app.prompts.records()) {
        EXPECT_EQ(r.title, "琢石-试题库");
        EXPECT_EQ(r.buttons, Buttons::Ok);
        EXPECT_EQ(r.icon, Icon::None);
    }
    EXPECT_TRUE(login.isVisible());
    EXPECT_EQ(openScreen<Form_zjm>(), nullptr);
    EXPECT_TRUE(state().CurrentUserName.isEmpty());

    // Coming back to the login from another screen puts the focus in the name box again.
    login.Form_Activate();
    EXPECT_EQ(login.focusWidget(), name);
}

TEST_F(LoginTest, SplashLoginMainMenuLogoutAndAnotherUser) {
    state().BankPath = "/elsewhere/试题库.mdb";
    Form_qdjm* splash = Form_qdjm::showNew(state());
    EXPECT_EQ(splash->Timer1->interval(), 7000);
    EXPECT_TRUE(splash->Timer1->isActive());
    splash->Timer1_Timer();
    EXPECT_FALSE(splash->isVisible());
    ASSERT_NE(openScreen<Form_yhdl>(), nullptr);
    EXPECT_EQ(state().BankPath, app.bankPath());  // the login works on the program's own bank

    Form_zjm* menu = logIn("张三", "abc");
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(openScreen<Form_yhdl>(), nullptr);
    EXPECT_EQ(state().CurrentUserName, "张三");
    EXPECT_EQ(menu->panelText(1), "当前用户：张三");
    EXPECT_EQ(menu->panelText(2), "级别：元老级用户");
    EXPECT_EQ(menu->panelText(3), "软件版本：1.0");

    menu->tcdl_Click();
    EXPECT_EQ(openScreen<Form_zjm>(), nullptr);
    splash = openScreen<Form_qdjm>();
    ASSERT_NE(splash, nullptr);
    splash->Timer1_Timer();

    menu = logIn("李四", "xyz");
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->panelText(1), "当前用户：李四");
    EXPECT_TRUE(app.prompts.messages().isEmpty());
}

TEST_F(LoginTest, TheProgramRunsOnThroughEveryChangeOfScreen) {
    // Closing the last window of the program ends it: every step of the flow
    // must leave a window that keeps it running.
    Form_qdjm* splash = Form_qdjm::showNew(state());
    QTimer::singleShot(0, [&] {
        splash->Timer1_Timer();
        Form_zjm* menu = logIn("张三", "abc");
        ASSERT_NE(menu, nullptr);
        menu->tcdl_Click();
        ASSERT_NE(openScreen<Form_qdjm>(), nullptr);
        QTimer::singleShot(100, [] { QCoreApplication::exit(7); });
    });
    EXPECT_EQ(QApplication::exec(), 7);
    EXPECT_NE(openScreen<Form_qdjm>(), nullptr);
}

TEST_F(LoginTest, TitleScrollsOneCharacterPerTick) {
    Form_zjm menu(state());
    EXPECT_EQ(menu.Timer1->interval(), 800);
    EXPECT_TRUE(menu.Timer1->isActive());
    const QString title = "主界面-琢石试题库";
    EXPECT_EQ(menu.windowTitle(), title);
    menu.Timer1_Timer();
    EXPECT_EQ(menu.windowTitle(), "界面-琢石试题库主");
    for (int i = 1; i < title.size(); ++i)
        menu.Timer1_Timer();
    EXPECT_EQ(menu.windowTitle(), title);
}

TEST_F(LoginTest, ExitAndCancelEndTheProgramClosingEveryScreen) {
    auto* login = Form_yhdl::showNew(state());
    QTest::mouseClick(button(*login, "Command_zc"), Qt::LeftButton);  // registration beside the login
    ASSERT_NE(openScreen<Form_yhzc>(), nullptr);
    QTest::mouseClick(button(*login, "command_qx"), Qt::LeftButton);
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(openScreen<Form_yhdl>(), nullptr);
    EXPECT_EQ(openScreen<Form_yhzc>(), nullptr);

    auto* menu = Form_zjm::showNew(state());
    QTest::mouseClick(button(*menu, "Command_tccx"), Qt::LeftButton);
    EXPECT_EQ(ended, 2);
    EXPECT_EQ(openScreen<Form_zjm>(), nullptr);
}

TEST_F(LoginTest, LoginOpensRegistrationBesideItAndForgottenPasswordModally) {
    Form_yhdl login(state());
    login.show();
    box(login, "Text_smyhm")->setText("张三");
    box(login, "Text_mm")->setText("abc");
    QTest::mouseClick(button(login, "Command_zc"), Qt::LeftButton);
    EXPECT_EQ(box(login, "Text_smyhm")->text(), "");
    EXPECT_EQ(box(login, "Text_mm")->text(), "");
    Form_yhzc* registration = openScreen<Form_yhzc>();
    ASSERT_NE(registration, nullptr);
    EXPECT_FALSE(registration->isModal());
    EXPECT_TRUE(login.isVisible());
    QTest::mouseClick(button(login, "Command_zc"), Qt::LeftButton);  // the same screen again, not a second one
    int registrations = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        registrations += qobject_cast<Form_yhzc*>(w) != nullptr;
    EXPECT_EQ(registrations, 1);

    test::ModalScreens modal(state());
    QTest::mouseClick(test::child<QLabel>(&login, "Label_WJMM"), Qt::LeftButton);
    EXPECT_EQ(modal.shown(), QStringList{"zs::Form_WJMM"});
}

TEST_F(LoginTest, MainMenuOpensEveryScreen) {
    state().CurrentUserName = "张三";
    Form_zjm menu(state());
    // Modal screens are only recorded here.
    test::ModalScreens opened(state());
    const QList<QPair<const char*, QStringList>> buttons = {
        {"Command_jcsz", {"zs::Form_jcsz"}},
        {"Command_tysz", {"zs::Form_tysz"}},
        {"Command_stlr", {"zs::Form_cshtmbh", "zs::Form_stlr"}},
        {"Command_sdzj", {"zs::Form_sdzj"}},
        {"Command_znzj", {"zs::Form_znzj"}},
        {"Command_tkfx", {"zs::Form_tkfx"}},
        {"Command_drsj", {"zs::Form_drsj"}},
    };
    for (const auto& [name, screens] : buttons) {
        opened.clear();
        test::child<QPushButton>(&menu, name)->click();
        EXPECT_EQ(opened.shown(), screens) << name;
    }
    const QList<QPair<const char*, QString>> items = {{"jcsz", "zs::Form_jcsz"},
                                                      {"stckyxg", "zs::Form_stckxg"},
                                                      {"znzj", "zs::Form_znzj"},
                                                      {"sdzj", "zs::Form_sdzj"},
                                                      {"drsj", "zs::Form_drsj"}};
    for (const auto& [name, screen] : items) {
        opened.clear();
        test::child<QAction>(&menu, name)->trigger();
        EXPECT_EQ(opened.shown(), QStringList{screen}) << name;
    }
    EXPECT_TRUE(test::child<QPushButton>(&menu, "Command_tccx")->isEnabled());

    opened.clear();
    for (const char* item : {"yhzc", "yhgm", "lxzz"}) {
        auto* a = test::child<QAction>(&menu, item);
        ASSERT_TRUE(a->isEnabled());
        a->trigger();
    }
    EXPECT_EQ(opened.shown(), QStringList({"zs::Form_yhzc", "zs::Form_yhgm", "zs::Form_lxzz"}));

    // The logo and the contact screen's link open the home page.
    QTest::mouseClick(test::child<QLabel>(&menu, "Image_logo"), Qt::LeftButton);
    Form_lxzz contact(state(), &menu);
    EXPECT_EQ(contact.windowTitle(), "联系作者-琢石试题库");
    QTest::mouseClick(test::child<QLabel>(&contact, "Label6"), Qt::LeftButton);
    EXPECT_EQ(app.desktop.openedUrls, QStringList({state().homePage(), state().homePage()}));
}

TEST_F(LoginTest, HelpOpensTheTutorialOrSaysItIsMissing) {
    Form_zjm menu(state());
    const QString help = app.folder.file(kHelpDocumentName);
    test::child<QAction>(&menu, "sybz")->trigger();
    ASSERT_EQ(app.prompts.records().size(), 1);
    EXPECT_EQ(app.prompts.records()[0].text, "找不到使用帮助文件：\r" + QDir::toNativeSeparators(help));
    EXPECT_TRUE(app.desktop.openedFiles.isEmpty());

    test::TestApp::touch(help);
    menu.sybz_Click();
    // A bank opened from another folder has no tutorial beside it: the program's own copy serves.
    test::TempFolder other;
    state().BankPath = other.file(kBankFileName);
    menu.sybz_Click();
    EXPECT_EQ(app.desktop.openedFiles, QStringList({help, help}));
    EXPECT_EQ(app.prompts.records().size(), 1);
}

}  // namespace
