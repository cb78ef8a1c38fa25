#include "ui/start/Form_WJMM.h"

#include "app/accounts.h"
#include "app/runstate.h"
#include "store/serverlocation.h"
#include "ui/common/screens.h"
#include "ui/start/Form_czmm.h"
#include "ui_Form_WJMM.h"

namespace zs {

Form_WJMM::Form_WJMM(RunState& state, QWidget* parent)
    : QDialog(parent), state_(state), ui(std::make_unique<Ui::Form_WJMM>()) {
    ui->setupUi(this);
    connect(ui->Command_HQMM, &QPushButton::clicked, this, &Form_WJMM::Command_HQMM_Click);
    connect(ui->Command_qkzc, &QPushButton::clicked, this, &Form_WJMM::Command_qkzc_Click);
    connect(ui->Command_tc, &QPushButton::clicked, this, &Form_WJMM::Command_tc_Click);
    Form_Load();
}

Form_WJMM::~Form_WJMM() = default;

void Form_WJMM::Form_Load() {
    state_.resetBankPath();
    clearBoxes();
}

void Form_WJMM::clearBoxes() {
    for (QLineEdit* box : {ui->Text_smyhm, ui->Text_szxxxm, ui->Text_srxk, ui->Text_lxfsqq, ui->Text_mm})
        box->clear();
}

void Form_WJMM::Command_HQMM_Click() {
    // A school bank keeps only hashes: a 元老级用户 sets a new password
    // instead, on the reset screen offered here.
    if (isServerLocation(state_.BankPath)) {
        if (state_.prompts.message(openPasswordResetQuestion(), Buttons::YesNo, Icon::Question) == Answer::Yes) {
            Form_czmm screen(state_, this);
            showModal(state_, screen);
        }
        return;
    }
    std::optional<QString> password;
    if (!guarded(state_, [&] {
            password = lookUpPassword(state_.BankPath, ui->Text_smyhm->text(), ui->Text_szxxxm->text(),
                                      ui->Text_srxk->text(), ui->Text_lxfsqq->text());
        }))
        return;
    if (!password) {
        state_.prompts.show(passwordLookupRefusal());
        ui->Text_mm->clear();
        return;
    }
    ui->Text_mm->setText(*password);
}

void Form_WJMM::Command_qkzc_Click() {
    clearBoxes();
    ui->Text_smyhm->setFocus();
}

void Form_WJMM::Command_tc_Click() {
    close();
}

}  // namespace zs
