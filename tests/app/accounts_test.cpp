// Account rules against a real bank: literal login names, exact passwords,
// quotes in every value, and nothing written by a refused registration or
// password change.

#include "app/accounts.h"
#include "store/bank.h"
#include "support/pgcluster.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

using namespace zs;

namespace {

class AccountsTest : public test::BothStores {
protected:
    void SetUp() override { ZS_MAKE_BANK(); }
    Account account(const QString& name, const QString& password, const QString& school = "第一中学") {
        return {name, password, school, "数学", "12345678"};
    }
    void registerOk(const Account& a) {
        ASSERT_EQ(registerAccount(location, a, a.password).outcome, RegistrationResult::Outcome::Registered);
    }
    LoginResult::Outcome login(const QString& name, const QString& password) {
        return checkLogin(location, name, password).outcome;
    }
    int users() { return Bank(location).query("select * from 用户管理").count(); }
};

ZS_BOTH_STORES(AccountsTest);

using O = LoginResult::Outcome;

TEST_P(AccountsTest, LoginNameIsMatchedLiterallyAndPasswordExactly) {
    registerOk(account("zhang%", "p1"));
    registerOk(account("zhangsan", "Secret"));
    registerOk(account("li_si", "p3"));

    EXPECT_EQ(login("zhang%", "p1"), O::Accepted);
    EXPECT_EQ(login("zhang%", "Secret"), O::WrongPassword);  // not zhangsan's account
    EXPECT_EQ(login("zhang_an", "Secret"), O::UnknownName);
    EXPECT_EQ(login("ZHANGSAN", "Secret"), O::UnknownName);
    EXPECT_EQ(login("li%", "p3"), O::UnknownName);
    EXPECT_EQ(login("li_si", "p3"), O::Accepted);
    EXPECT_EQ(login("zhangsan", "secret"), O::WrongPassword);
    EXPECT_EQ(login("zhangsan", "Secret "), O::WrongPassword);
    EXPECT_EQ(login("zhangsan", "Secret"), O::Accepted);
    EXPECT_EQ(login("", "Secret"), O::EmptyName);
}

TEST_P(AccountsTest, QuotesWorkInNamesPasswordsAndDetails) {
    Account a = account("O'Brien", "it's", "St. Mary's");
    a.subject = "'";
    registerOk(a);
    EXPECT_EQ(login("O'Brien", "it's"), O::Accepted);
    // A server bank keeps no password that could be looked up.
    EXPECT_EQ(lookUpPassword(location, "O'Brien", "St. Mary's", "'", "12345678"),
              onServer() ? std::nullopt : std::optional<QString>("it's"));

    const auto changed =
        changePassword(location, "O'Brien", "it's", "'; drop table 用户管理; --", "'; drop table 用户管理; --");
    EXPECT_EQ(changed.outcome, PasswordChangeResult::Outcome::Changed);
    EXPECT_EQ(login("O'Brien", "'; drop table 用户管理; --"), O::Accepted);
    EXPECT_EQ(users(), 1);
}

TEST_P(AccountsTest, RefusedRegistrationsWriteNothing) {
    Account a = account("张三", "abc");
    EXPECT_EQ(registerAccount(location, a, "abd").outcome, RegistrationResult::Outcome::PasswordsDiffer);
    a.qq = "12a";
    EXPECT_EQ(registerAccount(location, a, "abc").outcome, RegistrationResult::Outcome::BadQQ);
    a.qq.clear();
    EXPECT_EQ(registerAccount(location, a, "abc").outcome, RegistrationResult::Outcome::Incomplete);
    EXPECT_EQ(users(), 0);

    registerOk(account("张三", "abc"));
    // The same name with other details is refused, whatever the password.
    const auto again = registerAccount(location, account("张三", "xyz", "第二中学"), "xyz");
    EXPECT_EQ(again.outcome, RegistrationResult::Outcome::NameTaken);
    EXPECT_EQ(users(), 1);
    EXPECT_EQ(login("张三", "abc"), O::Accepted);
}

TEST_P(AccountsTest, PasswordChangeNeedsTheOldPasswordAndAgreeingNewOnes) {
    registerOk(account("张三", "abc"));
    registerOk(account("李四", "abc"));
    using P = PasswordChangeResult::Outcome;
    EXPECT_EQ(changePassword(location, "张三", "ABC", "new", "new").outcome, P::NoSuchAccount);
    EXPECT_EQ(changePassword(location, "张三", "abc", "new", "nwe").outcome, P::NewPasswordsDiffer);
    EXPECT_EQ(changePassword(location, "张三", "abc", "new", "").outcome, P::NewPasswordsDiffer);
    EXPECT_EQ(login("张三", "abc"), O::Accepted);

    EXPECT_EQ(changePassword(location, "张三", "abc", "new", "new").outcome, P::Changed);
    EXPECT_EQ(login("张三", "new"), O::Accepted);
    EXPECT_EQ(login("李四", "abc"), O::Accepted);  // the other account keeps its password
}

TEST(AccountChecks, QQNumberIsNumericTextAndEmptyIsNotChecked) {
    for (const char* good : {"", "12345678", " 123 ", "+5", "1.5", "1e5"})
        EXPECT_TRUE(qqComplaint(QString::fromUtf8(good)).isEmpty()) << good;
    for (const char* bad : {"12a", "a12", "1 2", "１２３", "QQ123", "1.2.3"})
        EXPECT_EQ(qqComplaint(QString::fromUtf8(bad)), "*联系方式(QQ)不是有效QQ！\r请重新输入！") << bad;
}

}  // namespace

