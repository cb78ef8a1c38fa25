// The real message boxes, inside a running event loop as in the program: the
// main menu waits hidden while a screen is open, and a box closed there must
// not end the program, whichever window has the focus.

#include "ui/common/qtprompts.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

using namespace zs;

namespace {

// Clicks the first button of the message box shown next.
void clickTheBoxSoon() {
    QTimer::singleShot(50, [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
                box->buttons().first()->click();
                return;
            }
    });
}

}  // namespace

TEST(MessageBoxes, ABoxClosedOnAScreenWhileTheMenuWaitsHiddenLeavesTheProgramRunning) {
    for (const bool officeHasTheFocus : {false, true}) {
        SCOPED_TRACE(officeHasTheFocus ? "no window of the program active" : "the screen active");
        QWidget menu;
        menu.show();
        QDialog screen(&menu);
        QtPrompts real;
        Prompts& prompts = real;
        Answer answer = Answer::Cancel;
        QTimer::singleShot(0, [&] {
            menu.hide();
            screen.setModal(true);
            screen.show();
            QCoreApplication::processEvents();
            if (officeHasTheFocus)
                QApplication::setActiveWindow(nullptr);
            clickTheBoxSoon();
            answer = prompts.message(QStringLiteral("试题已录入。"), Buttons::Ok);
            // Still running: the loop ends only when the test ends it.
            QTimer::singleShot(200, [] { QCoreApplication::exit(7); });
        });
        EXPECT_EQ(QApplication::exec(), 7);
        EXPECT_EQ(answer, Answer::Ok);
        EXPECT_TRUE(screen.isVisible());
    }
}
