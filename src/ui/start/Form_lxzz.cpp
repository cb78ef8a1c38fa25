#include "ui/start/Form_lxzz.h"

#include "app/runstate.h"
#include "ui/common/widgetevents.h"
#include "ui_Form_lxzz.h"

namespace zs {

Form_lxzz::Form_lxzz(RunState& state, QWidget* parent)
    : QDialog(parent), state_(state), ui(std::make_unique<Ui::Form_lxzz>()) {
    ui->setupUi(this);
    onClick(ui->Label6, [this] { Label6_Click(); });
    connect(ui->Command_tc, &QPushButton::clicked, this, &Form_lxzz::Command_tc_Click);
}

Form_lxzz::~Form_lxzz() = default;

void Form_lxzz::Label6_Click() {
    state_.desktop.openUrl(state_.homePage());
}

void Form_lxzz::Command_tc_Click() {
    close();
}

}  // namespace zs