TEST_P(AccountsTest, AServerBankKeepsSaltedHashesAndAnElderResetsAPassword) {
    registerOk(account("张三", "abc"));
    registerOk(account("李四", "abc"));
    const RowSet rows = Bank(location).query("select 实名用户名, 密码 from 用户管理");
    if (!onServer()) {
        // The file bank keeps its passwords as they always were.
        EXPECT_EQ(rows.text(0, 1), "abc");
        EXPECT_EQ(resetPassword(location, "张三", "abc", "李四", "x"), "只有学校题库需要由元老级用户重设密码。");
        EXPECT_EQ(resetTeacherPassword(location, "张三", "abc", "李四", "x", "x").outcome,
                  PasswordResetResult::Outcome::NotSchoolBank);
        EXPECT_FALSE(isElder(location, "张三"));
        EXPECT_EQ(login("李四", "abc"), O::Accepted);
        return;
    }
    // Never the password itself; the same password gives different hashes.
    EXPECT_TRUE(rows.text(0, 1).startsWith("$argon2id$")) << rows.text(0, 1).toStdString();
    EXPECT_NE(rows.text(0, 1), rows.text(1, 1));
    EXPECT_FALSE(rows.text(0, 1).contains("abc"));
    EXPECT_EQ(login("张三", "abc"), O::Accepted);
    EXPECT_EQ(login("张三", "abd"), O::WrongPassword);
    EXPECT_EQ(serverPasswordLookupRefusal(),
              "学校题库不保存密码原文，无法找回密码。\r请找一位元老级用户为你重新设置密码。");

    // Only a 元老级用户 who proves it resets another teacher's password.
    EXPECT_EQ(resetPassword(location, "张三", "abc", "李四", "new"), "只有元老级用户才能为别的老师重设密码。");
    EXPECT_FALSE(isElder(location, "张三"));
    makeElder(location, "张三");
    EXPECT_TRUE(isElder(location, "张三"));
    EXPECT_FALSE(isElder(location, "李四"));
    EXPECT_EQ(resetPassword(location, "张三", "wrong", "李四", "new"), "元老级用户的用户名或密码不对，没有重设密码。");
    EXPECT_EQ(resetPassword(location, "张三", "abc", "王五", "new"), "*该用户名不存在！");
    EXPECT_EQ(login("李四", "abc"), O::Accepted);
    EXPECT_EQ(resetPassword(location, "张三", "abc", "李四", "new"), "");
    EXPECT_EQ(login("李四", "abc"), O::WrongPassword);
    EXPECT_EQ(login("李四", "new"), O::Accepted);
    EXPECT_EQ(changePassword(location, "李四", "new", "newer", "newer").outcome,
              PasswordChangeResult::Outcome::Changed);
    EXPECT_EQ(login("李四", "newer"), O::Accepted);
}
