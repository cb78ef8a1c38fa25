#pragma once

#include <QDialog>
#include <QList>
#include <memory>

namespace Ui {
class Form_czmm;
}

class QLineEdit;

namespace zs {

class RunState;

// A teacher's new password on a school bank, set by a 元老级用户 who gives
// their own name and password: the school bank keeps only hashes, so a
// forgotten password cannot be shown.
class Form_czmm : public QDialog {
    Q_OBJECT

public:
    // `elderName` fills the elder's box (the teacher logged in, from the main menu).
    explicit Form_czmm(RunState& state, QWidget* parent = nullptr, const QString& elderName = {});
    ~Form_czmm() override;

    void Command_qrcz_Click();
    void Command_qkzc_Click();
    void Command_tc_Click();

private:
    void Form_Load(const QString& elderName);
    // The five boxes in the order of the screen.
    QList<QLineEdit*> boxes() const;
    void clearBoxes();

    RunState& state_;
    std::unique_ptr<Ui::Form_czmm> ui;
};

}  // namespace zs
