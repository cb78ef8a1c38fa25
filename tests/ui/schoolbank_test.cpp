// Connecting to a school bank from the login screen: the boxes remember the
// last school bank of this computer user but never its password, a wrong
// database is refused with a message, and once connected every screen opens
// the school bank and the main menu names it.

#include "app/accounts.h"
#include "app/schoolbank.h"
#include "store/bank.h"
#include "store/serverlocation.h"
#include "support/pgcluster.h"
#include "support/samplebank.h"
#include "support/testsupport.h"
#include "ui/start/Form_WJMM.h"
#include "ui/start/Form_czmm.h"
#include "ui/start/Form_ljxxtk.h"
#include "ui/start/Form_yhdl.h"
#include "ui/start/Form_zjm.h"

#include <QAction>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <gtest/gtest.h>

using namespace zs;
using namespace zs::test;

namespace {

class SchoolBankScreens : public ::testing::Test {
protected:
    void SetUp() override {
        if (!PostgresCluster::instance())
            GTEST_SKIP() << PostgresCluster::unavailableReason().toStdString();
        // This computer user's settings live in the test's folder.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsFolder.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsFolder.path());
        location = newBank(StoreKind::Server, bankFolder);
        Account teacher{"王老师", "s3cret", "第一中学", "数学", "10001"};
        ASSERT_EQ(registerAccount(location, teacher, "s3cret").outcome, RegistrationResult::Outcome::Registered);
    }
    static void fillBoxes(QWidget& form, const ServerLocation& where, const QString& password) {
        child<QLineEdit>(&form, "Text_fwq")->setText(where.host);
        child<QLineEdit>(&form, "Text_dk")->setText(QString::number(where.port));
        child<QLineEdit>(&form, "Text_sjk")->setText(where.database);
        child<QLineEdit>(&form, "Text_yhm")->setText(where.user);
        child<QLineEdit>(&form, "Text_mm")->setText(password);
    }
    // Every text of the settings files.
    QString settingsText() const {
        QString all;
        QDirIterator it(settingsFolder.path(), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile f(it.next());
            f.open(QIODevice::ReadOnly);
            all += QString::fromUtf8(f.readAll());
        }
        return all;
    }

    TempFolder settingsFolder, bankFolder;
    TestApp app;
    QString location;
};

}  // namespace

TEST_F(SchoolBankScreens, TheLoginScreenConnectsRemembersAndEveryScreenOpensTheSchoolBank) {
    RunState& state = app.state();
    const ServerLocation where = ServerLocation::parse(location);
    {
        // The school's schema was chosen before; the boxes start with it.
        QSettings settings;
        rememberSchoolBank(settings, where);
    }
    Form_yhdl login(state);
    EXPECT_EQ(login.windowTitle(), "用户登录-琢石试题库");
    EXPECT_EQ(child<QPushButton>(&login, "Command_ljxxtk")->text(), "连接学校题库…");

    ModalScreens modal(state);
    // First a database the server does not have, then the right one.
    int round = 0;
    modal.on<Form_ljxxtk>([&](Form_ljxxtk& form) {
        if (round == 2) {
            // Back to this computer's bank file.
            EXPECT_EQ(child<QLabel>(&form, "Label_dqtk")->text(), "现在使用的是：" + where.shown());
            form.Command_bjtk_Click();
            return;
        }
        EXPECT_EQ(child<QLineEdit>(&form, "Text_fwq")->text(), where.host);
        EXPECT_EQ(child<QLineEdit>(&form, "Text_sjk")->text(), where.database);
        EXPECT_EQ(child<QLineEdit>(&form, "Text_mm")->text(), "");
        EXPECT_EQ(child<QLabel>(&form, "Label_dqtk")->text(), "现在使用的是本机题库。");
        ServerLocation wrong = where;
        wrong.database = "没有这个库";
        fillBoxes(form, round++ == 0 ? wrong : where, "s3cret");
        form.Command_lj_Click();
    });
    login.Command_ljxxtk_Click();
    EXPECT_TRUE(state.SchoolBank.isEmpty());
    EXPECT_EQ(state.BankPath, app.bankPath());
    ASSERT_FALSE(app.prompts.messages().isEmpty());
    EXPECT_TRUE(app.prompts.lastMessage().startsWith("无法连接学校题库：\r"))
        << app.prompts.lastMessage().toStdString();
    EXPECT_TRUE(app.prompts.lastMessage().endsWith("服务器上没有这个数据库。请检查数据库名。"))
        << app.prompts.lastMessage().toStdString();

    login.Command_ljxxtk_Click();
    EXPECT_EQ(state.SchoolBank, location);
    EXPECT_EQ(state.BankPath, location);
    EXPECT_EQ(login.windowTitle(), "用户登录-琢石试题库-" + where.shown());
    // A screen that loads keeps the school bank.
    state.resetBankPath();
    EXPECT_EQ(state.BankPath, location);
    EXPECT_EQ(checkLogin(state.BankPath, "王老师", "s3cret").outcome, LoginResult::Outcome::Accepted);

    // Remembered for this computer user: never the password.
    EXPECT_TRUE(settingsText().contains(where.database)) << settingsText().toStdString();
    EXPECT_FALSE(settingsText().contains("s3cret"));

    // The main menu names the bank in a panel of its own.
    state.CurrentUserName = "王老师";
    {
        Form_zjm menu(state);
        QLabel* panel = child<QLabel>(&menu, "Panel_tk");
        EXPECT_EQ(panel->text(), "题库：" + where.shown());
        EXPECT_EQ(child<QLabel>(&menu, "Panel1")->text(), "当前用户：王老师");
        // The teacher's own level, not the elder's.
        EXPECT_EQ(child<QLabel>(&menu, "Panel2")->text(), "级别：普通用户");
    }

    round = 2;
    login.Command_ljxxtk_Click();
    EXPECT_TRUE(state.SchoolBank.isEmpty());
    EXPECT_EQ(state.BankPath, app.bankPath());
    EXPECT_EQ(login.windowTitle(), "用户登录-琢石试题库");
}

