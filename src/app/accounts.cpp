#include "app/accounts.h"

#include "store/bank.h"
#include "store/statement.h"
#include "store/textnumbers.h"

namespace zs {

namespace {

const QString kUsers = QStringLiteral("用户管理");
const QString kNameColumn = QStringLiteral("实名用户名");
const QString kPasswordColumn = QStringLiteral("密码");

QString repeatComplaint() {
    return QStringLiteral("两次密码输入不相同\r请重新输入密码！");
}

}  // namespace

LoginResult checkLogin(const QString& bankPath, const QString& name, const QString& password) {
    using O = LoginResult::Outcome;
    if (name.isEmpty())
        return {O::EmptyName, QStringLiteral("*实名用户名不能为空！\r请认真填写实名用户名！")};

    Bank bank(bankPath, Bank::Mode::ReadOnly);
    const RowSet rows =
        bank.query(QStringLiteral("select * from 用户管理 where 实名用户名 like '") + sqlValue(name) + u'\'');
    // "like" treats "%" and "_" as patterns and ignores the case of Latin
    // letters: only the row spelling the typed name itself is the account.
    for (int r = 0; r < rows.count(); ++r) {
        if (rows.text(r, kNameColumn) != name)
            continue;
        if (rows.text(r, kPasswordColumn) != password)
            return {O::WrongPassword, QStringLiteral("*密码错误！\r请重新输入密码！")};
        return {O::Accepted, {}};
    }
    return {O::UnknownName, QStringLiteral("*该用户名不存在！\r请重新输入和注册新用户！")};
}

QString passwordRepeatComplaint(const QString& password, const QString& repeated) {
    return password == repeated ? QString() : repeatComplaint();
}

QString qqComplaint(const QString& qq) {
    if (qq.isEmpty() || isNumericText(qq))
        return {};
    return QStringLiteral("*联系方式(QQ)不是有效QQ！\r请重新输入！");
}

QString registrationComplaints(const Account& account, const QString& repeatedPassword) {
    QString lines;
    auto complain = [&](const QString& box, const QString& line) {
        if (box.isEmpty())
            lines += line + u'\r';
    };
    complain(account.name, QStringLiteral("*实名用户名未填写!"));
    complain(account.password, QStringLiteral("*密码未填写!"));
    complain(repeatedPassword, QStringLiteral("*再次输入密码未填写！"));
    complain(account.school, QStringLiteral("*所在学校详名未填写！"));
    complain(account.subject, QStringLiteral("*所任学科未填写！"));
    complain(account.qq, QStringLiteral("*联系方式(QQ)未填写！"));
    return lines;
}

RegistrationResult registerAccount(const QString& bankPath, const Account& account, const QString& repeatedPassword) {
    using O = RegistrationResult::Outcome;
    if (const QString lines = registrationComplaints(account, repeatedPassword); !lines.isEmpty())
        return {O::Incomplete, lines};
    // The two boxes are checked as they lose the focus; a submit by the keyboard
    // skips that, so they are checked once more before anything is written.
    if (const QString c = passwordRepeatComplaint(account.password, repeatedPassword); !c.isEmpty())
        return {O::PasswordsDiffer, c};
    if (const QString c = qqComplaint(account.qq); !c.isEmpty())
        return {O::BadQQ, c};

    Bank bank(bankPath);
    bool taken = false;
    bank.transaction([&] {
        const RowSet rows = bank.query(QStringLiteral("select * from 用户管理"));
        for (int r = 0; r < rows.count() && !taken; ++r)
            taken = rows.text(r, kNameColumn) == account.name;
        if (taken)
            return;
        bank.addRow(kUsers, {{kNameColumn, account.name},
                             {kPasswordColumn, account.password},
                             {QStringLiteral("所在学校详名"), account.school},
                             {QStringLiteral("所任学科"), account.subject},
                             {QStringLiteral("联系方式"), account.qq}});
    });
    if (taken)
        return {O::NameTaken, QStringLiteral("注册未成功！因为该实名用户名已经被注册，请直接登录！")};
    return {O::Registered, QStringLiteral("注册成功！\r请牢记以下信息！\r实名用户名：") + account.name +
                               QStringLiteral("\r密码：") + account.password};
}

PasswordChangeResult changePassword(const QString& bankPath, const QString& name, const QString& oldPassword,
                                    const QString& newPassword, const QString& repeatedNewPassword) {
    using O = PasswordChangeResult::Outcome;
    QString lines;
    if (name.isEmpty())
        lines += QStringLiteral("*实名用户名未填写!\r");
    if (oldPassword.isEmpty())
        lines += QStringLiteral("*密码未填写!\r");
    if (!lines.isEmpty())
        return {O::Incomplete, lines};
    // A confirmation that differs (or was never typed) must not set a password
    // the teacher did not mean.
    if (const QString c = passwordRepeatComplaint(newPassword, repeatedNewPassword); !c.isEmpty())
        return {O::NewPasswordsDiffer, c};

    const QString where = QStringLiteral("where 实名用户名='") + sqlValue(name) + QStringLiteral("' and 密码= '") +
                          sqlValue(oldPassword) + u'\'';
    Bank bank(bankPath);
    if (bank.query(QStringLiteral("select * from 用户管理 ") + where).isEmpty())
        return {O::NoSuchAccount, QStringLiteral("没有查询到相关记录！\r请确认用户名和密码匹配！")};
    bank.execute(QStringLiteral("update 用户管理 set 密码 = '") + sqlValue(newPassword) + QStringLiteral("' ") + where);
    return {O::Changed, QStringLiteral("新密码已经修改成功！请牢记下列用户名和密码：\r\r实名用户名：") + name +
                            QStringLiteral("\r密      码：") + newPassword};
}

QString passwordLookupRefusal() {
    return QStringLiteral("所填信息有误，没有查询到相关记录！");
}

std::optional<QString> lookUpPassword(const QString& bankPath, const QString& name, const QString& school,
                                      const QString& subject, const QString& qq) {
    Bank bank(bankPath, Bank::Mode::ReadOnly);
    const RowSet rows =
        bank.query(QStringLiteral("select 密码 from 用户管理 where 实名用户名 = '") + sqlValue(name) +
                   QStringLiteral("' and 所在学校详名='") + sqlValue(school) + QStringLiteral("' and 所任学科='") +
                   sqlValue(subject) + QStringLiteral("' and 联系方式 ='") + sqlValue(qq) + u'\'');
    if (rows.isEmpty())
        return std::nullopt;
    return rows.text(0, 0);
}

}  // namespace zs
