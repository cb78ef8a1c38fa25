#include "app/schoolbank.h"

#include "app/accounts.h"
#include "store/bank.h"

namespace zs {

namespace {
const QString kGroup = QStringLiteral("学校题库");
}

ServerLocation rememberedSchoolBank(QSettings& settings) {
    settings.beginGroup(kGroup);
    ServerLocation location;
    location.host = settings.value(QStringLiteral("服务器")).toString();
    location.port = settings.value(QStringLiteral("端口"), 5432).toInt();
    location.database = settings.value(QStringLiteral("数据库")).toString();
    location.user = settings.value(QStringLiteral("用户名")).toString();
    location.schema = settings.value(QStringLiteral("模式")).toString();
    settings.endGroup();
    return location;
}

void rememberSchoolBank(QSettings& settings, const ServerLocation& location) {
    settings.beginGroup(kGroup);
    settings.setValue(QStringLiteral("服务器"), location.host);
    settings.setValue(QStringLiteral("端口"), location.port);
    settings.setValue(QStringLiteral("数据库"), location.database);
    settings.setValue(QStringLiteral("用户名"), location.user);
    settings.setValue(QStringLiteral("模式"), location.schema);
    settings.endGroup();
    settings.sync();
}

QString schoolBankComplaint(const ServerLocation& location) {
    QString lines;
    if (location.host.trimmed().isEmpty())
        lines += QStringLiteral("*服务器未填写！\r");
    if (location.port <= 0 || location.port > 65535)
        lines += QStringLiteral("*端口应该是 1 到 65535 之间的数字！\r");
    if (location.database.trimmed().isEmpty())
        lines += QStringLiteral("*数据库未填写！\r");
    if (location.user.trimmed().isEmpty())
        lines += QStringLiteral("*用户名未填写！\r");
    return lines;
}

void openSchoolBank(const QString& location, const QString& password) {
    setServerPassword(location, password);
    Bank bank(location);
    if (const QString problem = bank.schemaProblem(); !problem.isEmpty())
        throw StoreError(problem);
}

void createSchoolBank(const QString& location, const QString& elderName, const QString& elderPassword) {
    if (elderName.trimmed().isEmpty() || elderPassword.isEmpty())
        throw StoreError(QStringLiteral("第一位元老级用户的实名用户名和密码都要填写。"));
    Bank::create(location);
    Bank bank(location);
    bank.addRow(QStringLiteral("用户管理"),
                {{QStringLiteral("实名用户名"), elderName}, {QStringLiteral("密码"), hashPassword(elderPassword)}});
    makeElder(location, elderName);
}

}  // namespace zs