TEST_F(SchoolBankScreens, IncompleteBoxesAreNamed) {
    RunState& state = app.state();
    Form_ljxxtk form(state);
    fillBoxes(form, ServerLocation(), "");
    child<QLineEdit>(&form, "Text_dk")->setText("端口");
    form.Command_lj_Click();
    EXPECT_EQ(app.prompts.lastMessage(), "未能连接学校题库，原因如下：\r\r*服务器未填写！\r*端口应该是 1 到 65535 "
                                         "之间的数字！\r*数据库未填写！\r*用户名未填写！\r");
    EXPECT_TRUE(state.SchoolBank.isEmpty());
}

TEST_F(SchoolBankScreens, UploadsThisComputersBankAndDownloadsTheSchoolBank) {
    RunState& state = app.state();
    {
        Bank mine(app.bankPath());
        addSampleCatalogue(mine);
        addSampleQuestion(mine,
                          {"00001", "王老师-00001", "单选题", "0.5", std::nullopt, {{kSection11, "1-A"}}, "王老师"});
    }
    const ServerLocation where = ServerLocation::parse(location);
    {
        QSettings settings;
        rememberSchoolBank(settings, where);
    }
    Form_ljxxtk form(state);
    fillBoxes(form, where, "s3cret");
    app.prompts.answer(Answer::Yes);
    child<QPushButton>(&form, "Command_scxxtk")->click();
    EXPECT_EQ(app.prompts.lastMessage(), "已上传到学校题库：1 道试题，7 条教材设置，0 个试题来源。");
    EXPECT_EQ(Bank(location).query("select * from 试题库 where 试题识别码='王老师-00001'").count(), 1);

    const QString target = bankFolder.file("下载/试题库.mdb");
    QDir().mkpath(QFileInfo(target).absolutePath());
    app.prompts.type(target);
    child<QPushButton>(&form, "Command_xzbdtk")->click();
    EXPECT_EQ(app.prompts.lastMessage(), "已把学校题库下载为本地题库：1 道试题，7 条教材设置，0 个试题来源。\r" +
                                             QDir::toNativeSeparators(target));
    EXPECT_EQ(Bank(target).query("select 试题识别码 from 试题库").texts(), QStringList({"王老师-00001"}));
    // Neither command connects the program to the school bank by itself.
    EXPECT_TRUE(state.SchoolBank.isEmpty());
}

