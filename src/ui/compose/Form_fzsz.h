#pragma once

#include "paper/scores.h"

#include <QDialog>
#include <memory>

namespace Ui {
class Form_fzsz;
}

namespace zs {

class RunState;

// 分值设置: the score of each question type, kept in the bank; the table
// scores a question by its type unless the teacher gave it one of its own.
class Form_fzsz : public QDialog {
    Q_OBJECT

public:
    explicit Form_fzsz(RunState& state, QWidget* parent = nullptr);
    ~Form_fzsz() override;

    // The scores as stored (after 保存: as saved).
    const TypeScores& scores() const { return scores_; }
    bool saved() const { return saved_; }

    void Form_Load();
    void Command_bc_Click();
    void Command_qx_Click();

private:
    RunState& state_;
    TypeScores scores_;
    bool saved_ = false;
    std::unique_ptr<Ui::Form_fzsz> ui;
};

}  // namespace zs
