#pragma once

#include <QString>
#include <optional>

namespace zs {

// One teacher's account: a row of 用户管理. The name is the teacher's real name
// and the login name.
struct Account {
    QString name;      // 实名用户名
    QString password;  // 密码
    QString school;    // 所在学校详名
    QString subject;   // 所任学科
    QString qq;        // 联系方式
};

// ---- login

struct LoginResult {
    enum class Outcome { Accepted, EmptyName, UnknownName, WrongPassword };
    Outcome outcome = Outcome::Accepted;
    QString message;  // what the login screen shows; empty when accepted
};

// Checks a login against the bank. The name is matched literally (a name with
// "%" or "_" matches only itself), the password exactly, case included.
LoginResult checkLogin(const QString& bankPath, const QString& name, const QString& password);

// ---- the checks of the registration and password boxes

// The complaint of two password boxes that differ, or an empty text.
QString passwordRepeatComplaint(const QString& password, const QString& repeated);

// The complaint of a QQ box that holds something other than a number, or an
// empty text (an empty box is not checked).
QString qqComplaint(const QString& qq);

// One line (ending in "\r") for each empty registration box, in the order of
// the screen; empty when every box is filled.
QString registrationComplaints(const Account& account, const QString& repeatedPassword);

// ---- registration

struct RegistrationResult {
    enum class Outcome { Incomplete, PasswordsDiffer, BadQQ, NameTaken, Registered };
    Outcome outcome = Outcome::Registered;
    QString message;
};

// Registers an account: refused while a box is empty, while the two passwords
// differ or the QQ number is not a number, and when the name is registered
// already; otherwise the row is appended.
RegistrationResult registerAccount(const QString& bankPath, const Account& account, const QString& repeatedPassword);

// ---- password change

struct PasswordChangeResult {
    enum class Outcome { Incomplete, NewPasswordsDiffer, NoSuchAccount, Changed };
    Outcome outcome = Outcome::Changed;
    QString message;
};

// Sets a new password for the account that the name and the old password
// identify.
PasswordChangeResult changePassword(const QString& bankPath, const QString& name, const QString& oldPassword,
                                    const QString& newPassword, const QString& repeatedNewPassword);

// ---- forgotten password

// The message when the four details match no account.
QString passwordLookupRefusal();

// ---- accounts of a server bank
// A server bank keeps no password itself: 密码 holds a salted hash
// (libsodium's crypto_pwhash), so a forgotten password cannot be shown; a
// 元老级用户 (listed in the table 账户级别) sets a new one instead.
inline const QString kElderLevel = QStringLiteral("元老级用户");
QString hashPassword(const QString& password);
bool passwordMatches(const QString& stored, const QString& password);
// The message that replaces the password look-up on a server bank.
QString serverPasswordLookupRefusal();
// Sets a teacher's new password on a server bank, allowed to a 元老级用户 who
// gives their own name and password. Returns the refusal, or an empty text.
QString resetPassword(const QString& bankPath, const QString& elderName, const QString& elderPassword,
                      const QString& teacherName, const QString& newPassword);
// Makes an account a 元老级用户 of a server bank.
void makeElder(const QString& bankPath, const QString& name);
// Whether the account is a 元老级用户 of a server bank (never on a file bank).
bool isElder(const QString& bankPath, const QString& name);
// The level the main menu shows for the account: on a server bank its level
// in 账户级别, 普通用户 without one; on a file bank (one teacher's own)
// 元老级用户.
inline const QString kOrdinaryLevel = QStringLiteral("普通用户");
QString accountLevel(const QString& bankPath, const QString& name);

// The password reset screen: the elder's name and password, the teacher's
// name and the new password twice.
struct PasswordResetResult {
    enum class Outcome { Incomplete, PasswordsDiffer, NotSchoolBank, WrongElder, NotElder, NoSuchTeacher, Reset };
    Outcome outcome = Outcome::Reset;
    QString message;
};
// One line (ending in "\r") for each empty box of the reset screen, in the
// order of the screen; empty when every box is filled.
QString passwordResetComplaints(const QString& elderName, const QString& elderPassword, const QString& teacherName,
                                const QString& newPassword, const QString& repeatedNewPassword);
// Checks the boxes, then resetPassword; the message is the refusal or the
// confirmation naming the teacher and the new password.
PasswordResetResult resetTeacherPassword(const QString& bankPath, const QString& elderName,
                                         const QString& elderPassword, const QString& teacherName,
                                         const QString& newPassword, const QString& repeatedNewPassword);
// The question that offers the reset screen after a refused look-up on a
// server bank.
QString openPasswordResetQuestion();

// The password of the account whose name, school, subject and QQ number are
// exactly these four; nothing when none matches.
std::optional<QString> lookUpPassword(const QString& bankPath, const QString& name, const QString& school,
                                      const QString& subject, const QString& qq);

}  // namespace zs