TEST_F(SchoolBankScreens, AnElderResetsAForgottenPasswordFromTheLoginScreenAndTheMainMenu) {
    ASSERT_EQ(registerAccount(location, {"李校长", "elder-pw", "第一中学", "数学", "10002"}, "elder-pw").outcome,
              RegistrationResult::Outcome::Registered);
    makeElder(location, "李校长");
    RunState& state = app.state();
    state.SchoolBank = location;
    state.resetBankPath();

    ModalScreens modal(state);
    QStringList refusals;
    bool fromMenu = false;
    modal.on<Form_WJMM>([&](Form_WJMM& form) { FormDriver(&form).click("Command_HQMM"); });
    modal.on<Form_czmm>([&](Form_czmm& form) {
        const FormDriver screen(&form);
        if (fromMenu) {
            EXPECT_EQ(screen.control<QLineEdit>("Text_yljyhm")->text(), "李校长");
            return;
        }
        EXPECT_EQ(form.windowTitle(), "重设密码-琢石试题库");
        EXPECT_EQ(screen.control<QLineEdit>("Text_yljyhm")->text(), "");
        EXPECT_EQ(screen.control<QLineEdit>("Text_xmm")->echoMode(), QLineEdit::Password);
        auto fill = [&](const QString& elder, const QString& elderPassword, const QString& teacher,
                        const QString& password, const QString& repeated) {
            screen.type("Text_yljyhm", elder);
            screen.type("Text_yljmm", elderPassword);
            screen.type("Text_smyhm", teacher);
            screen.type("Text_xmm", password);
            screen.type("Text_qqrxmm", repeated);
            screen.click("Command_qrcz");
            refusals << app.prompts.lastMessage();
        };
        fill("", "", "", "", "");
        fill("王老师", "s3cret", "李校长", "n1", "n1");  // not an elder
        EXPECT_EQ(screen.control<QLineEdit>("Text_yljmm")->text(), "");
        fill("李校长", "wrong", "王老师", "n1", "n1");
        fill("李校长", "elder-pw", "赵老师", "n1", "n1");
        fill("李校长", "elder-pw", "王老师", "n1", "n2");
        EXPECT_EQ(screen.control<QLineEdit>("Text_xmm")->text(), "");
        EXPECT_EQ(screen.control<QLineEdit>("Text_qqrxmm")->text(), "");
        // Nothing has changed so far.
        EXPECT_EQ(checkLogin(location, "王老师", "s3cret").outcome, LoginResult::Outcome::Accepted);
        fill("李校长", "elder-pw", "王老师", "新的'密码", "新的'密码");
        // The elder's name stays for the next teacher, the passwords go.
        EXPECT_EQ(screen.control<QLineEdit>("Text_yljyhm")->text(), "李校长");
        for (const char* box : {"Text_yljmm", "Text_smyhm", "Text_xmm", "Text_qqrxmm"})
            EXPECT_EQ(screen.control<QLineEdit>(box)->text(), "") << box;
        screen.click("Command_tc");
    });

    // The forgotten-password screen of the login offers the reset screen.
    Form_yhdl login(state);
    app.prompts.answer(Answer::No);
    login.Label_WJMM_Click();
    EXPECT_EQ(modal.shown(), QStringList({"zs::Form_WJMM"}));
    EXPECT_EQ(app.prompts.lastMessage(), "学校题库不保存密码原文，无法找回密码。\r请找一位元老级用户为你重新设置密码。"
                                         "\r\r要现在打开<重设密码>吗？（须由元老级用户填写自己的用户名和密码。）");
    app.prompts.answer(Answer::Yes);
    login.Label_WJMM_Click();
    EXPECT_EQ(modal.shown(), QStringList({"zs::Form_WJMM", "zs::Form_WJMM", "zs::Form_czmm"}));
    EXPECT_EQ(
        refusals,
        QStringList({"*元老级用户名未填写！\r*元老级用户的密码未填写！\r*要重设密码的用户名未填写！\r"
                     "*新密码未填写！\r*确认新密码未填写！\r",
                     "只有元老级用户才能为别的老师重设密码。", "元老级用户的用户名或密码不对，没有重设密码。",
                     "*该用户名不存在！\r请检查要重设密码的老师的实名用户名。", "两次密码输入不相同\r请重新输入密码！",
                     "已为王老师重新设置了密码。请把新密码告诉这位老师，并提醒他登录后用<用户改密>换成自己的"
                     "密码：\r\r实名用户名：王老师\r密      码：新的'密码"}));
    EXPECT_EQ(checkLogin(location, "王老师", "s3cret").outcome, LoginResult::Outcome::WrongPassword);
    EXPECT_EQ(checkLogin(location, "王老师", "新的'密码").outcome, LoginResult::Outcome::Accepted);
    EXPECT_FALSE(
        Bank(location).query("select 密码 from 用户管理 where 实名用户名='王老师'").text(0, 0).contains("新的"));

    // The main menu shows the entry to the elder only, with the elder's name filled in.
    modal.clear();
    fromMenu = true;
    state.CurrentUserName = "王老师";
    {
        Form_zjm menu(state);
        EXPECT_FALSE(child<QAction>(&menu, "czmm")->isVisible());
        EXPECT_EQ(child<QLabel>(&menu, "Panel2")->text(), "级别：普通用户");
    }
    state.CurrentUserName = "李校长";
    {
        Form_zjm menu(state);
        QAction* reset = child<QAction>(&menu, "czmm");
        EXPECT_TRUE(reset->isVisible());
        EXPECT_EQ(child<QLabel>(&menu, "Panel2")->text(), "级别：元老级用户");
        EXPECT_EQ(reset->text(), "重设密码");
        reset->trigger();
    }
    EXPECT_EQ(modal.shown(), QStringList({"zs::Form_czmm"}));
    // On this computer's bank file there is no such entry.
    state.SchoolBank.clear();
    state.resetBankPath();
    Form_zjm menu(state);
    EXPECT_FALSE(child<QAction>(&menu, "czmm")->isVisible());
}
