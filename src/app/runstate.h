#pragma once

#include "app/clock.h"
#include "app/prompts.h"
#include "office/desktop.h"
#include "office/office.h"

#include <QObject>
#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <random>

namespace zs {

// The 50 free question numbers handed to question entry, slots 1 to 50.
class NumberPool {
public:
    static constexpr int kSlots = 50;
    NumberPool();
    // Who holds the numbers of this pool on a server bank: one name per pool
    // (per run of the program), under which the server reserves them.
    const QString& holder() const { return holder_; }
    const QString& slot(int i) const { return slots_.at(i - 1); }
    void setSlot(int i, const QString& number) { slots_.at(i - 1) = number; }
    bool isEmpty(int i) const { return slot(i).isEmpty(); }

private:
    std::array<QString, kSlots> slots_;
    QString holder_;
};

// The values that live for the whole run and that the screens share, and the
// services they reach the world through.
class SpecTable;

class RunState {
public:
    RunState(QString appDir, Prompts& prompts, Office& office, Desktop& desktop);
    ~RunState();

    // ---- run-wide values
    QString BankPath;
    QString CurrentUserName;
    NumberPool FreeNumberPool;
    std::unique_ptr<WordInstance> SharedWordInstance;
    // The tables of the last A/B pair, kept for the run: 手动组卷 opens on
    // them again until a new table takes their place.
    std::shared_ptr<const SpecTable> keptPaperA, keptPaperB;

    // ---- services
    Prompts& prompts;
    Office& office;
    Desktop& desktop;

    // ---- the application folder
    const QString& appDir() const { return appDir_; }
    QString appFile(const QString& name) const;
    // The application's own bank file.
    QString applicationBankPath() const;
    // BankPath := the application's own bank (what most screens do when they load).
    // The bank every screen opens: the application folder's bank file, or the
    // school's bank on a server once the teacher connected to one.
    void resetBankPath() { BankPath = SchoolBank.isEmpty() ? applicationBankPath() : SchoolBank; }
    // The location of the school bank connected to (serverlocation.h); empty
    // for the application folder's bank file.
    QString SchoolBank;

    // ---- the shared word-processor instance
    // Starts a new instance with one blank document; a previous one is dropped.
    void startSharedWordInstance();
    // Starts one when none is running.
    void ensureSharedWordInstance();
    // Quits the instance when one is running, and forgets it.
    void quitSharedWordInstance();

    // ---- the date and time (the computer's clock unless another is set)
    const Clock& clock() const { return *clock_; }
    // The clock stays the caller's; it must outlive the run state or be reset.
    void setClock(const Clock& clock) { clock_ = &clock; }
    QDate today() const { return clock_->today(); }
    QDateTime now() const { return clock_->now(); }

    // ---- randomness of the plan search (seeded from the clock; tests fix it)
    std::mt19937& random() { return random_; }
    void seedRandom(unsigned seed) { random_.seed(seed); }

    // The product's home page (a local page of the application folder), opened
    // by the logo and after paper generation.
    QString homePage() const;

    // Whether the document views render previews (tests that do not look at
    // previews turn them off to keep the office free).
    bool documentPreviews = true;

    // Tests replace how modal screens are run: the hook receives the screen
    // (a QDialog) instead of it being executed.
    std::function<void(QObject* screen)> modalHook;
    // Shows the splash screen again after a logout. The splash screen sets it
    // when it opens (the first screen of every run), so that the screens of
    // the way in (splash, login, main menu) do not reach each other in a ring.
    std::function<void()> showSplashScreen;
    // Tests replace how the program ends ("退出程序", the login's "取  消"):
    // the hook is called instead of ending the event loops.
    std::function<void()> endHook;

private:
    QString appDir_;
    std::unique_ptr<WordDocument> sharedBlankDocument_;
    std::mt19937 random_;
    SystemClock systemClock_;
    const Clock* clock_ = &systemClock_;
};

}  // namespace zs
