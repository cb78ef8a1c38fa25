#pragma once

// Driving the real screens from tests and tools through their controls'
// object names, as the teacher would.

#include <QApplication>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <stdexcept>

class QTimer;

namespace zs {

class RunState;
class ScopeTreeWidget;

namespace test {

// A control the step needs is not there: the message names the control's
// object name, its kind and the screen.
class MissingControl : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// How a missing control is reported before MissingControl ends the step (the
// test programs make it a failure of the running test; by default nothing
// more than the exception).
void setMissingControlReporter(std::function<void(const QString& message)> report);
[[noreturn]] void reportMissingControl(const QString& message);

// The screen's name in messages: its object name, else its class.
QString screenName(const QObject& screen);

// The control of this object name and kind on a screen; never null.
template <class T> T* child(const QObject* screen, const QString& name) {
    if (T* found = screen->findChild<T*>(name))
        return found;
    reportMissingControl(QStringLiteral("no control %1 (%2) on %3")
                             .arg(name, QLatin1String(T::staticMetaObject.className()), screenName(*screen)));
}

// Selects the node of a full scope path in a scope tree and ticks or unticks
// it as the teacher's click would (the tree's own signals run).
void tick(ScopeTreeWidget* tree, const QString& path, bool on = true);

// Runs a timer's timeout now, as if its interval had passed.
void fire(QTimer& timer);

// The visible top-level screen of a kind (the last one when several are
// open), or null: for screens the program opens on its own.
template <class T> T* openScreen() {
    T* found = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* t = qobject_cast<T*>(w); t && t->isVisible())
            found = t;
    return found;
}

// One screen's controls by object name.
class FormDriver {
public:
    explicit FormDriver(QWidget* screen) : screen_(screen) {}

    QWidget* screen() const { return screen_; }
    template <class T = QWidget> T* control(const QString& name) const { return child<T>(screen_, name); }

    // Clicks a button (its clicked signal runs the handler).
    void click(const QString& button) const;
    // Writes into a text box.
    void type(const QString& textBox, const QString& text) const;
    // Shows a value in a combo box (its caption word clears the choice).
    void choose(const QString& combo, const QString& text) const;
    // Ticks a node of one of the screen's scope trees.
    void tick(const QString& tree, const QString& path, bool on = true) const;

private:
    QWidget* screen_;
};

// Stands in for the modal event loop while it lives: every screen the program
// would run modally is noted (its class name) and handed to the handler of
// its kind, if one is set, instead of being executed. The hook that was set
// before is put back at the end.
class ModalScreens {
public:
    explicit ModalScreens(RunState& state);
    ~ModalScreens();
    ModalScreens(const ModalScreens&) = delete;
    ModalScreens& operator=(const ModalScreens&) = delete;

    template <class T> void on(std::function<void(T&)> drive) {
        handlers_.push_back([drive = std::move(drive)](QObject* screen) {
            auto* t = qobject_cast<T*>(screen);
            if (t)
                drive(*t);
            return t != nullptr;
        });
    }

    // The class names of the screens shown so far, in order.
    const QStringList& shown() const { return shown_; }
    void clear() { shown_.clear(); }

private:
    RunState& state_;
    std::function<void(QObject*)> previous_;
    QList<std::function<bool(QObject*)>> handlers_;
    QStringList shown_;
};

}  // namespace test
}  // namespace zs
