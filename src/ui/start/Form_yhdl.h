#pragma once

#include <QDialog>
#include <QPointer>
#include <memory>

namespace Ui {
class Form_yhdl;
}

namespace zs {

class RunState;
class Form_yhzc;

// The login screen: a registered teacher's real name and password open the
// main menu.
class Form_yhdl : public QDialog {
    Q_OBJECT

public:
    explicit Form_yhdl(RunState& state, QWidget* parent = nullptr);
    ~Form_yhdl() override;

    // A login screen of its own that goes away when it closes, shown.
    static Form_yhdl* showNew(RunState& state);

    // Each time the screen becomes active the name box takes the focus.
    void Form_Activate();
    void command_qd_Click();
    void command_qx_Click();
    void Command_zc_Click();
    void Label_WJMM_Click();
    void Command_ljxxtk_Click();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The title names the school bank when one is connected.
    void showBank();
    void Form_Load();

    RunState& state_;
    std::unique_ptr<Ui::Form_yhdl> ui;
    QPointer<Form_yhzc> registration_;
};

}  // namespace zs
