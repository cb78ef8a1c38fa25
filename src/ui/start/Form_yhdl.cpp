#include "ui/start/Form_yhdl.h"

#include "app/accounts.h"
#include "app/runstate.h"
#include "store/serverlocation.h"
#include "ui/common/screens.h"
#include "ui/common/widgetevents.h"
#include "ui/start/Form_WJMM.h"
#include "ui/start/Form_ljxxtk.h"
#include "ui/start/Form_yhzc.h"
#include "ui/start/Form_zjm.h"
#include "ui_Form_yhdl.h"

#include <QKeyEvent>

namespace zs {

Form_yhdl::Form_yhdl(RunState& state, QWidget* parent)
    : QDialog(parent), state_(state), ui(std::make_unique<Ui::Form_yhdl>()) {
    ui->setupUi(this);
    connect(ui->command_qd, &QPushButton::clicked, this, &Form_yhdl::command_qd_Click);
    connect(ui->command_qx, &QPushButton::clicked, this, &Form_yhdl::command_qx_Click);
    connect(ui->Command_zc, &QPushButton::clicked, this, &Form_yhdl::Command_zc_Click);
    connect(ui->Command_ljxxtk, &QPushButton::clicked, this, &Form_yhdl::Command_ljxxtk_Click);
    onClick(ui->Label_WJMM, [this] { Label_WJMM_Click(); });
    onActivate(this, [this] { Form_Activate(); });
    Form_Load();
}

Form_yhdl::~Form_yhdl() = default;

Form_yhdl* Form_yhdl::showNew(RunState& state) {
    auto* login = new Form_yhdl(state);
    login->setAttribute(Qt::WA_DeleteOnClose);
    login->show();
    return login;
}

void Form_yhdl::Form_Load() {
    state_.resetBankPath();
    showBank();
    ui->Text_smyhm->clear();
    centreOnScreen(*this);
}

void Form_yhdl::Form_Activate() {
    ui->Text_smyhm->setFocus();
}

void Form_yhdl::command_qd_Click() {
    const QString name = ui->Text_smyhm->text();
    LoginResult result;
    if (!guarded(state_, [&] { result = checkLogin(state_.BankPath, name, ui->Text_mm->text()); }))
        return;
    using O = LoginResult::Outcome;
    switch (result.outcome) {
    case O::EmptyName:
        state_.prompts.show(result.message);
        ui->Text_smyhm->setFocus();
        return;
    case O::UnknownName:
        state_.prompts.show(result.message);
        ui->Text_smyhm->clear();
        ui->Text_mm->clear();
        ui->Text_smyhm->setFocus();
        return;
    case O::WrongPassword:
        state_.prompts.show(result.message);
        ui->Text_mm->clear();
        ui->Text_mm->setFocus();
        return;
    case O::Accepted:
        state_.CurrentUserName = name;
        Form_zjm::showNew(state_);
        close();
        return;
    }
}

void Form_yhdl::command_qx_Click() {
    endProgram(state_);
}

void Form_yhdl::Command_zc_Click() {
    ui->Text_smyhm->clear();
    ui->Text_mm->clear();
    // One registration screen at a time; it stays open beside the login.
    if (!registration_) {
        registration_ = new Form_yhzc(state_);
        registration_->setAttribute(Qt::WA_DeleteOnClose);
    }
    registration_->show();
    registration_->raise();
    registration_->activateWindow();
}

void Form_yhdl::Command_ljxxtk_Click() {
    Form_ljxxtk screen(state_, this);
    showModal(state_, screen);
    showBank();
}

void Form_yhdl::showBank() {
    setWindowTitle(state_.SchoolBank.isEmpty()
                       ? QStringLiteral("用户登录-琢石试题库")
                       : QStringLiteral("用户登录-琢石试题库-") + ServerLocation::parse(state_.SchoolBank).shown());
}

void Form_yhdl::Label_WJMM_Click() {
    Form_WJMM screen(state_, this);
    showModal(state_, screen);
}

void Form_yhdl::keyPressEvent(QKeyEvent* event) {
    // Escape would only hide the login screen and leave the program without a
    // window; the screen ends by "取  消" or by closing it.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace zs
