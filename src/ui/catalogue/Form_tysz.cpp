#include "ui/catalogue/Form_tysz.h"

#include "app/runstate.h"
#include "ui/common/screens.h"
#include "ui_Form_tysz.h"

namespace zs {

Form_tysz::Form_tysz(RunState& state, QWidget* parent)
    : QDialog(parent), state_(state), sources_(state), ui(std::make_unique<Ui::Form_tysz>()) {
    ui->setupUi(this);
    connect(ui->Command_zjty, &QPushButton::clicked, this, &Form_tysz::Command_zjty_Click);
    connect(ui->Command_xgty, &QPushButton::clicked, this, &Form_tysz::Command_xgty_Click);
    connect(ui->Command_scty, &QPushButton::clicked, this, &Form_tysz::Command_scty_Click);
    connect(ui->Command_tc, &QPushButton::clicked, this, &Form_tysz::Command_tc_Click);
    Form_Load();
}

Form_tysz::~Form_tysz() = default;

void Form_tysz::Form_Load() {
    run([&] { sources_.load(); });
}

void Form_tysz::run(const std::function<void()>& work) {
    guarded(state_, work);
    showList();
}

void Form_tysz::showList() {
    ui->List_tysz->clear();
    ui->List_tysz->addItems(sources_.items());
}

void Form_tysz::Command_zjty_Click() {
    run([&] { sources_.add(); });
}

void Form_tysz::Command_xgty_Click() {
    const int row = ui->List_tysz->currentRow();
    run([&] { sources_.rename(row); });
}

void Form_tysz::Command_scty_Click() {
    const int row = ui->List_tysz->currentRow();
    run([&] { sources_.remove(row); });
}

void Form_tysz::Command_tc_Click() {
    close();
    // The main menu this screen was opened from comes back to the front.
    if (QWidget* owner = parentWidget()) {
        QWidget* menu = owner->window();
        menu->raise();
        menu->activateWindow();
    }
}

}  // namespace zs
