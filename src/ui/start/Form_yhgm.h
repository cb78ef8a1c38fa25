#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class Form_yhgm;
}

namespace zs {

class RunState;

// Change of a teacher's password: the name and the old password, then the new
// one twice.
class Form_yhgm : public QDialog {
    Q_OBJECT

public:
    explicit Form_yhgm(RunState& state, QWidget* parent = nullptr);
    ~Form_yhgm() override;

    void Text_qqrxmm_LostFocus();
    void Command_qrgm_Click();
    void Command_qkzc_Click();
    void Command_tc_Click();

private:
    void Form_Load();
    void clearBoxes();
    // Refusal of the two new-password boxes: both emptied, the first takes the focus.
    void refuseNewPasswords(const QString& message);

    RunState& state_;
    std::unique_ptr<Ui::Form_yhgm> ui;
};

}  // namespace zs
