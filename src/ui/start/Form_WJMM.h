#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class Form_WJMM;
}

namespace zs {

class RunState;

// A forgotten password: the four details given at registration show it.
class Form_WJMM : public QDialog {
    Q_OBJECT

public:
    explicit Form_WJMM(RunState& state, QWidget* parent = nullptr);
    ~Form_WJMM() override;

    void Command_HQMM_Click();
    void Command_qkzc_Click();
    void Command_tc_Click();

private:
    void Form_Load();
    void clearBoxes();

    RunState& state_;
    std::unique_ptr<Ui::Form_WJMM> ui;
};

}  // namespace zs
