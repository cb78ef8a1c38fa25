#include "ui/Form_ljxxtk.h"

#include "app/runstate.h"
#include "app/schoolbank.h"
#include "store/serverlocation.h"
#include "ui/screens.h"
#include "ui_Form_ljxxtk.h"

#include <QSettings>

namespace zs {

Form_ljxxtk::Form_ljxxtk(RunState& state, QWidget* parent)
    : QDialog(parent), state_(state), ui(std::make_unique<Ui::Form_ljxxtk>()) {
    ui->setupUi(this);
    connect(ui->Command_lj, &QPushButton::clicked, this, &Form_ljxxtk::Command_lj_Click);
    connect(ui->Command_bjtk, &QPushButton::clicked, this, &Form_ljxxtk::Command_bjtk_Click);
    connect(ui->command_qx, &QPushButton::clicked, this, &Form_ljxxtk::command_qx_Click);
    Form_Load();
}

Form_ljxxtk::~Form_ljxxtk() = default;

void Form_ljxxtk::Form_Load() {
    QSettings settings;
    const ServerLocation last = rememberedSchoolBank(settings);
    ui->Text_fwq->setText(last.host);
    ui->Text_dk->setText(QString::number(last.port));
    ui->Text_sjk->setText(last.database);
    ui->Text_yhm->setText(last.user);
    ui->Text_mm->clear();
    ui->Label_dqtk->setText(state_.SchoolBank.isEmpty()
                                ? QStringLiteral("现在使用的是本机题库。")
                                : QStringLiteral("现在使用的是：") + ServerLocation::parse(state_.SchoolBank).shown());
    ui->Command_bjtk->setEnabled(!state_.SchoolBank.isEmpty());
    (last.host.isEmpty() ? ui->Text_fwq : ui->Text_mm)->setFocus();
}

void Form_ljxxtk::Command_lj_Click() {
    ServerLocation location;
    location.host = ui->Text_fwq->text().trimmed();
    bool numeric = false;
    location.port = ui->Text_dk->text().trimmed().toInt(&numeric);
    if (!numeric)
        location.port = 0;
    location.database = ui->Text_sjk->text().trimmed();
    location.user = ui->Text_yhm->text().trimmed();
    // A schema chosen earlier (several groups in one database) is kept.
    QSettings settings;
    const ServerLocation last = rememberedSchoolBank(settings);
    if (last.host == location.host && last.database == location.database)
        location.schema = last.schema;
    if (const QString complaint = schoolBankComplaint(location); !complaint.isEmpty()) {
        state_.prompts.show(QStringLiteral("未能连接学校题库，原因如下：\r\r") + complaint);
        return;
    }
    const QString text = location.text();
    if (!guarded(state_, [&] { openSchoolBank(text, ui->Text_mm->text()); }))
        return;
    rememberSchoolBank(settings, location);
    state_.SchoolBank = text;
    state_.resetBankPath();
    accept();
}

void Form_ljxxtk::Command_bjtk_Click() {
    state_.SchoolBank.clear();
    state_.resetBankPath();
    accept();
}

void Form_ljxxtk::command_qx_Click() {
    reject();
}

}  // namespace zs
