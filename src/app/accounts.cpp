#include "app/accounts.h"

#include "store/bank.h"
#include "store/statement.h"
#include "store/textnumbers.h"

#include <sodium.h>

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
        const bool matches = bank.isServer() ? passwordMatches(rows.text(r, kPasswordColumn), password)
                                             : rows.text(r, kPasswordColumn) == password;
        if (!matches)
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
                             {kPasswordColumn, bank.isServer() ? hashPassword(account.password) : account.password},
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
    if (bank.isServer()) {
        const RowSet rows =
            bank.query(QStringLiteral("select 密码 from 用户管理 where 实名用户名='") + sqlValue(name) + u'\'');
        if (rows.isEmpty() || !passwordMatches(rows.text(0, 0), oldPassword))
            return {O::NoSuchAccount, QStringLiteral("没有查询到相关记录！\r请确认用户名和密码匹配！")};
        bank.execute(QStringLiteral("update 用户管理 set 密码 = '") + sqlValue(hashPassword(newPassword)) +
                     QStringLiteral("' where 实名用户名='") + sqlValue(name) + u'\'');
        return {O::Changed, QStringLiteral("新密码已经修改成功！请牢记下列用户名和密码：\r\r实名用户名：") + name +
                                QStringLiteral("\r密      码：") + newPassword};
    }
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
    if (bank.isServer())
        return std::nullopt;
    const RowSet rows =
        bank.query(QStringLiteral("select 密码 from 用户管理 where 实名用户名 = '") + sqlValue(name) +
                   QStringLiteral("' and 所在学校详名='") + sqlValue(school) + QStringLiteral("' and 所任学科='") +
                   sqlValue(subject) + QStringLiteral("' and 联系方式 ='") + sqlValue(qq) + u'\'');
    if (rows.isEmpty())
        return std::nullopt;
    return rows.text(0, 0);
}

