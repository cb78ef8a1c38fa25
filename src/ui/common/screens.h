#pragma once

#include <functional>

class QDialog;
class QWidget;

namespace zs {

class Prompts;
class RunState;
class StoreError;

// Runs a screen modally: the screen's own event loop until it closes. Tests
// intercept this through RunState::modalHook and drive the screen themselves.
void showModal(RunState& state, QDialog& screen);

// Runs `work`; a failure of the bank or the office is shown to the teacher in a
// message box instead of ending the program. Returns whether `work` finished.
bool guarded(RunState& state, const std::function<void()>& work);

// Shows a failure of the bank: its message, and its technical text (when it has
// one) in the "详细信息" part.
void showStoreError(Prompts& prompts, const StoreError& error);

// Ends the program at once ("退出程序", the login's "取  消"): every screen
// goes away and the program's event loops end; the office process ends with
// the program.
void endProgram(RunState& state);

// The wait cursor while the program works without showing anything; it goes
// when the object does, also when the work throws.
class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// Centres a top-level window on its screen.
void centreOnScreen(QWidget& window);

}  // namespace zs
