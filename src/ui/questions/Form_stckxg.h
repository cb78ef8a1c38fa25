#pragma once

#include "ui/questions/browsescreen.h"

#include <memory>

namespace Ui {
class Form_stckxg;
}

namespace zs {

// Question browsing and modification: search the bank, page through the found
// rows, correct or delete the question on display, or look into another bank.
class Form_stckxg : public BrowseScreen {
    Q_OBJECT
public:
    explicit Form_stckxg(RunState& state, QWidget* parent = nullptr);
    ~Form_stckxg() override;

    // Runs the search once, when the screen is first shown, so that it opens on
    // the first question of the whole bank.
    void Form_Activate();
    void Command_dkwbstk_Click();
    // Lists the pairs of similar questions of the bank; a chosen pair becomes
    // the result set.
    void Command_xsst_Click();
    void Command_ndls_Click();
    void Command_fhzjm_Click();

    // The window's close button and Escape leave as "返回主界面" does.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showBankPath();

    std::unique_ptr<Ui::Form_stckxg> ui;
    bool activated_ = false;
    bool leaving_ = false;
};

}  // namespace zs
