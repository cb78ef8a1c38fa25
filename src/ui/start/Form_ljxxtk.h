#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class Form_ljxxtk;
}

namespace zs {

class RunState;

// Connecting to the school's shared bank on a server, or back to this
// computer's bank file. The boxes start with what this computer user typed
// last time; the password is asked every time.
class Form_ljxxtk : public QDialog {
    Q_OBJECT

public:
    explicit Form_ljxxtk(RunState& state, QWidget* parent = nullptr);
    ~Form_ljxxtk() override;

    void Command_lj_Click();
    void Command_bjtk_Click();
    void command_qx_Click();
    // This computer's bank file into the school bank, and the school bank
    // into a new bank file; both connect with the boxes first.
    void Command_scxxtk_Click();
    void Command_xzbdtk_Click();

private:
    void Form_Load();
    // The location of the boxes, connected with their password; empty (and
    // the reason shown) when it cannot be used.
    QString connectedLocation();

    RunState& state_;
    std::unique_ptr<Ui::Form_ljxxtk> ui;
};

}  // namespace zs
