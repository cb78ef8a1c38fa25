#pragma once

#include <QDate>
#include <QDateTime>

namespace zs {

// Today's date and the time of day, as the program reads them. Every screen
// and every piece of logic asks the run state's clock instead of the system,
// so that tests can set the time.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    QDate today() const { return now().date(); }
};

// The computer's own clock, local time.
class SystemClock final : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

}  // namespace zs
