// The driver the screen tests share: a control that is not there fails the
// test by its name, a screen's timer fired runs the handler it is wired to,
// and modal screens reach the handler of their kind.

#include "support/testsupport.h"
#include "ui/catalogue/Form_tysz.h"
#include "ui/start/Form_yhgm.h"
#include "ui/start/Form_zjm.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

using namespace zs;
using namespace zs::test;

TEST(FormDriver, AControlThatIsNotThereFailsByItsName) {
    TestApp app;
    Form_tysz form(app.state());
    const FormDriver driver(&form);
    EXPECT_EQ(driver.control<QPushButton>("Command_zjty")->text(), "增加题源");
    EXPECT_NONFATAL_FAILURE(EXPECT_THROW(driver.click("Command_zjtyy"), MissingControl),
                            "no control Command_zjtyy (QAbstractButton) on Form_tysz");
    // The right name on a control of another kind is not found either.
    EXPECT_NONFATAL_FAILURE(EXPECT_THROW(child<QLabel>(&form, "Command_zjty"), MissingControl),
                            "no control Command_zjty (QLabel)");
}

TEST(FormDriver, FiringATimerRunsItsHandler) {
    TestApp app;
    Form_zjm menu(app.state());
    fire(*menu.Timer1);
    EXPECT_EQ(menu.windowTitle(), "界面-琢石试题库主");
}

TEST(FormDriver, ModalScreensGoToTheHandlerOfTheirKind) {
    TestApp app;
    Form_zjm menu(app.state());
    bool before = false;
    app.state().modalHook = [&](QObject*) { before = true; };
    {
        ModalScreens modal(app.state());
        QString title;
        modal.on<Form_yhgm>([&](Form_yhgm& screen) { title = screen.windowTitle(); });
        menu.yhgm_Click();
        menu.yhzc_Click();  // no handler: only noted
        EXPECT_EQ(modal.shown(), QStringList({"zs::Form_yhgm", "zs::Form_yhzc"}));
        EXPECT_FALSE(title.isEmpty());
        EXPECT_FALSE(before);
    }
    menu.yhgm_Click();  // the hook set before is back
    EXPECT_TRUE(before);
}
