#pragma once

// What the intelligent composition screen remembers in each bank file: the
// filter "近 __ 天内用过的题不选" (whether it is ticked, and the days).

namespace zs {

class Bank;

struct RecentUseSetting {
    bool ticked = false;
    int days = 30;
};

// The bank's setting; the defaults when it was never saved (or cannot be read).
RecentUseSetting loadRecentUseSetting(Bank& bank);
// Throws StoreError when the bank cannot be written.
void saveRecentUseSetting(Bank& bank, const RecentUseSetting& setting);

}  // namespace zs
