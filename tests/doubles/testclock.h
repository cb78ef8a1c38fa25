#pragma once

#include "app/clock.h"

namespace zs::test {

// A clock that stands still at a set time and moves only when told.
class TestClock final : public Clock {
public:
    // A school day in the morning.
    TestClock() : now_(QDate(2026, 3, 9), QTime(10, 20, 30)) {}
    explicit TestClock(QDateTime now) : now_(std::move(now)) {}

    QDateTime now() const override { return now_; }
    void set(const QDateTime& now) { now_ = now; }
    void advanceSeconds(qint64 seconds) { now_ = now_.addSecs(seconds); }
    void advanceDays(qint64 days) { now_ = now_.addDays(days); }

private:
    QDateTime now_;
};

}  // namespace zs::test
