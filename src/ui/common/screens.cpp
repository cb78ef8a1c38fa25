#include "ui/common/screens.h"

#include "app/runstate.h"
#include "office/officeerror.h"
#include "store/bank.h"

#include <QApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QScreen>

// The pictures of the screens (the logo) are a resource of this library. Every
// screen uses this file, so the pictures are registered wherever screens are
// shown (the resource's own object would otherwise be left out of a program
// that links the library statically).
static void initScreenResources() {
    Q_INIT_RESOURCE(resources);
}
static const bool screenResourcesReady = (initScreenResources(), true);

namespace zs {

void showModal(RunState& state, QDialog& screen) {
    if (state.modalHook) {
        state.modalHook(&screen);
        return;
    }
    screen.exec();
}

bool guarded(RunState& state, const std::function<void()>& work) {
    try {
        work();
        return true;
    } catch (const StoreError& e) {
        showStoreError(state.prompts, e);
    } catch (const OfficeError& e) {
        state.prompts.message(e.message(), Buttons::Ok, Icon::Critical);
    }
    return false;
}

void showStoreError(Prompts& prompts, const StoreError& error) {
    if (error.details().isEmpty())
        prompts.message(error.message(), Buttons::Ok, Icon::Critical);
    else
        prompts.messageWithDetails(error.message(), error.details(), Icon::Critical);
}

void endProgram(RunState& state) {
    for (QWidget* w : QApplication::topLevelWidgets())
        w->hide();
    if (state.endHook)
        state.endHook();
    else
        QCoreApplication::exit(0);
}

void centreOnScreen(QWidget& window) {
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QSize size = window.frameGeometry().size();
    window.move(area.center() - QPoint(size.width() / 2, size.height() / 2));
}

WaitCursor::WaitCursor() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // Let the window system show it before the work starts.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

WaitCursor::~WaitCursor() {
    QApplication::restoreOverrideCursor();
}

}  // namespace zs