QString hashPassword(const QString& password) {
    if (sodium_init() < 0)
        throw StoreError(QStringLiteral("无法计算密码的散列值（libsodium 不能使用）。"));
    const QByteArray bytes = password.toUtf8();
    char hash[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(hash, bytes.constData(), bytes.size(), crypto_pwhash_OPSLIMIT_INTERACTIVE,
                          crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0)
        throw StoreError(QStringLiteral("计算密码的散列值时内存不足，密码没有保存。"));
    return QString::fromLatin1(hash);
}

bool passwordMatches(const QString& stored, const QString& password) {
    if (sodium_init() < 0)
        return false;
    const QByteArray hash = stored.toLatin1();
    if (hash.isEmpty() || hash.size() >= crypto_pwhash_STRBYTES)
        return false;
    const QByteArray bytes = password.toUtf8();
    return crypto_pwhash_str_verify(hash.constData(), bytes.constData(), bytes.size()) == 0;
}

QString serverPasswordLookupRefusal() {
    return QStringLiteral("学校题库不保存密码原文，无法找回密码。\r请找一位元老级用户为你重新设置密码。");
}

namespace {

// Whether the account is a 元老级用户 of the bank.
bool elderIn(Bank& bank, const QString& name) {
    return !bank.query(QStringLiteral("select 实名用户名 from 账户级别 where 实名用户名='") + sqlValue(name) +
                       QStringLiteral("' and 级别='") + sqlValue(kElderLevel) + u'\'')
                .isEmpty();
}

// The bank's part of a reset: the refusal with its outcome, or Reset with no
// message once the new password is stored.
PasswordResetResult resetInBank(const QString& bankPath, const QString& elderName, const QString& elderPassword,
                                const QString& teacherName, const QString& newPassword) {
    using O = PasswordResetResult::Outcome;
    Bank bank(bankPath);
    if (!bank.isServer())
        return {O::NotSchoolBank, QStringLiteral("只有学校题库需要由元老级用户重设密码。")};
    const RowSet elder =
        bank.query(QStringLiteral("select 密码 from 用户管理 where 实名用户名='") + sqlValue(elderName) + u'\'');
    if (elder.isEmpty() || !passwordMatches(elder.text(0, 0), elderPassword))
        return {O::WrongElder, QStringLiteral("元老级用户的用户名或密码不对，没有重设密码。")};
    if (!elderIn(bank, elderName))
        return {O::NotElder, QStringLiteral("只有元老级用户才能为别的老师重设密码。")};
    if (newPassword.isEmpty())
        return {O::Incomplete, QStringLiteral("*密码未填写!")};
    if (bank.query(QStringLiteral("select 实名用户名 from 用户管理 where 实名用户名='") + sqlValue(teacherName) + u'\'')
            .isEmpty())
        return {O::NoSuchTeacher, QStringLiteral("*该用户名不存在！")};
    bank.execute(QStringLiteral("update 用户管理 set 密码 = '") + sqlValue(hashPassword(newPassword)) +
                 QStringLiteral("' where 实名用户名='") + sqlValue(teacherName) + u'\'');
    return {O::Reset, {}};
}

}  // namespace

QString resetPassword(const QString& bankPath, const QString& elderName, const QString& elderPassword,
                      const QString& teacherName, const QString& newPassword) {
    return resetInBank(bankPath, elderName, elderPassword, teacherName, newPassword).message;
}

void makeElder(const QString& bankPath, const QString& name) {
    Bank bank(bankPath);
    bank.transaction([&] {
        bank.execute(QStringLiteral("delete from 账户级别 where 实名用户名='") + sqlValue(name) + u'\'');
        bank.addRow(QStringLiteral("账户级别"),
                    {{QStringLiteral("实名用户名"), name}, {QStringLiteral("级别"), kElderLevel}});
    });
}

bool isElder(const QString& bankPath, const QString& name) {
    Bank bank(bankPath, Bank::Mode::ReadOnly);
    return bank.isServer() && !name.isEmpty() && elderIn(bank, name);
}

QString accountLevel(const QString& bankPath, const QString& name) {
    Bank bank(bankPath, Bank::Mode::ReadOnly);
    if (!bank.isServer())
        return kElderLevel;
    const RowSet level =
        bank.query(QStringLiteral("select 级别 from 账户级别 where 实名用户名='") + sqlValue(name) + u'\'');
    return level.isEmpty() || level.text(0, 0).isEmpty() ? kOrdinaryLevel : level.text(0, 0);
}

QString passwordResetComplaints(const QString& elderName, const QString& elderPassword, const QString& teacherName,
                                const QString& newPassword, const QString& repeatedNewPassword) {
    QString lines;
    auto complain = [&](const QString& box, const QString& line) {
        if (box.isEmpty())
            lines += line + u'\r';
    };
    complain(elderName, QStringLiteral("*元老级用户名未填写！"));
    complain(elderPassword, QStringLiteral("*元老级用户的密码未填写！"));
    complain(teacherName, QStringLiteral("*要重设密码的用户名未填写！"));
    complain(newPassword, QStringLiteral("*新密码未填写！"));
    complain(repeatedNewPassword, QStringLiteral("*确认新密码未填写！"));
    return lines;
}

PasswordResetResult resetTeacherPassword(const QString& bankPath, const QString& elderName,
                                         const QString& elderPassword, const QString& teacherName,
                                         const QString& newPassword, const QString& repeatedNewPassword) {
    using O = PasswordResetResult::Outcome;
    if (const QString lines =
            passwordResetComplaints(elderName, elderPassword, teacherName, newPassword, repeatedNewPassword);
        !lines.isEmpty())
        return {O::Incomplete, lines};
    if (const QString c = passwordRepeatComplaint(newPassword, repeatedNewPassword); !c.isEmpty())
        return {O::PasswordsDiffer, c};
    PasswordResetResult result = resetInBank(bankPath, elderName, elderPassword, teacherName, newPassword);
    if (result.outcome == O::NoSuchTeacher)
        result.message += QStringLiteral("\r请检查要重设密码的老师的实名用户名。");
    else if (result.outcome == O::Reset)
        result.message = QStringLiteral("已为") + teacherName +
                         QStringLiteral("重新设置了密码。请把新密码告诉这位老师，并提醒他登录后用<用户改密>"
                                        "换成自己的密码：\r\r实名用户名：") +
                         teacherName + QStringLiteral("\r密      码：") + newPassword;
    return result;
}

QString openPasswordResetQuestion() {
    return serverPasswordLookupRefusal() +
           QStringLiteral("\r\r要现在打开<重设密码>吗？（须由元老级用户填写自己的用户名和密码。）");
}

}  // namespace zs
