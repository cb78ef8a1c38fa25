#include "ui/start/Form_ljxxtk.h"

#include "app/runstate.h"
#include "app/schoolbank.h"
#include "sharing/schooltransfer.h"
#include "store/serverlocation.h"
#include "ui/common/screens.h"
#include "ui_Form_ljxxtk.h"

#include <QSettings>

namespace zs {

Form_ljxxtk::Form_ljxxtk(RunState& state, QWidget* parent)
    : QDialog(parent), state_(state), ui(std::make_unique<Ui::Form_ljxxtk>()) {
    ui->setupUi(this);
    connect(ui->Command_lj, &QPushButton::clicked, this, &Form_ljxxtk::Command_lj_Click);
    connect(ui->Command_bjtk, &QPushButton::clicked, this, &Form_ljxxtk::Command_bjtk_Click);
    connect(ui->command_qx, &QPushButton::clicked, this, &Form_ljxxtk::command_qx_Click);
    connect(ui->Command_scxxtk, &QPushButton::clicked, this, &Form_ljxxtk::Command_scxxtk_Click);
    connect(ui->Command_xzbdtk, &QPushButton::clicked, this, &Form_ljxxtk::Command_xzbdtk_Click);
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

QString Form_ljxxtk::connectedLocation() {
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
        return {};
    }
    const QString text = location.text();
    if (!guarded(state_, [&] { openSchoolBank(text, ui->Text_mm->text()); }))
        return {};
    rememberSchoolBank(settings, location);
    return text;
}

void Form_ljxxtk::Command_lj_Click() {
    const QString location = connectedLocation();
    if (location.isEmpty())
        return;
    state_.SchoolBank = location;
    state_.resetBankPath();
    accept();
}

void Form_ljxxtk::Command_scxxtk_Click() {
    const QString location = connectedLocation();
    if (location.isEmpty())
        return;
    if (state_.prompts.message(QStringLiteral("要把本机题库的全部试题、教材设置和试题来源上传到学校题库吗？\r"
                                              "学校题库里已有的试题（试题识别码相同）不会重复上传。"),
                               Buttons::YesNo, Icon::Question) != Answer::Yes)
        return;
    TransferResult result;
    if (guarded(state_, [&] { result = uploadToSchoolBank(state_.applicationBankPath(), location); }))
        state_.prompts.show(uploadedMessage(result));
}

void Form_ljxxtk::Command_xzbdtk_Click() {
    const QString location = connectedLocation();
    if (location.isEmpty())
        return;
    const QString file = state_.prompts.saveFile(QStringLiteral("试题库文件|*.mdb"), QStringLiteral("下载为本地题库"));
    if (file.isEmpty())
        return;
    TransferResult result;
    if (guarded(state_, [&] { result = downloadSchoolBank(location, file); }))
        state_.prompts.show(downloadedMessage(result, file));
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
