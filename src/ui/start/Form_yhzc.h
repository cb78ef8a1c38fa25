#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class Form_yhzc;
}

namespace zs {

class RunState;

// Registration of a new teacher's account.
class Form_yhzc : public QDialog {
    Q_OBJECT

public:
    explicit Form_yhzc(RunState& state, QWidget* parent = nullptr);
    ~Form_yhzc() override;

    void Text_zcsrmm_LostFocus();
    void Text_lxfsqq_LostFocus();
    void Command_zctj_Click();
    void Command_qkzc_Click();
    void Command_tc_Click();

private:
    void Form_Load();
    void clearBoxes();
    // Refusal of the two password boxes: both emptied, the first takes the focus.
    void refusePasswords(const QString& message);
    void refuseQQ(const QString& message);

    RunState& state_;
    std::unique_ptr<Ui::Form_yhzc> ui;
};

}  // namespace zs
