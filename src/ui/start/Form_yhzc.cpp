#include "ui/start/Form_yhzc.h"

#include "app/accounts.h"
#include "app/runstate.h"
#include "ui/common/screens.h"
#include "ui/common/widgetevents.h"
#include "ui_Form_yhzc.h"

#include <QApplication>

namespace zs {

Form_yhzc::Form_yhzc(RunState& state, QWidget* parent)
    : QDialog(parent), state_(state), ui(std::make_unique<Ui::Form_yhzc>()) {
    ui->setupUi(this);
    connect(ui->Command_zctj, &QPushButton::clicked, this, &Form_yhzc::Command_zctj_Click);
    connect(ui->Command_qkzc, &QPushButton::clicked, this, &Form_yhzc::Command_qkzc_Click);
    connect(ui->Command_tc, &QPushButton::clicked, this, &Form_yhzc::Command_tc_Click);
    // Leaving a box for "清空重填" or "返回" needs no check: the boxes are
    // emptied or the screen closes.
    auto leavingForCheck = [this] {
        const QWidget* next = QApplication::focusWidget();
        return next != ui->Command_qkzc && next != ui->Command_tc;
    };
    onLostFocus(ui->Text_zcsrmm, [this, leavingForCheck] {
        if (leavingForCheck())
            Text_zcsrmm_LostFocus();
    });
    onLostFocus(ui->Text_lxfsqq, [this, leavingForCheck] {
        if (leavingForCheck())
            Text_lxfsqq_LostFocus();
    });
    Form_Load();
}

Form_yhzc::~Form_yhzc() = default;

void Form_yhzc::Form_Load() {
    state_.resetBankPath();
    clearBoxes();
}

void Form_yhzc::refusePasswords(const QString& message) {
    state_.prompts.show(message);
    ui->Text_mm->clear();
    ui->Text_zcsrmm->clear();
    ui->Text_mm->setFocus();
}

void Form_yhzc::refuseQQ(const QString& message) {
    state_.prompts.show(message);
    ui->Text_lxfsqq->clear();
    ui->Text_lxfsqq->setFocus();
}

void Form_yhzc::Text_zcsrmm_LostFocus() {
    if (const QString c = passwordRepeatComplaint(ui->Text_mm->text(), ui->Text_zcsrmm->text()); !c.isEmpty())
        refusePasswords(c);
}

void Form_yhzc::Text_lxfsqq_LostFocus() {
    if (const QString c = qqComplaint(ui->Text_lxfsqq->text()); !c.isEmpty())
        refuseQQ(c);
}

void Form_yhzc::Command_zctj_Click() {
    Account account;
    account.name = ui->Text_smyhm->text();
    account.password = ui->Text_mm->text();
    account.school = ui->Text_szxxxm->text();
    account.subject = ui->Text_srxk->text();
    account.qq = ui->Text_lxfsqq->text();
    RegistrationResult result;
    if (!guarded(state_, [&] { result = registerAccount(state_.BankPath, account, ui->Text_zcsrmm->text()); }))
        return;
    using O = RegistrationResult::Outcome;
    switch (result.outcome) {
    case O::PasswordsDiffer:
        refusePasswords(result.message);
        return;
    case O::BadQQ:
        refuseQQ(result.message);
        return;
    case O::Incomplete:
    case O::NameTaken:
    case O::Registered:
        state_.prompts.show(result.message);
        return;
    }
}

void Form_yhzc::Command_qkzc_Click() {
    clearBoxes();
    ui->Text_smyhm->setFocus();
}

void Form_yhzc::clearBoxes() {
    for (QLineEdit* box :
         {ui->Text_smyhm, ui->Text_mm, ui->Text_zcsrmm, ui->Text_lxfsqq, ui->Text_szxxxm, ui->Text_srxk})
        box->clear();
}

void Form_yhzc::Command_tc_Click() {
    close();
}

}  // namespace zs
