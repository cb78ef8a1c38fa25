#include "ui/start/Form_yhgm.h"

#include "app/accounts.h"
#include "app/runstate.h"
#include "ui/common/screens.h"
#include "ui/common/widgetevents.h"
#include "ui_Form_yhgm.h"

#include <QApplication>

namespace zs {

Form_yhgm::Form_yhgm(RunState& state, QWidget* parent)
    : QDialog(parent), state_(state), ui(std::make_unique<Ui::Form_yhgm>()) {
    ui->setupUi(this);
    connect(ui->Command_qrgm, &QPushButton::clicked, this, &Form_yhgm::Command_qrgm_Click);
    connect(ui->Command_qkzc, &QPushButton::clicked, this, &Form_yhgm::Command_qkzc_Click);
    connect(ui->Command_tc, &QPushButton::clicked, this, &Form_yhgm::Command_tc_Click);
    // Leaving the box for "清空重填" or "返回" needs no check.
    onLostFocus(ui->Text_qqrxmm, [this] {
        const QWidget* next = QApplication::focusWidget();
        if (next != ui->Command_qkzc && next != ui->Command_tc)
            Text_qqrxmm_LostFocus();
    });
    Form_Load();
}

Form_yhgm::~Form_yhgm() = default;

void Form_yhgm::Form_Load() {
    state_.resetBankPath();
    clearBoxes();
}

void Form_yhgm::clearBoxes() {
    for (QLineEdit* box : {ui->Text_smyhm, ui->Text_mm, ui->Text_xmm, ui->Text_qqrxmm})
        box->clear();
}

void Form_yhgm::refuseNewPasswords(const QString& message) {
    state_.prompts.show(message);
    ui->Text_xmm->clear();
    ui->Text_qqrxmm->clear();
    ui->Text_xmm->setFocus();
}

void Form_yhgm::Text_qqrxmm_LostFocus() {
    if (const QString c = passwordRepeatComplaint(ui->Text_xmm->text(), ui->Text_qqrxmm->text()); !c.isEmpty())
        refuseNewPasswords(c);
}

void Form_yhgm::Command_qrgm_Click() {
    PasswordChangeResult result;
    if (!guarded(state_, [&] {
            result = changePassword(state_.BankPath, ui->Text_smyhm->text(), ui->Text_mm->text(), ui->Text_xmm->text(),
                                    ui->Text_qqrxmm->text());
        }))
        return;
    if (result.outcome == PasswordChangeResult::Outcome::NewPasswordsDiffer) {
        refuseNewPasswords(result.message);
        return;
    }
    state_.prompts.show(result.message);
}

void Form_yhgm::Command_qkzc_Click() {
    clearBoxes();
    ui->Text_smyhm->setFocus();
}

void Form_yhgm::Command_tc_Click() {
    close();
}

}  // namespace zs
