#include "plan/compositionsettings.h"

#include "store/bank.h"

#include <QString>

namespace zs {

namespace {

const QString kRecentUseTicked = QStringLiteral("近期用过不选");
const QString kRecentUseDays = QStringLiteral("近期用过不选天数");
constexpr int kMaxDays = 3650;

}  // namespace

RecentUseSetting loadRecentUseSetting(Bank& bank) {
    RecentUseSetting s;
    s.ticked = bank.setting(kRecentUseTicked) == u"1";
    bool ok = false;
    const int days = bank.setting(kRecentUseDays).toInt(&ok);
    if (ok && days >= 1 && days <= kMaxDays)
        s.days = days;
    return s;
}

void saveRecentUseSetting(Bank& bank, const RecentUseSetting& setting) {
    bank.transaction([&] {
        bank.setSetting(kRecentUseTicked, setting.ticked ? QStringLiteral("1") : QStringLiteral("0"));
        bank.setSetting(kRecentUseDays, QString::number(setting.days));
    });
}

}  // namespace zs
