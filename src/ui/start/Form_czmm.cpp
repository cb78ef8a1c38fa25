#include "ui/start/Form_czmm.h"

#include "app/accounts.h"
#include "app/runstate.h"
#include "ui/common/screens.h"
#include "ui_Form_czmm.h"

namespace zs {

Form_czmm::Form_czmm(RunState& state, QWidget* parent, const QString& elderName)
    : QDialog(parent), state_(state), ui(std::make_unique<Ui::Form_czmm>()) {
    ui->setupUi(this);
    connect(ui->Command_qrcz, &QPushButton::clicked, this, &Form_czmm::Command_qrcz_Click);
    connect(ui->Command_qkzc, &QPushButton::clicked, this, &Form_czmm::Command_qkzc_Click);
    connect(ui->Command_tc, &QPushButton::clicked, this, &Form_czmm::Command_tc_Click);
    Form_Load(elderName);
}

Form_czmm::~Form_czmm() = default;

void Form_czmm::Form_Load(const QString& elderName) {
    state_.resetBankPath();
    clearBoxes();
    ui->Text_yljyhm->setText(elderName);
    (elderName.isEmpty() ? ui->Text_yljyhm : ui->Text_yljmm)->setFocus();
}

QList<QLineEdit*> Form_czmm::boxes() const {
    return {ui->Text_yljyhm, ui->Text_yljmm, ui->Text_smyhm, ui->Text_xmm, ui->Text_qqrxmm};
}

void Form_czmm::clearBoxes() {
    for (QLineEdit* box : boxes())
        box->clear();
}

void Form_czmm::Command_qrcz_Click() {
    PasswordResetResult result;
    if (!guarded(state_, [&] {
            result = resetTeacherPassword(state_.BankPath, ui->Text_yljyhm->text(), ui->Text_yljmm->text(),
                                          ui->Text_smyhm->text(), ui->Text_xmm->text(), ui->Text_qqrxmm->text());
        }))
        return;
    state_.prompts.show(result.message);
    using O = PasswordResetResult::Outcome;
    switch (result.outcome) {
    case O::Incomplete:
        // The first empty box takes the focus.
        for (QLineEdit* box : boxes())
            if (box->text().isEmpty()) {
                box->setFocus();
                break;
            }
        return;
    case O::PasswordsDiffer:
        ui->Text_xmm->clear();
        ui->Text_qqrxmm->clear();
        ui->Text_xmm->setFocus();
        return;
    case O::WrongElder:
    case O::NotElder:
        ui->Text_yljmm->clear();
        ui->Text_yljmm->setFocus();
        return;
    case O::NoSuchTeacher:
        ui->Text_smyhm->selectAll();
        ui->Text_smyhm->setFocus();
        return;
    case O::NotSchoolBank:
        return;
    case O::Reset:
        // The elder's name stays for the next teacher; the passwords never do.
        for (QLineEdit* box : {ui->Text_yljmm, ui->Text_smyhm, ui->Text_xmm, ui->Text_qqrxmm})
            box->clear();
        ui->Text_yljmm->setFocus();
        return;
    }
}

void Form_czmm::Command_qkzc_Click() {
    clearBoxes();
    ui->Text_yljyhm->setFocus();
}

void Form_czmm::Command_tc_Click() {
    close();
}

}  // namespace zs
