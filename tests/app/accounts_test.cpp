// Account rules against a real bank: literal login names, exact passwords,
// quotes in every value, and nothing written by a refused registration or
// password change.

#include "app/accounts.h"
#include "store/bank.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

using namespace zs;

namespace {

class AccountsTest : public ::testing::Test {
protected:
    Account account(const QString& name, const QString& password, const QString& school = "第一中学") {
        return {name, password, school, "数学", "12345678"};
    }
    void registerOk(const Account& a) {
        ASSERT_EQ(registerAccount(app.bankPath(), a, a.password).outcome, RegistrationResult::Outcome::Registered);
    }
    LoginResult::Outcome login(const QString& name, const QString& password) {
        return checkLogin(app.bankPath(), name, password).outcome;
    }
    int users() { return Bank(app.bankPath()).query("select * from 用户管理").count(); }

    test::TestApp app;
};

using O = LoginResult::Outcome;

TEST_F(AccountsTest, LoginNameIsMatchedLiterallyAndPasswordExactly) {
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

TEST_F(AccountsTest, QuotesWorkInNamesPasswordsAndDetails) {
    Account a = account("O'Brien", "it's", "St. Mary's");
    a.subject = "'";
    registerOk(a);
    EXPECT_EQ(login("O'Brien", "it's"), O::Accepted);
    EXPECT_EQ(lookUpPassword(app.bankPath(), "O'Brien", "St. Mary's", "'", "12345678"), QString("it's"));

    const auto changed =
        changePassword(app.bankPath(), "O'Brien", "it's", "'; drop table 用户管理; --", "'; drop table 用户管理; --");
    EXPECT_EQ(changed.outcome, PasswordChangeResult::Outcome::Changed);
    EXPECT_EQ(login("O'Brien", "'; drop table 用户管理; --"), O::Accepted);
    EXPECT_EQ(users(), 1);
}

TEST_F(AccountsTest, RefusedRegistrationsWriteNothing) {
    Account a = account("张三", "abc");
    EXPECT_EQ(registerAccount(app.bankPath(), a, "abd").outcome, RegistrationResult::Outcome::PasswordsDiffer);
    a.qq = "12a";
    EXPECT_EQ(registerAccount(app.bankPath(), a, "abc").outcome, RegistrationResult::Outcome::BadQQ);
    a.qq.clear();
    EXPECT_EQ(registerAccount(app.bankPath(), a, "abc").outcome, RegistrationResult::Outcome::Incomplete);
    EXPECT_EQ(users(), 0);

    registerOk(account("张三", "abc"));
    // The same name with other details is refused, whatever the password.
    const auto again = registerAccount(app.bankPath(), account("张三", "xyz", "第二中学"), "xyz");
    EXPECT_EQ(again.outcome, RegistrationResult::Outcome::NameTaken);
    EXPECT_EQ(users(), 1);
    EXPECT_EQ(login("张三", "abc"), O::Accepted);
}

TEST_F(AccountsTest, PasswordChangeNeedsTheOldPasswordAndAgreeingNewOnes) {
    registerOk(account("张三", "abc"));
    registerOk(account("李四", "abc"));
    using P = PasswordChangeResult::Outcome;
    EXPECT_EQ(changePassword(app.bankPath(), "张三", "ABC", "new", "new").outcome, P::NoSuchAccount);
    EXPECT_EQ(changePassword(app.bankPath(), "张三", "abc", "new", "nwe").outcome, P::NewPasswordsDiffer);
    EXPECT_EQ(changePassword(app.bankPath(), "张三", "abc", "new", "").outcome, P::NewPasswordsDiffer);
    EXPECT_EQ(login("张三", "abc"), O::Accepted);

    EXPECT_EQ(changePassword(app.bankPath(), "张三", "abc", "new", "new").outcome, P::Changed);
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
