#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class Form_lxzz;
}

namespace zs {

class RunState;

// How to reach the program's authors.
class Form_lxzz : public QDialog {
    Q_OBJECT

public:
    explicit Form_lxzz(RunState& state, QWidget* parent = nullptr);
    ~Form_lxzz() override;

    // Opens the program's home page in the browser.
    void Label6_Click();
    void Command_tc_Click();

private:
    RunState& state_;
    std::unique_ptr<Ui::Form_lxzz> ui;
};

}  // namespace zs
