#pragma once

#include "paper/papersettings.h"

#include <QDialog>
#include <memory>

namespace Ui {
class Form_sjsz;
}

namespace zs {

class RunState;

// 试卷设置, shown by "生成试卷" before the paper is written: title and
// subtitle, time allowed, the full mark against the intended total, the
// layout, the answer sheet and the other formats. The values are remembered
// in the bank for the next paper.
class Form_sjsz : public QDialog {
    Q_OBJECT

public:
    // `scores` are those of the paper about to be generated.
    Form_sjsz(RunState& state, const PaperScores& scores, QWidget* parent = nullptr);
    ~Form_sjsz() override;

    // The settings the paper is generated with: those remembered until the
    // teacher confirms others with Command_qd.
    const PaperSettings& settings() const { return settings_; }
    // The teacher cancelled: nothing is to be written.
    bool cancelled() const { return cancelled_; }

    void Form_Load();
    void Command_qd_Click();
    void Command_qx_Click();
    void reject() override;

private:
    PaperSettingsInput input() const;
    void showWarning();

    RunState& state_;
    PaperScores scores_;
    PaperSettings settings_;
    bool cancelled_ = false;
    std::unique_ptr<Ui::Form_sjsz> ui;
};

}  // namespace zs
